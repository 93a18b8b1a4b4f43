// Button queries, the key bitmask's priority order and fire bits, and the
// replayed-key queries as ReplayKey holds them.
#include <initializer_list>
#include <string>

#include "event/input.h"
#include "event/timeline.h"
#include "event_test_util.h"

namespace {

using event_test::EventTest;
using test_support::FakeInput;

std::uint32_t Bits(std::initializer_list<int> indices) {
  std::uint32_t b = 0;
  for (int i : indices) b |= 1u << i;
  return b;
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::backends.input;
    platform::backends.input = &input;
    event::ReplayKey = 0;
  }
  void TearDown() override {
    platform::backends.input = saved_;
    event::ReplayKey = 0;
  }
  // Which of the twelve queries answer 1, by script name.
  std::string Queries() {
    struct Query {
      const char* name;
      std::uint8_t (*f)();
    };
    const Query queries[] = {
        {"U", event::IsU},   {"UL", event::IsUL},   {"L", event::IsL},   {"DL", event::IsDL},
        {"D", event::IsD},   {"DR", event::IsDR},   {"R", event::IsR},   {"UR", event::IsUR},
        {"Start", event::IsStart}, {"A", event::IsA}, {"X", event::IsX}, {"Y", event::IsY}};
    std::string on;
    for (const Query& q : queries) {
      std::uint8_t v = q.f();
      EXPECT_TRUE(v == 0 || v == 1) << q.name;
      if (v) on += std::string(on.empty() ? "" : " ") + q.name;
    }
    return on;
  }
  std::string Replayed() {
    struct Query {
      const char* name;
      std::uint8_t (*f)();
    };
    const Query queries[] = {{"RU", event::IsRU},   {"RD", event::IsRD},   {"RL", event::IsRL},
                             {"RR", event::IsRR},   {"RUL", event::IsRUL}, {"RDL", event::IsRDL},
                             {"RDR", event::IsRDR}, {"RUR", event::IsRUR}, {"RA", event::IsRA},
                             {"RX", event::IsRX}};
    std::string on;
    for (const Query& q : queries) {
      std::uint8_t v = q.f();
      EXPECT_TRUE(v == 0 || v == 1) << q.name;
      if (v) on += std::string(on.empty() ? "" : " ") + q.name;
    }
    return on;
  }

  FakeInput input;

 private:
  platform::Input* saved_ = nullptr;
};

TEST_F(InputTest, EachQueryReadsItsOwnButtonIndex) {
  const char* expected[16] = {"U", "UL", "L", "DL", "D", "DR", "R", "UR",
                              "Start", "", "", "", "A", "", "X", "Y"};
  for (int i = 0; i < 16; ++i) {
    input.buttons = Bits({i});
    EXPECT_EQ(Queries(), expected[i]) << "button " << i;
  }
  input.buttons = Bits({9, 10, 11, 13, 16, 31});
  EXPECT_EQ(Queries(), "");
  EXPECT_EQ(event::GetKey(), 0);
}

TEST_F(InputTest, GetKeyTakesTheFirstStickButtonInPriorityOrderPlusFireBits) {
  struct Case {
    std::initializer_list<int> buttons;
    int key;
  };
  const Case cases[] = {
      {{}, 0},           {{6}, 4},          {{5}, 8},           {{4}, 12},
      {{3}, 16},         {{2}, 20},         {{1}, 24},          {{0}, 28},
      {{7}, 32},         {{0, 2}, 28},      {{1, 6}, 24},       {{12, 14}, 3},
      {{14}, 1},         {{12}, 2},         {{7, 1, 5, 3}, 32}, {{1, 5, 3}, 24},
      {{5, 3}, 8},       {{0, 4}, 28},      {{4, 2}, 12},       {{2, 6}, 20},
      {{3, 0}, 16},      {{7, 12, 14}, 35}, {{8, 15, 12}, 2},
  };
  for (const Case& c : cases) {
    input.buttons = Bits(c.buttons);
    EXPECT_EQ(event::GetKey(), c.key) << "buttons " << input.buttons;
  }
}

TEST_F(InputTest, WithoutAnInputBackendEverythingIsUp) {
  platform::backends.input = nullptr;
  EXPECT_EQ(Queries(), "");
  EXPECT_EQ(event::GetKey(), 0);
  event::JoystickUpdate();  // no backend to poll: nothing happens
}

TEST_F(InputTest, ReplayedQueriesDecodeTheWholeDirectionCode) {
  event::ReplayKey = 30;
  EXPECT_EQ(event::GetRkey(), 30);
  EXPECT_EQ(Replayed(), "RU RA");
  const char* directions[9] = {"", "RR", "RDR", "RD", "RDL", "RL", "RUL", "RU", "RUR"};
  for (int code = 0; code < 9; ++code) {
    event::ReplayKey = static_cast<std::uint8_t>(code * 4 + 1);
    EXPECT_EQ(Replayed(), std::string(directions[code]) + (code ? " RX" : "RX")) << code;
  }
  // Bits 6 and 7 make the code 9 or more: no direction at all.
  event::ReplayKey = 0x40 | 28 | 3;
  EXPECT_EQ(Replayed(), "RA RX");
  EXPECT_EQ(event::GetRkey(), 0x40 | 28 | 3);
}

using ReplayKeyTest = EventTest;

TEST_F(ReplayKeyTest, JoystickUpdatePollsAndClearEventZeroesTheReplayedKey) {
  ASSERT_EQ(Run("JoystickUpdate() JoystickUpdate()"), "");
  EXPECT_EQ(input.polls, 2);
  input.buttons = Bits({7, 14});
  EXPECT_EQ(Int("GetKey()"), 33);
  EXPECT_EQ(Int("IsUR()"), 1);
  EXPECT_EQ(Int("IsU()"), 0);

  ASSERT_EQ(Run("rep(1, 30)"), "");
  Dispatch(1);
  EXPECT_EQ(Int("GetRkey()"), 30);
  EXPECT_EQ(Int("IsRU() + IsRA()"), 2);
  ASSERT_EQ(Run("ClearEvent()"), "");
  EXPECT_EQ(Int("GetRkey() + IsRU() + IsRD() + IsRL() + IsRR() + IsRUL() + IsRDL() + IsRDR()"
                "+ IsRUR() + IsRA() + IsRX()"),
            0);
}

}  // namespace
