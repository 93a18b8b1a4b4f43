// The Lua state, file runs with Lua 5.0's reporting (_ALERT or stderr), the
// call-by-name path of every callback, and the handles it passes.
#include "script/host.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"
#include "luabind/luabind.hpp"

#include "base/error.h"
#include "base/paths.h"

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
      last_traceback += " in function <" + std::string(ar.short_src) + ":" +
                        std::to_string(ar.linedefined) + ">";
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
  lua_getglobal(L, "_ALERT");
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
  lua_State* L = LuaState;
  last_traceback.clear();
  std::FILE* probe = std::fopen(path, "r");
  if (!probe) {
    lua_pushfstring(L, "cannot read %s: %s", path, std::strerror(errno));
    Report(L, unreported);
    return false;
  }
  std::fclose(probe);
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

void AbortHook(lua_State* L, lua_Debug*) { luaL_error(L, "the run was stopped"); }

[[noreturn]] void Raise(lua_State* L) { throw luabind::error(L); }

}  // namespace

void InitScript() {
  heap_in_use = 0;
  lua_State* L = lua_newstate(Allocate, nullptr);
  lua_atpanic(L, Panic);
  OpenLibrary(L, luaopen_base, "");
  OpenLibrary(L, luaopen_io, LUA_IOLIBNAME);
  OpenLibrary(L, luaopen_os, LUA_OSLIBNAME);
  OpenLibrary(L, luaopen_string, LUA_STRLIBNAME);
  lua_gc(L, LUA_GCCOLLECT, 0);
  luabind::open(L);
  LuaState = L;
  aborted = false;
  handle_refs.clear();
}

void QuitScript() {
  if (LuaState) {
    lua_sethook(LuaState, nullptr, 0, 0);
    lua_close(LuaState);
  }
  LuaState = nullptr;
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

void RunReplay(const char* name) {
  const char* path = base::GetReplayPath(name);
  if (!path) base::Fail("RunReplay", "the path would be longer than 255 characters");
  char copy[base::kPathSize];
  std::strcpy(copy, path);
  RunFile(copy);
}

void CallFunction(const char* name) {
  lua_State* L = LuaState;
  lua_getfield(L, LUA_GLOBALSINDEX, name);
  if (lua_pcall(L, 0, 0, 0) != 0) Raise(L);
}

void CallFunction(const char* name, int a) {
  lua_State* L = LuaState;
  lua_getfield(L, LUA_GLOBALSINDEX, name);
  PushHandle(L, a);
  if (lua_pcall(L, 1, 0, 0) != 0) Raise(L);
}

void CallFunction(const char* name, int a, int b) {
  lua_State* L = LuaState;
  lua_getfield(L, LUA_GLOBALSINDEX, name);
  PushHandle(L, a);
  PushHandle(L, b);
  if (lua_pcall(L, 2, 0, 0) != 0) Raise(L);
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
  lua_sethook(LuaState, AbortHook, LUA_MASKCOUNT, 1);
}

bool Aborted() { return aborted; }

std::size_t HeapInUse() { return heap_in_use; }

}  // namespace script
