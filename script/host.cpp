// The Lua state, file runs with Lua 5.0's reporting (_ALERT or stderr), the
// call-by-name path of every callback, and the handles it passes. Engine code
// works on the thread that is running (a coroutine when a script calls the
// engine from one), and its own global lookups never run script code
// unprotected, so a strict-mode _G cannot turn a report into an abort.
#include "script/host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

#include "base/error.h"
#include "base/paths.h"
#include "platform/platform.h"
#include "script/failed_runs.h"

namespace script {

lua_State* LuaState = nullptr;

namespace {

bool aborted = false;
// Registry references of the handles, by number.
std::vector<int> handle_refs;

// The scripts' heap is capped, so a runaway script (a string doubled in a
// loop) gets "not enough memory" instead of taking the machine's memory.
constexpr std::size_t kHeapLimit = std::size_t{512} << 20;
std::size_t heap_in_use = 0;

void* Allocate(void*, void* block, std::size_t old_size, std::size_t new_size) {
  if (new_size == 0) {
    std::free(block);
    heap_in_use -= old_size;
    return nullptr;
  }
  if (new_size > old_size && heap_in_use - old_size + new_size > kHeapLimit) return nullptr;
  void* grown = std::realloc(block, new_size);
  if (grown) heap_in_use = heap_in_use - old_size + new_size;
  return grown;
}

int Panic(lua_State* L) {
  std::fprintf(stderr, "lunashot: unprotected script error: %s\n",
               lua_tostring(L, -1) ? lua_tostring(L, -1) : "?");
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

// Pushes global `name` as the engine sees it: the raw field; when that is nil
// and the globals have a metatable, what their __index gives, looked up in
// protected mode (an error there counts as nil, as an undefined name).
void PushGlobal(lua_State* L, const char* name) {
  PushName(L, name);
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

// Reports a failed file run the way Lua 5.0's lua_dofile did: the message to
// _ALERT when it is a function, else to stderr (with the traceback when
// `unreported` asks for it). Returns true when it went to stderr.
bool Report(lua_State* L, std::string* unreported = nullptr) {
  const char* message = lua_tostring(L, -1);
  if (!message) message = "(error object is not a string)";
  if (aborted) {
    lua_pop(L, 1);
    return false;
  }
  if (!unreported) NoteFailedRun(message);
  PushGlobal(L, "_ALERT");
  if (lua_isfunction(L, -1)) {
    lua_pushstring(L, message);
    if (lua_pcall(L, 1, 0, 0) != 0) lua_pop(L, 1);
    lua_pop(L, 1);
    return false;
  }
  lua_pop(L, 1);
  if (unreported) {
    *unreported = message;
    if (!last_traceback.empty()) *unreported += "\n" + last_traceback;
    std::fprintf(stderr, "%s\n", unreported->c_str());
  } else {
    std::fprintf(stderr, "%s\n", message);
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

// Every kWatchCount instructions, whether the player has asked to stop: a
// script that loops without ever reaching a frame, or a finalizer run by
// lua_close, still ends when the window is closed (or Escape pressed). About
// a millisecond of script apart, so the check costs nothing measurable.
constexpr int kWatchCount = 1 << 20;
void WatchHook(lua_State* L, lua_Debug*) {
  platform::Machine* machine = platform::backends.machine;
  if (!machine || !machine->QuitRequestedNow()) return;
  AbortRun();
  luaL_error(L, "the run was stopped");
}

// Calls global `name` with `count` handles on the running thread. A failure
// leaves only the callback's message on that thread's stack, which the
// binding layer raises in the script that called the engine.
void Call(const char* name, int count, int a, int b) {
  lua_State* L = Current();
  PushGlobal(L, name);
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
  lua_newtable(L);
  lua_setfield(L, LUA_REGISTRYINDEX, "lunashot.required");
  lua_register(L, "require", Require);
  lua_gc(L, LUA_GCCOLLECT, 0);
  lua_sethook(L, WatchHook, LUA_MASKCOUNT, kWatchCount);
  LuaState = L;
  aborted = false;
  ClearFailedRuns();
  ClearNameCache();
  handle_refs.clear();
}

void QuitScript() {
  // After a stop the hook stays on while lua_close runs the finalizers, so
  // one that loops for ever ends at its first instruction. Otherwise the
  // watch hook stays.
  if (LuaState) lua_close(LuaState);
  LuaState = nullptr;
  ClearNameCache();
  handle_refs.clear();
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

std::size_t HeapInUse() { return heap_in_use; }

}  // namespace script
