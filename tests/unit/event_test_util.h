// Shared fixture of the timeline, input and replay tests: a Lua state with
// the whole interface plus Dispatch (the timeline step of Update, without
// the world and the frame pacing), the fake input backend, and helpers that
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
#include "tests/unit/fake_platform.h"
#include "tests/unit/lua_fixture.h"

namespace event_test {

class EventTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    OpenState();
    luabind::module(L)[luabind::def("Dispatch", &event::DispatchEvents)];
    event::ClearEvent();
    saved_input_ = platform::backends.input;
    platform::backends.input = &input;
    // `log` collects the names of fired functions; f(name) makes one.
    EXPECT_EQ(Run("log = '' function note(s) log = log .. s .. ' ' end\n"
                  "function f(name) _G[name] = function() note(name) end end"),
              "");
  }
  void TearDown() override {
    platform::backends.input = saved_input_;
    CloseState();
  }

  std::string Log() { return Str("log"); }
  // Runs `n` dispatches from the script, as n calls of Update would.
  void Dispatch(int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(Run("Dispatch()"), "");
  }

  test_support::FakeInput input;

 private:
  platform::Input* saved_input_ = nullptr;
};

}  // namespace event_test
