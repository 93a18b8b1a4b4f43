// Shared fixture of the object tests: a fresh pool, direction tables and a
// Lua state with the whole interface, plus UpdateWorld/RenderWorld for the
// test scripts, and helpers that run chunks and read results.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include <luabind/luabind.hpp>

#include "base/fixed.h"
#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "object/object.h"
#include "object/world.h"
#include "script/host.h"
#include "tests/unit/lua_fixture.h"

namespace object_test {

class ObjectTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    base::InitDirTable();
    OpenState();
    luabind::module(L)[luabind::def("UpdateWorld", &object::UpdateWorld),
                       luabind::def("RenderWorld", &object::RenderWorld)];
    // K: a kind with one single-frame animation, size 2; `log` collects notes.
    EXPECT_EQ(Run("K = NewObject() K:SetAnimSize(1) K:SetAnim(0, 0, 0, 0, false) K.size = 2\n"
                  "log = '' function note(s) log = log .. s .. ' ' end"),
              "");
  }
  void TearDown() override {
    CloseState();
  }

  // The engine instance behind a script value (nullptr for nil).
  object::Instance* Inst(const std::string& expression) {
    EXPECT_EQ(Run("_r = " + expression), "");
    object::Instance* found = nullptr;
    lua_getglobal(L, "_r");
    for (int n = 0; n < object::kPoolSize && !lua_isnil(L, -1); ++n) {
      script::PushHandle(L, object::HandleOf(object::PoolInstance(n)));
      if (lua_rawequal(L, -1, -2)) found = object::PoolInstance(n);
      lua_pop(L, 1);
      if (found) break;
    }
    lua_pop(L, 1);
    return found;
  }
  bool HasError(const std::string& code, const std::string& text) {
    std::string e = Run(code);
    if (e.find(text) != std::string::npos) return true;
    ADD_FAILURE() << "code: " << code << "\nerror: '" << e << "', expected to contain '" << text
                  << "'";
    return false;
  }

};

}  // namespace object_test
