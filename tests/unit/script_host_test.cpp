// The Lua state: integer numbers, the open libraries and luabind's error
// texts. File runs and their reports are checked by the engine_alert and
// replay_data game tests; a callback's error reaching its caller through the
// timeline, world and game tests.
#include <stdexcept>
#include <string>

#include "tests/unit/lua_fixture.h"

namespace {

void ThrowStd() { throw std::runtime_error("disk on fire"); }
void ThrowOther() { throw 42; }

class ScriptTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    LuaFixture::SetUp();
    luabind::module(
        L)[luabind::def("ThrowStd", &ThrowStd), luabind::def("ThrowOther", &ThrowOther)];
  }
};

TEST_F(ScriptTest, NumbersAreThirtyTwoBitIntegers) {
  Ok("assert(7 / 2 == 3) assert(-7 / 2 == -3) assert(2.9 == 2) assert(-2.9 == -2)"
     "assert(tostring(7 / 2) == '3') assert(tonumber('2.9') == 2)"
     "assert(-7 % 3 == 2) assert(7 % -3 == -2)"  // Lua's floored %
     "assert(2147483647 + 1 == -2147483648)"     // wraps
     "assert(2 ^ 10 == 1024) assert(0x10 == 16) assert(string.format('%d', 5) == '5')"
     "local m, n = -2147483648, -1 assert(m / n == m) assert(m % n == 0)");
  for (const char* op : {"/", "%"})
    EXPECT_TRUE(HasError(std::string("local z = 0 local x = 1 ") + op + " z", "divide by zero"));
  // The error names the line of the division, not an earlier one.
  EXPECT_TRUE(HasError("local z = 0\nlocal a = 1\nlocal b = a / z", ":3: attempt to divide"));
}

TEST_F(ScriptTest, OnlyTheEngineLibrariesAreOpenAndClassesHaveNoConstructors) {
  Ok("assert(io and os and string and coroutine and print and require and class)"
     "assert(table == nil and math == nil and debug == nil and package == nil)");
  for (const char* c : {"Object", "Instance", "SpriteSet"})
    EXPECT_NE(Run(std::string("local o = ") + c + "()"), "") << c;
}

TEST_F(ScriptTest, LuabindErrorTexts) {
  EXPECT_EQ(Run("Mod('x', 1)").find("no match for function call 'Mod'"), 0u);
  Ok("local ok, e = pcall(ThrowStd) assert(not ok) assert(e == 'disk on fire', e)"
     "ok, e = pcall(ThrowOther) assert(not ok) assert(e == 'ThrowOther() threw an exception', e)");
}

}  // namespace
