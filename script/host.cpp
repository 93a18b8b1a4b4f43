// The Lua state, file runs with Lua 5.0's reporting (_ALERT or stderr), the
// call-by-name path of every callback, and the handles it passes. Engine code
// works on the thread that is running (a coroutine when a script calls the
// engine from one), and its own global lookups never run script code
// unprotected, so a strict-mode _G cannot turn a report into an abort.
#include "script/host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

#include "base/error.h"
#include "base/log.h"
#include "base/memory_budget.h"
#include "base/paths.h"
#include "platform/platform.h"
#include "script/failed_runs.h"

namespace script {

lua_State* LuaState = nullptr;

namespace {

bool aborted = false;
// Registry references of the handles, by number.
std::vector<int> handle_refs;
// Registry references of the name slots, by number: each holds a name
// string or false.
std::vector<int> name_slot_refs;

// The scripts' heap shares the memory budget with everything the engine
// keeps for them, so a runaway script (a string doubled in a loop, events
// added without end) gets "not enough memory" instead of taking the
// machine's memory.
std::size_t heap_in_use = 0;
// The heap's share of the budget: all of it, and while a failure is being
// reported a little more, since the protected call that collects the failed
// run's garbage needs memory itself.
constexpr std::size_t kReportReserve = std::size_t{1} << 20;
std::size_t heap_limit = base::kMemoryLimit;

// Each block is charged with the allocator's overhead, so that a heap of
// small objects (tables of two fields) takes what the budget says.
void* Allocate(void*, void* block, std::size_t old_size, std::size_t new_size) {
  const std::size_t old_cost = block ? old_size + base::kBlockOverhead : 0;
  if (new_size == 0) {
    std::free(block);
    heap_in_use -= old_size;
    base::Release(old_cost);
    return nullptr;
  }
  const std::size_t new_cost = new_size + base::kBlockOverhead;
  if (new_cost > old_cost && !base::TryChargeNow(new_cost - old_cost, heap_limit)) return nullptr;
  void* grown = std::realloc(block, new_size);
  if (!grown) {
    if (new_cost > old_cost) base::Release(new_cost - old_cost);
    return nullptr;
  }
  if (new_cost < old_cost) base::Release(old_cost - new_cost);
  heap_in_use = heap_in_use - old_size + new_size;
  return grown;
}

int CollectGarbage(lua_State* L) {
  lua_gc(L, LUA_GCCOLLECT, 0);
  return 0;
}

// The budget's reclaimer: a full collection lets go of the engine objects
// whose handles were dropped. Protected: finalizers may fail, and the
// collection itself may need a little memory.
void Reclaim() {
  lua_State* L = lua_running(LuaState);
  if (lua_cpcall(L, CollectGarbage, nullptr) != 0) lua_pop(L, 1);
}

// An error outside every protected call. The error paths avoid it (they
// report inside protected calls); should memory still run out there, the
// program ends as a failed run does, not with a crash.
int Panic(lua_State* L) {
  const char* message = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "?";
  std::fprintf(stderr, "lunashot: unprotected script error: %s\n", message);
  std::fflush(stderr);
  if (std::strcmp(message, "not enough memory") == 0) std::_Exit(1);
  std::abort();
}

void OpenLibrary(lua_State* L, lua_CFunction opener, const char* name) {
  lua_pushcfunction(L, opener);
  lua_pushstring(L, name);
  lua_call(L, 1, 0);
}

// The thread running Lua code now: the one whose call reached the engine.
lua_State* Current() { return lua_running(LuaState); }

int GetGlobal(lua_State* L) {
  lua_gettable(L, LUA_GLOBALSINDEX);
  return 1;
}

// Callback names as Lua strings, kept in the registry: a callback looked up
// every frame (updaters) finds its name here instead of interning it again.
// Direct-mapped by length and end characters; a miss replaces the entry.
struct NameEntry {
  char name[32];
  std::size_t length = 0;
  int ref = LUA_NOREF;
};
NameEntry name_cache[64];

void ClearNameCache() {
  for (NameEntry& e : name_cache) e = NameEntry();
}

void PushName(lua_State* L, const char* name) {
  const std::size_t length = std::strlen(name);
  if (length == 0 || length >= sizeof name_cache[0].name) {
    lua_pushlstring(L, name, length);
    return;
  }
  NameEntry& e = name_cache[(length * 7 + static_cast<unsigned char>(name[0]) * 3 +
                             static_cast<unsigned char>(name[length - 1])) %
                            64];
  if (e.ref != LUA_NOREF && e.length == length && std::memcmp(e.name, name, length) == 0) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, e.ref);
    return;
  }
  lua_pushlstring(L, name, length);
  luaL_unref(L, LUA_REGISTRYINDEX, e.ref);
  lua_pushvalue(L, -1);
  e.ref = luaL_ref(L, LUA_REGISTRYINDEX);
  std::memcpy(e.name, name, length);
  e.length = length;
}

// Replaces the name string on top of the stack (whose text is `name`) by
// the global so named as the engine sees it: the raw field; when that is
// nil and the globals have a metatable, what their __index gives, looked up
// in protected mode (an error there counts as nil, as an undefined name).
void NameToGlobal(lua_State* L, const char* name) {
  lua_rawget(L, LUA_GLOBALSINDEX);
  if (!lua_isnil(L, -1) || !lua_getmetatable(L, LUA_GLOBALSINDEX)) return;
  lua_pop(L, 2);
  lua_pushcfunction(L, GetGlobal);
  lua_pushstring(L, name);
  if (lua_pcall(L, 1, 1, 0) != 0) {
    lua_pop(L, 1);
    lua_pushnil(L);
  }
}

void PushGlobal(lua_State* L, const char* name) {
  PushName(L, name);
  NameToGlobal(L, name);
}

// The traceback of the last failed run, made where the error was raised.
std::string last_traceback;

// Message handler of file runs: keeps the message as it is and notes the
// stack it was raised on.
int NoteTraceback(lua_State* L) {
  last_traceback = "stack traceback:";
  lua_Debug ar;
  for (int level = 1; lua_getstack(L, level, &ar); ++level) {
    if (level > 22) {
      last_traceback += "\n\t...";
      break;
    }
    lua_getinfo(L, "Snl", &ar);
    last_traceback += "\n\t";
    last_traceback += ar.short_src;
    if (ar.currentline > 0) last_traceback += ":" + std::to_string(ar.currentline);
    if (*ar.namewhat)
      last_traceback += std::string(" in function '") + (ar.name ? ar.name : "?") + "'";
    else if (*ar.what == 'm')
      last_traceback += " in main chunk";
    else if (*ar.what == 'C')
      last_traceback += " in a function of the engine";
    else
      last_traceback +=
          " in function <" + std::string(ar.short_src) + ":" + std::to_string(ar.linedefined) + ">";
  }
  return 1;
}

// The message on top of the stack without converting it there (a number
// would become a new string, which needs memory).
const char* MessageOf(lua_State* L, char (&number)[32]) {
  switch (lua_type(L, -1)) {
    case LUA_TSTRING:
      return lua_tostring(L, -1);
    case LUA_TNUMBER:
      std::snprintf(number, sizeof number, LUA_NUMBER_FMT, lua_tonumber(L, -1));
      return number;
    default:
      return "(error object is not a string)";
  }
}

struct Alert {
  const char* message;
  bool collect;        // memory ran out: collect the garbage first
  bool found = false;  // _ALERT is a function (and was called)
};

// The part of a report that needs memory, run in protected mode: the
// collection (a run that ran out leaves its objects behind, unreachable
// now), the lookup of _ALERT and its call.
int CallAlert(lua_State* L) {
  auto* alert = static_cast<Alert*>(lua_touserdata(L, 1));
  if (alert->collect) lua_gc(L, LUA_GCCOLLECT, 0);
  PushGlobal(L, "_ALERT");
  if (!lua_isfunction(L, -1)) return 0;
  alert->found = true;
  lua_pushstring(L, alert->message);
  lua_call(L, 1, 0);
  return 0;
}

// Reports a failed file run the way Lua 5.0's lua_dofile did: the message to
// _ALERT when it is a function, else to stderr (with the traceback when
// `unreported` asks for it). Returns true when it went to stderr. Nothing
// here needs Lua memory outside a protected call (which may go a little
// beyond the budget), so running out of memory ends as a report, never as a
// panic; and a message that _ALERT cannot take (it fails, or memory is short
// even for the call) goes to stderr instead of being lost.
bool Report(lua_State* L, std::string* unreported = nullptr) {
  char number[32];
  const char* message = MessageOf(L, number);
  if (aborted) {
    lua_pop(L, 1);
    return false;
  }
  if (!unreported) NoteFailedRun(message);
  Alert alert{message, base::TakeRefusal()};
  const std::size_t limit = heap_limit;
  heap_limit = base::kMemoryLimit + kReportReserve;
  const int status = lua_cpcall(L, CallAlert, &alert);
  heap_limit = limit;
  if ((status == 0 && alert.found) || aborted) {
    lua_pop(L, status == 0 ? 1 : 2);
    return false;
  }
  if (unreported) {
    *unreported = message;
    if (!last_traceback.empty()) *unreported += "\n" + last_traceback;
    std::fprintf(stderr, "%s\n", unreported->c_str());
  } else {
    std::fprintf(stderr, "%s\n", message);
  }
  if (status != 0) {
    if (alert.found)
      std::fprintf(stderr, "lunashot: _ALERT failed: %s\n",
                   lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "?");
    lua_pop(L, 1);
  }
  std::fflush(stderr);
  lua_pop(L, 1);
  return true;
}

bool Run(const char* path, std::string* unreported) {
  lua_State* L = Current();
  last_traceback.clear();
  // The probe does not block: a FIFO opens here and is refused by the loader.
  const int probe = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) {
    lua_pushfstring(L, "cannot read %s: %s", path, std::strerror(errno));
    Report(L, unreported);
    return false;
  }
  close(probe);
  int status = luaL_loadfile(L, path);
  if (status == 0) {
    lua_pushcfunction(L, NoteTraceback);
    lua_insert(L, -2);
    int handler = lua_gettop(L) - 1;
    status = lua_pcall(L, 0, 0, handler);
    lua_remove(L, handler);
  }
  // The handler does not run for a lack of memory: no traceback of its own.
  if (status == LUA_ERRMEM) last_traceback.clear();
  if (status != 0) {
    Report(L, unreported);
    return false;
  }
  return true;
}

// Lua 5.0's require for source files: each ';'-separated template of the
// global LUA_PATH (a string), or of "?;?.lua", with '?' replaced by the
// name, is tried as a path relative to the working directory (the game
// folder). The first that opens is run once with _REQUIREDNAME set to the
// name; its result (true for nil) is kept and returned by later calls.
// Nothing else is searched: no C modules, and precompiled files are refused
// by the loader.
int Require(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  lua_settop(L, 1);
  lua_getfield(L, LUA_REGISTRYINDEX, "lunashot.required");  // 2
  lua_pushvalue(L, 1);
  lua_rawget(L, 2);
  if (lua_toboolean(L, -1)) return 1;
  lua_pop(L, 1);
  PushGlobal(L, "LUA_PATH");
  std::string path = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "?;?.lua";
  lua_pop(L, 1);
  int status = LUA_ERRFILE;
  for (std::size_t at = 0; status == LUA_ERRFILE && at <= path.size();) {
    std::size_t end = path.find(';', at);
    if (end == std::string::npos) end = path.size();
    std::string file = path.substr(at, end - at);
    at = end + 1;
    if (file.empty()) continue;
    const std::size_t length = std::strlen(name);
    for (std::size_t q = file.find('?'); q != std::string::npos; q = file.find('?', q + length))
      file.replace(q, 1, name);
    status = luaL_loadfile(L, file.c_str());
    if (status == LUA_ERRFILE) lua_pop(L, 1);
  }
  if (status == LUA_ERRFILE)
    return luaL_error(L, "could not load package '%s' from path '%s'", name, path.c_str());
  if (status != 0)
    return luaL_error(L, "error loading package '%s' (%s)", name, lua_tostring(L, -1));
  PushGlobal(L, "_REQUIREDNAME");
  lua_insert(L, -2);
  lua_pushvalue(L, 1);
  lua_setglobal(L, "_REQUIREDNAME");
  lua_call(L, 0, 1);
  lua_insert(L, -2);
  lua_setglobal(L, "_REQUIREDNAME");
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_pushboolean(L, 1);
  }
  lua_pushvalue(L, 1);
  lua_pushvalue(L, -2);
  lua_rawset(L, 2);
  return 1;
}

void AbortHook(lua_State* L, lua_Debug*) { luaL_error(L, "the run was stopped"); }

// Whether the player or the machine has asked to stop, taking in the
// window's events first; a request starts the stop.
bool StopAskedNow() {
  platform::Machine* machine = platform::backends.machine;
  if (!machine || !machine->QuitRequestedNow()) return false;
  AbortRun();
  return true;
}

// Every kWatchCount instructions, whether the player has asked to stop: a
// script that loops without ever reaching a frame, or a finalizer run by
// lua_close, still ends when the window is closed (or Escape pressed). About
// a millisecond of script apart, so the check costs nothing measurable.
constexpr int kWatchCount = 1 << 20;
void WatchHook(lua_State* L, lua_Debug*) {
  if (StopAskedNow()) luaL_error(L, "the run was stopped");
}

// The libraries' long loops (a pattern that backtracks for minutes, a huge
// string.rep), where no hook runs, call this every few thousand steps. A
// stop already under way ends the call at once; the machine is asked at
// most every kStopPoll of real time, so a check costs a clock read.
constexpr auto kStopPoll = std::chrono::milliseconds(20);
std::chrono::steady_clock::time_point last_stop_poll;
void StopCheck(lua_State* L) {
  if (!aborted) {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_stop_poll < kStopPoll) return;
    last_stop_poll = now;
    if (!StopAskedNow()) return;
  }
  luaL_error(L, "the run was stopped");
}

// Calls global `name` with `count` handles on the running thread. A failure
// leaves only the callback's message on that thread's stack, which the
// binding layer raises in the script that called the engine. The name's
// string comes from name slot `slot` when that holds one.
void Call(const char* name, int count, int a, int b, int slot = -1) {
  lua_State* L = Current();
  if (slot >= 0 && static_cast<std::size_t>(slot) < name_slot_refs.size()) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, name_slot_refs[slot]);
    if (lua_type(L, -1) != LUA_TSTRING) {
      lua_pop(L, 1);
      PushName(L, name);
    }
  } else {
    PushName(L, name);
  }
  NameToGlobal(L, name);
  if (count > 0) PushHandle(L, a);
  if (count > 1) PushHandle(L, b);
  if (lua_pcall(L, count, 0, 0) != 0) throw CallbackError();
}

}  // namespace

void InitScript() {
  heap_in_use = 0;
  lua_State* L = lua_newstate(Allocate, nullptr);
  lua_atpanic(L, Panic);
  OpenLibrary(L, luaopen_base, "");
  OpenLibrary(L, luaopen_io, LUA_IOLIBNAME);
  OpenLibrary(L, luaopen_os, LUA_OSLIBNAME);
  OpenLibrary(L, luaopen_string, LUA_STRLIBNAME);
  OpenLibrary(L, luaopen_table, LUA_TABLIBNAME);
  lua_newtable(L);
  lua_setfield(L, LUA_REGISTRYINDEX, "lunashot.required");
  lua_register(L, "require", Require);
  lua_gc(L, LUA_GCCOLLECT, 0);
  lua_sethook(L, WatchHook, LUA_MASKCOUNT, kWatchCount);
  lua_setstopcheck(L, StopCheck);
  LuaState = L;
  base::SetMemoryReclaimer(Reclaim);
  base::SetNoticePlace(ScriptPosition);
  aborted = false;
  ClearFailedRuns();
  ClearNameCache();
  handle_refs.clear();
  name_slot_refs.clear();
}

void QuitScript() {
  // After a stop the hook stays on while lua_close runs the finalizers, so
  // one that loops for ever ends at its first instruction. Otherwise the
  // watch hook stays.
  base::SetMemoryReclaimer(nullptr);  // no collection while the state closes
  base::SetNoticePlace(nullptr);
  if (LuaState) lua_close(LuaState);
  LuaState = nullptr;
  ClearNameCache();
  handle_refs.clear();
  name_slot_refs.clear();
}

bool RunFile(const char* path) { return Run(path, nullptr); }

bool RunMainFile(const char* path, std::string* unreported) { return Run(path, unreported); }

void RunScript(const char* name) {
  const char* path = base::GetScriptPath(name);
  if (!path) base::Fail("RunScript", "the path would be longer than 255 characters");
  char copy[base::kPathSize];
  std::strcpy(copy, path);
  RunFile(copy);
}

void ReportFailure(const std::string& message) {
  lua_State* L = Current();
  lua_pushlstring(L, message.data(), message.size());
  Report(L);
}

namespace {

int ProtectedBody(lua_State* L) {
  auto* body = static_cast<const std::function<void(lua_State*)>*>(lua_touserdata(L, 1));
  lua_settop(L, 0);
  std::string failure;
  try {
    (*body)(L);
    return 0;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  lua_pushlstring(L, failure.data(), failure.size());
  return lua_error(L);
}

}  // namespace

bool RunProtected(const std::function<void(lua_State*)>& body) {
  lua_State* L = Current();
  last_traceback.clear();
  lua_pushcfunction(L, NoteTraceback);
  int handler = lua_gettop(L);
  lua_pushcfunction(L, ProtectedBody);
  lua_pushlightuserdata(L, const_cast<std::function<void(lua_State*)>*>(&body));
  int status = lua_pcall(L, 1, 0, handler);
  if (status != 0) {
    lua_remove(L, handler);
    Report(L);
    return false;
  }
  lua_pop(L, 1);
  return true;
}

bool ArgumentHoldsNul(int index) {
  if (!LuaState) return false;
  lua_State* L = Current();
  std::size_t length = 0;
  if (lua_type(L, index) != LUA_TSTRING) return false;
  const char* text = lua_tolstring(L, index, &length);
  return std::strlen(text) != length;
}

void CallFunction(const char* name) { Call(name, 0, 0, 0); }

void CallFunction(const char* name, int a) { Call(name, 1, a, 0); }

void CallFunction(const char* name, int a, int b) { Call(name, 2, a, b); }

void CallFunction(int slot, const char* name, int a) { Call(name, 1, a, 0, slot); }

void ReserveNameSlots(int count) {
  lua_State* L = LuaState;
  name_slot_refs.reserve(name_slot_refs.size() + static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) {
    lua_pushboolean(L, 0);
    name_slot_refs.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
  }
}

void SetNameSlot(int slot, const char* name) {
  if (!LuaState || slot < 0 || static_cast<std::size_t>(slot) >= name_slot_refs.size()) return;
  lua_State* L = Current();
  if (name)
    PushName(L, name);
  else
    lua_pushboolean(L, 0);
  // The slot's key is in the registry already: the store needs no memory.
  lua_rawseti(L, LUA_REGISTRYINDEX, name_slot_refs[slot]);
}

int AddHandle(lua_State* L) {
  handle_refs.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
  return static_cast<int>(handle_refs.size()) - 1;
}

void PushHandle(lua_State* L, int handle) {
  if (handle < 0 || static_cast<std::size_t>(handle) >= handle_refs.size()) {
    lua_pushnil(L);
    return;
  }
  lua_rawgeti(L, LUA_REGISTRYINDEX, handle_refs[handle]);
}

void AbortRun() {
  if (aborted || !LuaState) return;
  aborted = true;
  // Every thread on the chain of resumes, innermost first: each one that
  // gets control back must stop too. Threads made later inherit the hook.
  for (lua_State* t = Current(); t; t = lua_resumer(t)) lua_sethook(t, AbortHook, LUA_MASKCOUNT, 1);
  lua_sethook(LuaState, AbortHook, LUA_MASKCOUNT, 1);
}

bool Aborted() { return aborted; }

std::string ScriptPosition() {
  if (!LuaState) return "";
  lua_State* L = Current();
  lua_Debug ar;
  for (int level = 0; lua_getstack(L, level, &ar); ++level) {
    lua_getinfo(L, "Sl", &ar);
    if (ar.currentline <= 0) continue;  // the engine's own functions
    // A file's chunk is named "@path"; its short form may have lost the
    // path's start, so the full one is shortened here.
    std::string file = ar.source[0] == '@' ? ar.source + 1 : ar.short_src;
    const std::size_t folder = std::strlen(base::GameDir);
    if (folder && file.compare(0, folder, base::GameDir) == 0) file.erase(0, folder);
    return file + ":" + std::to_string(ar.currentline);
  }
  return "";
}

std::size_t HeapInUse() { return heap_in_use; }

}  // namespace script
