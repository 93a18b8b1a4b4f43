// Base fixture of tests that drive the engine through a Lua state with the
// whole interface registered: running chunks and reading their results.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "runtime/handles.h"
#include "script/host.h"

namespace test_support {

class LuaFixture : public ::testing::Test {
 protected:
  // A fresh pool and state with the interface registered.
  void OpenState() {
    object::InitPool();
    script::InitScript();
    runtime::RegisterInterface();
    L = script::LuaState;
  }
  void CloseState() {
    script::QuitScript();
    object::InitPool();
  }

  // Runs a chunk; "" on success, else the error message.
  std::string Run(const std::string& code) {
    if (luaL_dostring(L, code.c_str()) == 0) return "";
    const char* m = lua_tostring(L, -1);
    std::string message = m ? m : "(no message)";
    lua_pop(L, 1);
    return message;
  }
  // Evaluates an expression to an integer, or a string ("<nil>" for nil).
  int Int(const std::string& expression) {
    EXPECT_EQ(Run("_r = " + expression), "");
    lua_getglobal(L, "_r");
    int v = static_cast<int>(lua_tointeger(L, -1));
    lua_pop(L, 1);
    return v;
  }
  std::string Str(const std::string& expression) {
    EXPECT_EQ(Run("_r = " + expression), "");
    lua_getglobal(L, "_r");
    const char* s = lua_tostring(L, -1);
    std::string v = lua_isnil(L, -1) ? "<nil>" : (s ? s : "?");
    lua_pop(L, 1);
    return v;
  }

  lua_State* L = nullptr;
};

}  // namespace test_support
