// The words of a wrong argument: every function and method of the script interface, read back
// from the state after registration (so that none can be registered without words), says which
// argument is wrong in plain words, at the line that made the call. Reaches into luabind's
// registry to find the methods.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include <luabind/luabind.hpp>

#include "tests/unit/lua_fixture.h"

namespace {

using InterfaceTest = test_support::LuaFixture;

TEST_F(InterfaceTest, AWrongArgumentIsNamedInPlainWordsWithFileAndLine) {
  lua_State* L = script::LuaState;
  lua_newtable(L);
  const int found = lua_gettop(L);  // "Name", or "Class.Name" for a method -> the function
  const auto keep = [&](const std::string& name) {
    lua_pushstring(L, name.c_str());
    lua_pushvalue(L, -2);
    lua_rawset(L, found);
  };
  for (lua_pushnil(L); lua_next(L, LUA_GLOBALSINDEX); lua_pop(L, 1)) {
    const std::string name = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : "";
    if (luabind::detail::is_luabind_function(L, -1)) keep(name);
    if (!luabind::detail::is_class_rep(L, -1)) continue;
    static_cast<luabind::detail::class_rep*>(lua_touserdata(L, -1))->get_table(L);
    for (lua_pushnil(L); lua_next(L, -2); lua_pop(L, 1))
      if (luabind::detail::is_luabind_function(L, -1)) keep(name + "." + lua_tostring(L, -2));
    lua_pop(L, 1);
  }
  int count = 0;
  for (lua_pushnil(L); lua_next(L, found); lua_pop(L, 1), ++count) {
    const std::string name = lua_tostring(L, -2);
    const char* call = "\nlocal f = ...\nf({})";
    ASSERT_EQ(luaL_loadbuffer(L, call, std::strlen(call), "=calls"), 0);
    lua_pushvalue(L, -2);
    std::string e = "(no error)";
    if (lua_pcall(L, 1, 0, 0) != 0) {
      e = lua_isstring(L, -1) ? lua_tostring(L, -1) : "(not a string)";
      lua_pop(L, 1);
    }
    const std::string bare = name.substr(name.find('.') + 1);
    EXPECT_TRUE(
        std::regex_match(e, std::regex("calls:3: " + bare +
                                       ": (argument 1 must be an? [A-Za-z]+ \\(.+\\), got table|"
                                       "takes no arguments, got 1)")))
        << name << ": " << e;
  }
  EXPECT_GE(count, 111 + 5);  // the functions and methods of today, at least
  lua_pop(L, 1);
  // As the call is written: in k:M(x), x is argument 1. Overloads give one message; a field
  // names the value.
  ASSERT_EQ(Run("K = NewObject()"), "");
  const char* rows[][2] = {
      {"Draw(nil, 1, 2, 'x')", "Draw: argument 4 must be a number (a sprite index), got string"},
      {"K:SetAnim(0, 'a', 0, 0, true)",
       "SetAnim: argument 2 must be a number (the first sprite index), got string"},
      {"K.SetAnim(nil, 0, 0, 0, 0, true)",
       "SetAnim: argument 1 must be an Object (a kind), got nil"},
      {"GetX(K)", "GetX: argument 1 must be an Instance (an instance), got Object"},
      {"K:SetAnimSize()",
       "SetAnimSize: argument 1 is missing, it must be a number (an animation count)"},
      {"K:Release(1)", "Release: takes no arguments, got 1"},
      {"FillRect(0, 0, 1, 1)", "FillRect: argument 5 is missing, it must be a number (a colour)"},
      {"FillRect(0, 0, 1, 1, 5, 0, 0)", "FillRect: takes 5 or 6 arguments, got 7"},
      {"DrawLine(0, 0, 1, 1, nil, 0)", "DrawLine: argument 5 must be a number (a colour), got nil"},
      {"K.cx = 'a'", "cx: must be a number (the hotspot's x), got string"},
  };
  for (auto& r : rows)
    EXPECT_EQ(Run(std::string("\n") + r[0]), std::string("[string \"...\"]:2: ") + r[1]) << r[0];
}

}  // namespace
