// The fast field path. Each field stores the way luabind's def_readwrite
// does (the number converted to the field's C++ type, so 300 in a byte field
// is 44), and anything it does not serve falls through to luabind, so error
// texts, methods, equality and identity are luabind's. Two layers: Lua's VM
// asks FieldGet / FieldSet first (third_party/lua-host-fields.patch), with
// no metamethod call; what they decline goes to the handles' __index /
// __newindex here, and from those to luabind's.
#include "runtime/instance_fields.h"

#include <cstdint>
#include <vector>

// Only luabind's object layout: its whole template library would cost this
// unit six times the memory to compile.
#include <luabind/detail/inheritance.hpp>
#include <luabind/detail/object_rep.hpp>

#include "base/log.h"
#include "lua.h"
#include "object/instance.h"
#include "script/host.h"

namespace runtime {

namespace {

using object::Instance;

enum Field { kHit, kAnim, kAge, kState, kDir, kHp, kVel, kFieldCount };

// The same names as the Instance class in bindings.cpp.
constexpr const char* kFieldNames[kFieldCount] = {"hit", "anim", "age", "state",
                                                  "dir", "hp",   "vel"};

// Upvalues of both closures: 1 the name -> field table, which only keeps the
// interned names alive; 2 luabind's handler.
constexpr int kLuabindUpvalue = 2;

// A handle's block is luabind's record of the instance; nullptr when it
// holds none.
Instance* LuabindInstanceOf(void* block) {
  auto* rep = static_cast<luabind::detail::object_rep*>(block);
  return static_cast<Instance*>(
      rep->get_instance(luabind::detail::registered_class<Instance>::id).first);
}

// Every handle's block with luabind's answer for it, taken when the handles
// are made and found by the block's address: luabind's own lookup (a
// virtual call and a walk of its class graph) costs a field access several
// times over. Open addressing, at most half full; handles live as long as
// their Lua state, which makes the table again.
struct BlockSlot {
  void* block;
  Instance* instance;
};
std::vector<BlockSlot> block_slots(1);  // one empty slot: no handles yet
std::size_t block_mask = 0;

std::size_t SlotOf(void* block) {
  return static_cast<std::size_t>(
             (reinterpret_cast<std::uintptr_t>(block) >> 3) * 0x9E3779B97F4A7C15ull >> 32) &
         block_mask;
}

Instance* InstanceOf(void* block) {
  for (std::size_t s = SlotOf(block); block_slots[s].block; s = (s + 1) & block_mask)
    if (block_slots[s].block == block) return block_slots[s].instance;
  return LuabindInstanceOf(block);
}

Instance* InstanceAt(lua_State* L, int index) {
  void* block = lua_touserdata(L, index);
  return block ? InstanceOf(block) : nullptr;
}

// Lua interns strings, so a key names a field exactly when its text is the
// field name's own interned text (kept alive by the names table upvalue).
const char* interned_names[kFieldCount];

// The field whose name's text is `text`, or -1.
int FieldOf(const char* text) {
  for (int f = 0; f < kFieldCount; ++f)
    if (text == interned_names[f]) return f;
  return -1;
}

// The field named by the key at `key`, or -1.
int FieldOf(lua_State* L, int key) {
  return lua_type(L, key) == LUA_TSTRING ? FieldOf(lua_tostring(L, key)) : -1;
}

lua_Number Read(const Instance* i, int field) {
  switch (field) {
    case kHit: return i->hit;
    case kAnim: return i->anim;
    case kAge: return i->age;
    case kState: return i->state;
    case kDir: return i->dir;
    case kHp: return i->hp;
    default: return i->vel;
  }
}

void Write(Instance* i, int field, lua_Number v) {
  switch (field) {
    case kHit: i->hit = static_cast<decltype(i->hit)>(v); break;
    case kAnim: i->anim = static_cast<decltype(i->anim)>(v); break;
    case kAge: i->age = static_cast<decltype(i->age)>(v); break;
    case kState: i->state = static_cast<decltype(i->state)>(v); break;
    case kDir: i->dir = static_cast<decltype(i->dir)>(v); break;
    case kHp: i->hp = static_cast<decltype(i->hp)>(v); break;
    default: i->vel = static_cast<decltype(i->vel)>(v); break;
  }
}

int ToLuabind(lua_State* L, int args, int results) {
  lua_pushvalue(L, lua_upvalueindex(kLuabindUpvalue));
  lua_insert(L, 1);
  lua_call(L, args, results);
  return results;
}

int Index(lua_State* L) {
  const int field = FieldOf(L, 2);
  Instance* i = field >= 0 ? InstanceAt(L, 1) : nullptr;
  if (!i) return ToLuabind(L, 2, 1);
  lua_pushnumber(L, Read(i, field));
  return 1;
}

int NewIndex(lua_State* L) {
  const int field = lua_type(L, 3) == LUA_TNUMBER ? FieldOf(L, 2) : -1;
  Instance* i = field >= 0 ? InstanceAt(L, 1) : nullptr;
  if (!i) return ToLuabind(L, 3, 0);
  Write(i, field, lua_tonumber(L, 3));
  if (field == kVel) object::NoteStillSpeed("Instance.vel", i->vel);
  return 0;
}

// Called from inside Lua's VM, so no Lua API and no errors: what needs
// either (the still-speed notice) is declined and done by NewIndex.
int FieldGet(void* block, const char* key, lua_Number* value) {
  const int field = FieldOf(key);
  if (field < 0) return 0;
  Instance* i = InstanceOf(block);
  if (!i) return 0;
  *value = Read(i, field);
  return 1;
}

int FieldSet(void* block, const char* key, lua_Number value) {
  const int field = FieldOf(key);
  if (field < 0 || (field == kVel && base::NoticesOn())) return 0;
  Instance* i = InstanceOf(block);
  if (!i) return 0;
  Write(i, field, value);
  return 1;
}

}  // namespace

void InstallInstanceFields(lua_State* L, int handle_count) {
  block_slots.assign(1, BlockSlot{nullptr, nullptr});  // the last state's blocks are gone
  block_mask = 0;
  if (handle_count == 0) return;
  // A copy of luabind's instance metatable (its tag, __gc, operators) with
  // the two handlers replaced, shared by every handle.
  script::PushHandle(L, 0);
  lua_getmetatable(L, -1);
  const int original = lua_gettop(L);
  lua_newtable(L);
  const int fast = lua_gettop(L);
  lua_pushnil(L);
  while (lua_next(L, original) != 0) {
    lua_pushvalue(L, -2);
    lua_insert(L, -2);
    lua_rawset(L, fast);
  }
  lua_createtable(L, 0, kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) {
    lua_pushstring(L, kFieldNames[f]);
    interned_names[f] = lua_tostring(L, -1);
    lua_pushnumber(L, f);
    lua_rawset(L, -3);
  }
  const int names = lua_gettop(L);
  const struct {
    const char* event;
    lua_CFunction handler;
  } kHandlers[] = {{"__index", Index}, {"__newindex", NewIndex}};
  for (const auto& h : kHandlers) {
    lua_pushstring(L, h.event);
    lua_pushvalue(L, names);
    lua_getfield(L, original, h.event);
    lua_pushcclosure(L, h.handler, 2);
    lua_rawset(L, fast);
  }
  std::size_t slots = 2;
  while (slots < 2 * static_cast<std::size_t>(handle_count)) slots *= 2;
  block_slots.assign(slots, BlockSlot{nullptr, nullptr});
  block_mask = slots - 1;
  for (int n = 0; n < handle_count; ++n) {
    script::PushHandle(L, n);
    lua_pushvalue(L, fast);
    lua_setmetatable(L, -2);
    void* block = lua_touserdata(L, -1);
    std::size_t s = SlotOf(block);
    while (block_slots[s].block) s = (s + 1) & block_mask;
    block_slots[s] = {block, LuabindInstanceOf(block)};
    lua_pop(L, 1);
  }
  lua_setfieldaccess(L, fast, FieldGet, FieldSet);
  lua_settop(L, original - 2);
}

}  // namespace runtime
