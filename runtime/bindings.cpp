// The script interface, declared once: every global function and class a
// script can use, in registration order, in one scope. Entries only forward
// to the engine's own functions. An engine error thrown out of an entry
// becomes a Lua error in the calling script: a script error as its text, a
// failed callback as the callback's own error value. Each entry names its
// arguments in plain words, so that a call that fits none of a name's
// overloads says which argument is wrong and what it should be.
#include "runtime/bindings.h"

#include <cassert>
#include <cstring>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include <luabind/detail/class_registry.hpp>
#include <luabind/detail/class_rep.hpp>
#include <luabind/detail/object_rep.hpp>
#include <luabind/exception_handler.hpp>
#include <luabind/intrusive_ptr_converter.hpp>
#include <luabind/luabind.hpp>

#include "lauxlib.h"

#include "base/error.h"
#include "base/fixed.h"
#include "runtime/frame.h"
#include "base/paths.h"
#include "event/input.h"
#include "event/replay.h"
#include "event/timeline.h"
#include "object/collision.h"
#include "object/geometry.h"
#include "object/instance.h"
#include "object/object.h"
#include "runtime/instance_fields.h"
#include "script/host.h"
#include "sound/sound.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/primitives.h"
#include "video/sprite.h"
#include "video/text.h"

// An instance goes to scripts as its one handle (see bindings.h).
namespace luabind {

template <>
struct default_converter<::object::Instance*> : detail::pointer_converter {
  using detail::pointer_converter::apply;
  void apply(lua_State* L, ::object::Instance* p) { script::PushHandle(L, ::object::HandleOf(p)); }
};

}  // namespace luabind

namespace runtime {

namespace {

using luabind::class_;
using object::Instance;
using object::Object;
using sound::Sound;
using video::SpriteSet;

template <class T>
using Handle = boost::intrusive_ptr<T>;

// --- Plain words for a call that fits no overload -------------------------

// One argument of one overload: whether luabind's own converter takes the
// value at an index, what kind of value that is, and what it means.
struct Arg {
  bool (*fits)(lua_State* L, int index);
  std::string (*kind)(lua_State* L);
  const char* words;
};

// A registered name (a global function, or a method or field of `owner`)
// and the arguments of each of its overloads, the object first for a method
// (a field has one overload, its setter's: the object and the value).
struct Entry {
  const char* owner;
  const char* name;
  bool field;
  std::vector<std::vector<Arg>> overloads;
};

// Filled by the registration table; `explained` maps each name's luabind
// function (the head of its overloads) to its entry once registered.
std::vector<Entry> entries;
std::unordered_map<const luabind::detail::function_object*, const Entry*> explained;

template <class A>
bool Fits(lua_State* L, int index) {
  luabind::default_converter<A> converter;
  return converter.match(L, luabind::detail::decorated_type<A>::get(), index) >= 0;
}

std::string WithArticle(const char* noun) {
  return (std::strchr("AEIOU", noun[0]) ? "an " : "a ") + std::string(noun);
}

template <class A>
std::string Kind(lua_State* L) {
  using T = std::remove_cv_t<std::remove_pointer_t<std::remove_reference_t<A>>>;
  if constexpr (std::is_same_v<T, bool>)
    return "a boolean";
  else if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, char>)
    return "a number";
  else if constexpr (std::is_same_v<T, char>)
    return "a string";
  else if constexpr (std::is_same_v<T, luabind::object>)
    return "any value";
  else {
    const luabind::detail::class_rep* c =
        luabind::detail::class_registry::get_registry(L)->find_class(typeid(T));
    assert(c);
    return WithArticle(c->name());
  }
}

template <class... A>
std::vector<Arg> ArgsOf(const std::vector<const char*>& words) {
  std::size_t i = 0;
  (void)i;
  return {Arg{&Fits<A>, &Kind<A>, words[i++]}...};
}

// The parameter types luabind sees: a method's object comes first.
template <class F>
struct Params;
template <class R, class... A>
struct Params<R (*)(A...)> {
  static constexpr std::size_t kArity = sizeof...(A);
  static std::vector<Arg> Of(const std::vector<const char*>& words) { return ArgsOf<A...>(words); }
};
template <class R, class C, class... A>
struct Params<R (C::*)(A...)> {
  static constexpr std::size_t kArity = sizeof...(A) + 1;
  static std::vector<Arg> Of(const std::vector<const char*>& words) {
    return ArgsOf<C&, A...>(words);
  }
};

// Notes overload F of `name` (of class `owner`, or global when nullptr) with
// the words for its arguments.
template <class F>
void Note(const char* owner, const char* name, const std::vector<const char*>& words,
          bool field = false) {
  std::vector<Arg> args = Params<F>::Of(words);
  for (Entry& e : entries)
    if (e.owner == owner && std::strcmp(e.name, name) == 0) {
      e.overloads.push_back(std::move(args));
      return;
    }
  entries.push_back({owner, name, field, {std::move(args)}});
}

// A global function of the table, with the words of each argument.
template <class F, std::size_t N>
luabind::scope Def(const char* name, F f, const char* const (&words)[N]) {
  static_assert(N == Params<F>::kArity, "one description per argument");
  Note<F>(nullptr, name, {words, words + N});
  return luabind::def(name, f);
}
template <class F>
luabind::scope Def(const char* name, F f) {
  static_assert(Params<F>::kArity == 0, "one description per argument");
  Note<F>(nullptr, name, {});
  return luabind::def(name, f);
}

// luabind's class_ whose methods are described as global functions are,
// and its fields by the words for their value.
template <class T, class... X>
struct Class : luabind::class_<T, X...> {
  explicit Class(const char* name) : luabind::class_<T, X...>(name), name_(name) {}
  template <class F, std::size_t N>
  Class& Def(const char* name, F f, const char* const (&words)[N]) {
    static_assert(N == Params<F>::kArity, "one description per argument");
    Note<F>(name_, name, {words, words + N});
    this->def(name, f);
    return *this;
  }
  // A field read and written through functions.
  template <class Get, class Set>
  Class& Field(const char* name, Get get, Set set, const char* words) {
    Note<Set>(name_, name, {name_, words}, true);
    this->property(name, get, set);
    return *this;
  }
  // A field kept in a member.
  template <class D>
  Class& Field(const char* name, D T::*member, const char* words) {
    Note<void (*)(T&, D)>(name_, name, {name_, words}, true);
    this->def_readwrite(name, member);
    return *this;
  }
  const char* name_;
};

// What a value is, for "got ...": its class when it is an engine object.
std::string TypeAt(lua_State* L, int index) {
  if (const luabind::detail::object_rep* o = luabind::detail::get_instance(L, index))
    return o->crep()->name();
  return luaL_typename(L, index);
}

// Pushes the file and line of the script code that made the call: the
// nearest Lua function (a field is set through luabind's C handlers).
void PushWhere(lua_State* L) {
  lua_Debug ar;
  for (int level = 1; lua_getstack(L, level, &ar); ++level)
    if (lua_getinfo(L, "Sl", &ar) && ar.currentline > 0) {
      lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
      return;
    }
  lua_pushliteral(L, "");
}

// luabind's no-match hook: one message for the overload that fits the
// arguments furthest, counted as the call is written (in `obj:Method(x)`,
// x is argument 1, as Lua's own library counts).
bool ExplainNoMatch(lua_State* L, const luabind::detail::function_object* overloads) {
  const auto found = explained.find(overloads);
  if (found == explained.end()) return false;
  const Entry& e = *found->second;
  const int given = lua_gettop(L);
  const std::vector<Arg>* best = nullptr;
  int bad = 0;  // the first argument that is wrong, missing or one too many
  for (const std::vector<Arg>& args : e.overloads) {
    const int arity = static_cast<int>(args.size());
    int at = 1;
    while (at <= given && at <= arity && args[at - 1].fits(L, at)) ++at;
    if (at > bad || (at == bad && at <= arity)) best = &args, bad = at;
  }
  lua_Debug call;
  const int shift = lua_getstack(L, 0, &call) && lua_getinfo(L, "n", &call) && call.namewhat &&
                    std::strcmp(call.namewhat, "method") == 0;
  std::string text = std::string(e.name) + ": ";
  const int arity = static_cast<int>(best->size());
  if (e.field) {
    const Arg& value = (*best)[1];
    text += "must be " + value.kind(L) + " (" + value.words + "), got " + TypeAt(L, 2);
  } else if (bad > arity) {
    std::string counts;
    for (const std::vector<Arg>& args : e.overloads) {
      const int n = static_cast<int>(args.size()) - shift;
      counts += (counts.empty() ? "" : " or ") + (n == 0 ? std::string("no") : std::to_string(n));
    }
    text += "takes " + counts + (counts == "1" ? " argument" : " arguments") + ", got " +
            std::to_string(given - shift);
  } else {
    const Arg& arg = (*best)[bad - 1];
    const std::string which =
        bad - shift == 0 ? "the value before ':'" : "argument " + std::to_string(bad - shift);
    const std::string want = arg.kind(L) + " (" + arg.words + ")";
    if (bad > given)
      text += which + " is missing, it must be " + want;
    else
      text += which + " must be " + want + ", got " + TypeAt(L, bad);
  }
  PushWhere(L);
  lua_pushlstring(L, text.data(), text.size());
  lua_concat(L, 2);
  return true;
}

// Maps each entry's registered function to it.
void FindExplained(lua_State* L) {
  explained.clear();
  const int top = lua_gettop(L);
  for (const Entry& e : entries) {
    lua_getglobal(L, e.owner ? e.owner : e.name);
    if (e.owner) {
      static_cast<luabind::detail::class_rep*>(lua_touserdata(L, -1))->get_table(L);
      lua_getfield(L, -1, e.name);
      if (e.field) lua_getupvalue(L, -1, 2);  // the setter
    }
    const bool function = lua_getupvalue(L, -1, 1) != nullptr;
    assert(function && luabind::detail::is_luabind_function(L, -2));
    (void)function;
    explained[*static_cast<luabind::detail::function_object**>(lua_touserdata(L, -1))] = &e;
    lua_settop(L, top);
  }
}

// The drawing primitives' optional last argument, a blend level: each is
// registered twice, without it and with it, and nil is the same as none.
// The level itself is checked by the primitive.
template <const char* kName, class... A>
struct Blendable {
  template <void (*F)(A..., int)>
  static void Without(A... a) {
    F(a..., video::kNoBlend);
  }
  template <void (*F)(A..., int)>
  static void With(A... a, const luabind::object& blend) {
    const int type = luabind::type(blend);
    if (type == LUA_TNIL) return F(a..., video::kNoBlend);
    if (type != LUA_TNUMBER)
      base::Fail(kName, "blend must be 0, 1 or 2 (a blend level), got a %s",
                 lua_typename(blend.interpreter(), type));
    F(a..., luabind::object_cast<int>(blend));
  }
  // Both, described by the words of the arguments before the blend level.
  template <void (*F)(A..., int)>
  static luabind::scope Def(const char* const (&words)[sizeof...(A)]) {
    std::vector<const char*> with(words, words + sizeof...(A));
    with.push_back("a blend level");
    Note<decltype(&Without<F>)>(nullptr, kName, {words, words + sizeof...(A)});
    Note<decltype(&With<F>)>(nullptr, kName, with);
    luabind::scope both = luabind::def(kName, &Without<F>);
    both.operator,(luabind::def(kName, &With<F>));
    return both;
  }
};
constexpr char kDrawPixel[] = "DrawPixel", kDrawLine[] = "DrawLine", kDrawRect[] = "DrawRect",
               kFillRect[] = "FillRect", kDrawCircle[] = "DrawCircle", kFillCircle[] = "FillCircle";
using Point = Blendable<kDrawPixel, int, int, int>;
using Line = Blendable<kDrawLine, int, int, int, int, int>;
template <const char* kName>
using Box = Blendable<kName, int, int, int, int, int>;
template <const char* kName>
using Round = Blendable<kName, int, int, int, int>;

// The words shared by the eight spawns and by the six spawn events.
constexpr const char* kSpawn[] = {
    "a kind",        "an updater name", "an x position",      "a y position",
    "a FIXED speed", "a direction",     "an animation index", "a life"};
constexpr const char* kSpawnEvent[] = {
    "a delay in frames", "a kind",      "an updater name",    "an x position", "a y position",
    "a FIXED speed",     "a direction", "an animation index", "a life"};

// The failed callback's value is on the stack already; luabind raises the
// top of the stack when the handler returns.
void KeepCallbackError(lua_State*, const script::CallbackError&) {}

}  // namespace

void RegisterInterface() {
  // luabind keeps its handlers for the whole process.
  static const bool handler_registered =
      (luabind::register_exception_handler<script::CallbackError>(&KeepCallbackError), true);
  (void)handler_registered;
  lua_State* L = script::LuaState;
  luabind::open(L);
  luabind::detail::no_match_handler = &ExplainNoMatch;
  entries.clear();
  // One entry a line, in registration order, with the plain words for each
  // argument (a method's object first).
  // clang-format off
  luabind::module(L)[
    Def("SetSeed", &base::SetSeed, {"a seed"}),
    Def("Mod", &base::Mod, {"a dividend", "a divisor"}),
    Def("GetRand", &base::GetRand, {"the low bound", "the high bound"}),
    Def("ToFIXED", &base::ToFIXED, {"the whole part", "the hundredths"}),
    Def("GetDirY", &base::GetDirY, {"a direction", "a length"}),
    Def("GetDirX", &base::GetDirX, {"a direction", "a length"}),
    Def("IsOdd", &event::IsOdd),
    Def("RunScript", &script::RunScript, {"a script's file name"}),
    Def("RunReplay", &event::RunReplay, {"a replay's file name"}),
    Def("Update", &runtime::Update),
    Def("Present", &runtime::Present),
    Def("JoystickUpdate", &event::JoystickUpdate),
    Def("GetScriptPath", &base::ScriptGetScriptPath, {"a file name"}),
    Def("GetReplayPath", &base::ScriptGetReplayPath, {"a file name"}),
    Def("GetReplayFiles", &event::GetReplayFiles),
    Def("GetReplayFile", &event::GetReplayFile, {"a place in the replay listing"}),
    Def("Remove", &event::Remove, {"a file's path"}),
    class_<Sound, Handle<Sound>>("Sound"),
    Def("SetVol", &sound::SetVol, {"a channel", "a volume"}),
    Def("LoadSound", &sound::LoadSound, {"a sound's file name"}),
    Def("UnloadSound", &sound::UnloadSound, {"a sound"}),
    Def("PlaySound", &sound::PlaySound, {"a channel", "a sound", "a loop count", "a time limit in ms"}),
    Def("StopSound", &sound::StopSound, {"a channel"}),
    Def("FISound", &sound::FISound,
        {"a channel", "a sound", "a loop count", "a fade time in ms", "a time limit in ms"}),
    Def("FOSound", &sound::FOSound, {"a channel", "a fade time in ms"}),
    Def("AdjustPalette", &video::AdjustPalette),
    Def("FadeIn", &video::FadeIn, {"a step count"}),
    Def("FadeOutBlack", &video::FadeOutBlack, {"a step count"}),
    Def("FadeOutWhite", &video::FadeOutWhite, {"a step count"}),
    Def("ResetPalette", &video::ResetPalette),
    Def("SetPalette", &video::SetPalette, {"a red level", "a green level", "a blue level"}),
    Def("SetGamma", &video::SetGamma, {"a red gamma", "a green gamma", "a blue gamma"}),
    Def("DrawFont", &video::DrawFont,
        {"a font", "an x position", "a y position", "a text", "a byte count"}),
    Def("Draw", &video::Draw, {"a sprite set", "an x position", "a y position", "a sprite index"}),
    Def("LoadSpriteSet", &video::LoadSpriteSet, {"a sprite file's name"}),
    Class<SpriteSet, Handle<SpriteSet>>("SpriteSet")
      .Def("Release", &video::ReleaseSpriteSet, {"a sprite set"}),
    // Beyond the handheld: added beside its interface, which stays as it was.
    Point::Def<&video::DrawPixel>({"an x position", "a y position", "a colour"}),
    Line::Def<&video::DrawLine>({"an x position", "a y position", "an x position", "a y position",
                                 "a colour"}),
    Box<kDrawRect>::Def<&video::DrawRect>({"an x position", "a y position", "a width", "a height",
                                           "a colour"}),
    Box<kFillRect>::Def<&video::FillRect>({"an x position", "a y position", "a width", "a height",
                                           "a colour"}),
    Round<kDrawCircle>::Def<&video::DrawCircle>({"an x position", "a y position", "a radius",
                                                 "a colour"}),
    Round<kFillCircle>::Def<&video::FillCircle>({"an x position", "a y position", "a radius",
                                                 "a colour"}),
    Def("TextWidth", &video::TextWidth, {"a font", "a text"}),
    Def("TextHeight", &video::TextHeight, {"a font", "a text"}),
    Def("SpriteWidth", &video::SpriteWidth, {"a sprite set", "a sprite index"}),
    Def("SpriteHeight", &video::SpriteHeight, {"a sprite set", "a sprite index"}),
    Def("SpriteCount", &video::SpriteCount, {"a sprite set"}),
    Def("SetClearColour", &runtime::SetClearColour, {"a colour"}),
    Def("GetKey", &event::GetKey),
    Def("IsU", &event::IsU),
    Def("IsD", &event::IsD),
    Def("IsL", &event::IsL),
    Def("IsR", &event::IsR),
    Def("IsUL", &event::IsUL),
    Def("IsDL", &event::IsDL),
    Def("IsDR", &event::IsDR),
    Def("IsUR", &event::IsUR),
    Def("IsStart", &event::IsStart),
    Def("IsA", &event::IsA),
    Def("IsX", &event::IsX),
    Def("IsY", &event::IsY),
    Def("ClearEvent", &event::ClearEvent),
    Def("AddTimeEvent", &event::AddTimeEvent, {"a delay in frames", "a function's name"}),
    Def("AddEnemy0Event", &event::AddEnemy0Event, kSpawnEvent),
    Def("AddEnemy1Event", &event::AddEnemy1Event, kSpawnEvent),
    Def("AddLayer0Event", &event::AddLayer0Event, kSpawnEvent),
    Def("AddLayer1Event", &event::AddLayer1Event, kSpawnEvent),
    Def("AddLayer2Event", &event::AddLayer2Event, kSpawnEvent),
    Def("AddLayer3Event", &event::AddLayer3Event, kSpawnEvent),
    Def("AddInstanceEvent", &event::AddInstanceEvent,
        {"a delay in frames", "a function's name", "an instance"}),
    Def("rep", &event::rep, {"a frame number", "a key byte"}),
    Def("SaveReplay", &event::SaveReplay, {"a frame number", "a key byte"}),
    Def("SaveReplayFile", &event::SaveReplayFile,
        {"a file name prefix", "the first script's name", "the second script's name", "a life count",
         "a score"}),
    Def("SetTime", &event::SetTime, {"a frame number"}),
    Def("GetTime", &event::GetTime),
    Def("SetDamage", &object::SetDamage, {"an x position", "a y position", "a width", "a height"}),
    Def("GetRkey", &event::GetRkey),
    Def("IsRU", &event::IsRU),
    Def("IsRD", &event::IsRD),
    Def("IsRL", &event::IsRL),
    Def("IsRR", &event::IsRR),
    Def("IsRUL", &event::IsRUL),
    Def("IsRDL", &event::IsRDL),
    Def("IsRDR", &event::IsRDR),
    Def("IsRUR", &event::IsRUR),
    Def("IsRA", &event::IsRA),
    Def("IsRX", &event::IsRX),
    Def("NewObject", &object::NewObject),
    Class<Object, Handle<Object>>("Object")
      .Def("SetSpriteSet", &Object::SetSpriteSet, {"a kind", "a sprite set"})
      .Def("SetAnimSize", &Object::SetAnimSize, {"a kind", "an animation count"})
      .Def("SetAnim", &Object::SetAnim,
           {"a kind", "an animation index", "the first sprite index", "the last sprite index",
            "a hold time in frames", "whether it loops"})
      .Def("Release", &Object::Release, {"a kind"})
      .Field("cx", &object::GetCx, &object::SetCx, "the hotspot's x")
      .Field("cy", &object::GetCy, &object::SetCy, "the hotspot's y")
      .Field("hp", &object::GetObjectHp, &object::SetObjectHp, "hit points")
      .Field("size", &object::GetSize, &object::SetSize, "a collision radius")
      .Field("delay", &object::GetDelay, &object::SetDelay, "a byte for the script"),
    Def("AddEnemy0", &object::AddEnemy0, kSpawn),
    Def("AddEnemy1", &object::AddEnemy1, kSpawn),
    Def("AddEBullet", &object::AddEBullet, kSpawn),
    Def("AddPBullet", &object::AddPBullet, kSpawn),
    Def("AddLayer0", &object::AddLayer0, kSpawn),
    Def("AddLayer1", &object::AddLayer1, kSpawn),
    Def("AddLayer2", &object::AddLayer2, kSpawn),
    Def("AddLayer3", &object::AddLayer3, kSpawn),
    Def("ClearInstance", &object::ClearInstance),
    Def("GetHP", &object::GetHP, {"an instance"}),
    Def("GetX", &object::GetX, {"an instance"}),
    Def("GetY", &object::GetY, {"an instance"}),
    Def("SetX", &object::SetX, {"an instance", "an x position"}),
    Def("SetY", &object::SetY, {"an instance", "a y position"}),
    Def("CheckEBullet", &object::CheckEBullet, {"an instance", "a function's name"}),
    Def("CheckEnemy", &object::CheckEnemy, {"an instance", "a function's name"}),
    Def("GetDist", &object::GetDist, {"an instance", "another instance"}),
    Def("GetDir", &object::GetDir, {"an instance", "another instance"}),
    Def("GetDestDist", &object::GetDestDist, {"an instance", "an x position", "a y position"}),
    Def("GetDestDir", &object::GetDestDir, {"an instance", "an x position", "a y position"}),
    Def("SetDisposer", &object::SetDisposer, {"an instance", "a function's name"}),
    Def("SetUpdater", &object::SetUpdater, {"an instance", "a function's name"}),
    Def("SetParent", &object::SetParent, {"the child instance", "the parent instance"}),
    Def("GetParent", &object::GetParent, {"an instance"}),
    Def("Dispose", &object::Dispose, {"an instance"}),
    Class<Instance>("Instance")
      .Field("hit", &Instance::hit, "a flash colour")
      .Field("anim", &Instance::anim, "an animation index")
      .Field("age", &Instance::age, "an age in frames")
      .Field("state", &Instance::state, "a byte for the script")
      .Field("dir", &Instance::dir, "a direction")
      .Field("hp", &Instance::hp, "hit points")
      .Field("vel", &Instance::vel, "a FIXED speed")
  ];
  // clang-format on
  FindExplained(L);
  for (int i = 0; i < object::kPoolSize; ++i) {
    luabind::detail::make_instance(L, object::PoolInstance(i));
    [[maybe_unused]] int handle = script::AddHandle(L);
    assert(handle == i);
  }
  InstallInstanceFields(L, object::kPoolSize);
  script::ReserveNameSlots(object::kNameSlots);
}

}  // namespace runtime
