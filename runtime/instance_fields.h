// The instance fields scripts read and write every frame (i.hp, i.dir, ...)
// without luabind's overload dispatch: served inside Lua's VM by plain C
// functions (lua_setfieldaccess), with a C __index/__newindex on the pool's
// handles behind them, which hands every other key, and every value that is
// not a number, to luabind's own handlers.
#pragma once

struct lua_State;

namespace runtime {

// After the instance handles are made: gives each one the fast metatable.
void InstallInstanceFields(lua_State* L, int handle_count);

}  // namespace runtime
