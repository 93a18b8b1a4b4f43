// The one Lua state: its libraries, file runs, calls into scripts by name,
// and the stop request that ends the running scripts (frame limit, window
// closed) through the normal shutdown path.
#pragma once
#include <string>

struct lua_State;

namespace object {
struct Instance;
}

namespace script {

extern lua_State* LuaState;

// Creates the state: base (with coroutine), io, os and string; luabind.
void InitScript();
// Registers the whole script interface (bindings.cpp) and the instance handles.
void RegisterInterface();
// ClearEvent, then closes the state.
void QuitScript();

// Runs a file in the state. Failures (cannot read, syntax, run time) go to
// the global _ALERT when it is a function, else to stderr; nothing is raised.
// True when the file ran to its end.
bool RunFile(const char* path);

// The run of start.lua: like RunFile, and when the failure went to stderr (no
// _ALERT), the message is followed there by a stack traceback, and
// `unreported` receives that whole text for the error screen.
bool RunMainFile(const char* path, std::string* unreported);
void RunScript(const char* name);
void RunReplay(const char* name);

// Calls the global function `name` in protected mode, results dropped. On
// failure throws luabind::error with the callback's message on the stack,
// which becomes the error of the script that called the engine.
void CallFunction(const char* name);
void CallFunction(const char* name, object::Instance* a);
void CallFunction(const char* name, object::Instance* a, object::Instance* b);

// Pushes the one script handle of an instance (nil for nullptr).
void PushInstance(lua_State* L, object::Instance* i);

// Ends every running script: from now on each Lua instruction raises an
// error that pcall cannot hold for more than one instruction.
void AbortRun();
bool Aborted();

}  // namespace script
