// Button queries, the key bitmask's priority order and fire bits, and the
// replayed-key queries as ReplayKey holds them.
#include <initializer_list>
#include <string>

#include "event/input.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace event;

std::uint32_t Bits(std::initializer_list<int> indices) {
  std::uint32_t b = 0;
  for (int i : indices) b |= 1u << i;
  return b;
}

struct Query {
  const char* name;
  std::uint8_t (*f)();
};
const Query kLive[] = {{"U", IsU},         {"UL", IsUL}, {"L", IsL}, {"DL", IsDL},
                       {"D", IsD},         {"DR", IsDR}, {"R", IsR}, {"UR", IsUR},
                       {"Start", IsStart}, {"A", IsA},   {"X", IsX}, {"Y", IsY}};
const Query kReplayed[] = {{"RU", IsRU},   {"RD", IsRD},   {"RL", IsRL},   {"RR", IsRR},
                           {"RUL", IsRUL}, {"RDL", IsRDL}, {"RDR", IsRDR}, {"RUR", IsRUR},
                           {"RA", IsRA},   {"RX", IsRX}};

// The names of the queries that answer 1 (each must answer 0 or 1).
template <std::size_t N>
std::string On(const Query (&queries)[N]) {
  std::string on;
  for (const Query& q : queries) {
    std::uint8_t v = q.f();
    EXPECT_TRUE(v == 0 || v == 1) << q.name;
    if (v) on += std::string(on.empty() ? "" : " ") + q.name;
  }
  return on;
}

using InputTest = test_support::LuaFixture;

TEST_F(InputTest, EachQueryReadsItsOwnButtonIndex) {
  const char* expected[16] = {"U",     "UL", "L", "DL", "D", "DR", "R", "UR",
                              "Start", "",   "",  "",   "A", "",   "X", "Y"};
  for (int i = 0; i < 16; ++i) {
    input.buttons = Bits({i});
    EXPECT_EQ(On(kLive), expected[i]) << "button " << i;
  }
  input.buttons = Bits({9, 10, 11, 13, 16, 31});
  EXPECT_TRUE(On(kLive).empty() && GetKey() == 0);
  // Without an input backend everything is up.
  platform::Input* saved = platform::backends.input;
  platform::backends.input = nullptr;
  EXPECT_TRUE(On(kLive).empty() && GetKey() == 0);
  JoystickUpdate();  // no backend to poll: nothing happens
  platform::backends.input = saved;
  // Scripts poll and see the same buttons.
  Ok("JoystickUpdate() JoystickUpdate()");
  EXPECT_EQ(input.polls, 2);
  input.buttons = Bits({7, 14});
  EXPECT_EQ(Int("GetKey() * 100 + IsUR() * 10 + IsU()"), 3310);
}

TEST_F(InputTest, GetKeyPriorityAndFireBitsAndTheReplayedQueries) {
  struct Case {
    std::initializer_list<int> buttons;
    int key;
  };
  const Case cases[] = {
      {{}, 0},         {{6}, 4},          {{5}, 8},         {{4}, 12},    {{3}, 16},
      {{2}, 20},       {{1}, 24},         {{0}, 28},        {{7}, 32},    {{0, 2}, 28},
      {{1, 6}, 24},    {{12, 14}, 3},     {{14}, 1},        {{12}, 2},    {{7, 1, 5, 3}, 32},
      {{1, 5, 3}, 24}, {{5, 3}, 8},       {{0, 4}, 28},     {{4, 2}, 12}, {{2, 6}, 20},
      {{3, 0}, 16},    {{7, 12, 14}, 35}, {{8, 15, 12}, 2},
  };
  for (const Case& c : cases) {
    input.buttons = Bits(c.buttons);
    EXPECT_EQ(GetKey(), c.key) << "buttons " << input.buttons;
  }
  ReplayKey = 30;
  EXPECT_EQ(On(kReplayed), "RU RA");
  const char* directions[9] = {"", "RR", "RDR", "RD", "RDL", "RL", "RUL", "RU", "RUR"};
  for (int code = 0; code < 9; ++code) {
    ReplayKey = static_cast<std::uint8_t>(code * 4 + 1);
    EXPECT_EQ(On(kReplayed), std::string(directions[code]) + (code ? " RX" : "RX")) << code;
  }
  // Bits 6 and 7 make the code 9 or more: no direction at all.
  ReplayKey = 0x40 | 28 | 3;
  EXPECT_EQ(On(kReplayed), "RA RX");
  EXPECT_EQ(GetRkey(), 0x40 | 28 | 3);
  ReplayKey = 0;
}

}  // namespace
