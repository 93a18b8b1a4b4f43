// The fixture of unit tests that run Lua against the engine's interface: a fresh state and pool
// per test; Run(code) gives "" or the error. (The interface itself: the rows game test.)
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "runtime/bindings.h"
#include "script/host.h"

namespace test_support {

class LuaFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    object::InitPool();
    script::InitScript();
    runtime::RegisterInterface();
  }
  void TearDown() override {
    script::QuitScript();
    object::InitPool();
  }
  std::string Run(const std::string& code) {
    lua_State* L = script::LuaState;
    if (luaL_dostring(L, code.c_str()) == 0) return "";
    const char* m = lua_tostring(L, -1);
    std::string message = m ? m : "(no message)";
    lua_pop(L, 1);
    return message;
  }
};

}  // namespace test_support
