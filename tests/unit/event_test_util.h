// Shared fixture of the timeline, input and replay tests: a Lua state with
// the whole interface plus Dispatch (the timeline step of Update, without
// the world and the frame pacing), a fake input backend, and helpers that
// run chunks and read results.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include <luabind/luabind.hpp>

#include "event/input.h"
#include "event/timeline.h"
#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "platform/platform.h"
#include "script/host.h"

namespace event_test {

// Buttons set by the test; Poll only counts.
class FakeInput : public platform::Input {
 public:
  void Poll() override { ++polls; }
  bool Button(int index) override {
    return index >= 0 && index < 32 && ((buttons >> index) & 1u) != 0;
  }
  std::uint32_t buttons = 0;
  int polls = 0;
};

class EventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    object::InitPool();
    script::InitScript();
    script::RegisterInterface();
    L = script::LuaState;
    luabind::module(L)[luabind::def("Dispatch", &event::DispatchEvents)];
    event::ClearEvent();
    saved_input_ = platform::input;
    platform::input = &input;
    // `log` collects the names of fired functions; f(name) makes one.
    EXPECT_EQ(Run("log = '' function note(s) log = log .. s .. ' ' end\n"
                  "function f(name) _G[name] = function() note(name) end end"),
              "");
  }
  void TearDown() override {
    platform::input = saved_input_;
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
  std::string Log() { return Str("log"); }
  // Runs `n` dispatches from the script, as n calls of Update would.
  void Dispatch(int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(Run("Dispatch()"), "");
  }

  lua_State* L = nullptr;
  FakeInput input;

 private:
  platform::Input* saved_input_ = nullptr;
};

}  // namespace event_test
