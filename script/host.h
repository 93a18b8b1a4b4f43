// The one Lua state: its libraries, file runs, calls into scripts by name,
// and the stop request that ends the running scripts (frame limit, window
// closed) through the normal shutdown path.
#pragma once
#include <cstddef>
#include <exception>
#include <functional>
#include <string>

struct lua_State;

namespace script {

extern lua_State* LuaState;

// Creates the state: base (with coroutine), io, os, string and table. The
// script interface (luabind with it) is the runtime's to register.
void InitScript();
// Closes the state; the handles go with it.
void QuitScript();
// Bytes the scripts' heap holds now.
std::size_t HeapInUse();

// Runs a file in the state. Failures (cannot read, syntax, run time) go to
// the global _ALERT when it is a function, else to stderr; nothing is raised.
// True when the file ran to its end.
bool RunFile(const char* path);

// The run of start.lua: like RunFile, and when the failure went to stderr (no
// _ALERT), the message is followed there by a stack traceback, and
// `unreported` receives that whole text for the error screen.
bool RunMainFile(const char* path, std::string* unreported);
void RunScript(const char* name);

// Reports `message` as a failed file run is reported (_ALERT or stderr).
void ReportFailure(const std::string& message);
// Runs `body` in protected mode on the running thread, as the body of a file
// run: a Lua error or a standard exception out of it is reported like a
// failed file run. True when it ran to its end.
bool RunProtected(const std::function<void(lua_State*)>& body);
// True when argument `index` of the engine function being called is a
// string that holds a NUL byte (the const char* the function got is cut).
bool ArgumentHoldsNul(int index);

// Thrown by CallFunction when the callback failed. Its error value is on top
// of the running thread's stack, and the binding layer raises that value in
// the script that called the engine. Never catch it.
struct CallbackError : std::exception {
  const char* what() const noexcept override { return "a script callback failed"; }
};

// Calls the global function `name` in protected mode, results dropped. On
// failure throws CallbackError, so the callback's error becomes the error of
// the script that called the engine.
// Arguments are handles (see AddHandle); kNoHandle passes nil.
void CallFunction(const char* name);
void CallFunction(const char* name, int a);
void CallFunction(const char* name, int a, int b);

// Name slots: callback names the engine keeps for long (each instance's
// updater and disposer) held as Lua strings in the registry, so that a call
// finds the name without interning its text again. The global is still
// looked up at every call. ReserveNameSlots makes `count` empty slots in
// the current state; SetNameSlot keeps `name` (nullptr: none) in a slot and
// does nothing outside the reserved ones, and interns nothing new when the
// name came from a script.
void ReserveNameSlots(int count);
void SetNameSlot(int slot, const char* name);
// CallFunction(name, a), where slot `slot` was last set to `name` (or is
// empty, or not reserved: then the name is found from its text).
void CallFunction(int slot, const char* name, int a);

// Handles: values made once and pushed by number ever after, so that a
// script sees the same value each time (pooled engine objects). AddHandle
// pops the value on top of the stack and returns its number, counting from 0.
constexpr int kNoHandle = -1;
int AddHandle(lua_State* L);
// Pushes handle `handle`, or nil for kNoHandle and numbers not made yet.
void PushHandle(lua_State* L, int handle);

// Where the innermost script function running on the running thread is, as
// "script/game.lua:12" (a path inside the game folder shortened to the part
// below it); empty when no script function is running.
std::string ScriptPosition();

// Ends every running script: from now on each Lua instruction raises an
// error that pcall cannot hold for more than one instruction, and so does
// each stop check of a long library loop (pattern matching, string.rep).
void AbortRun();
bool Aborted();

}  // namespace script
