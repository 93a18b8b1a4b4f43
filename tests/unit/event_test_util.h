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
#include "tests/unit/lua_fixture.h"

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

class EventTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    OpenState();
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
    CloseState();
  }

  std::string Log() { return Str("log"); }
  // Runs `n` dispatches from the script, as n calls of Update would.
  void Dispatch(int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(Run("Dispatch()"), "");
  }

  FakeInput input;

 private:
  platform::Input* saved_input_ = nullptr;
};

}  // namespace event_test
