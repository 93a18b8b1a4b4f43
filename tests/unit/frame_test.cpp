// The frame step's pacing against a fake clock: on-time frames wait for the
// deadline and are drawn, late frames re-base the schedule and are not,
// logic runs once per call either way; and the frame limit.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/frame.h"
#include "event/timeline.h"
#include "script/host.h"
#include "tests/unit/fake_platform.h"
#include "video/display.h"

namespace {

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_back_ = video::BackBuffer;
    video::BackBuffer = back_;
    // Each poll stands for the start of a frame's work, which costs `work_` ms.
    input_.on_poll = [this] { clock_.now += work_; };
    runtime::FramePeriod = 16;
    runtime::NextFrameTime = runtime::UpdateCalls = runtime::MaxFrames = 0;
    event::ClearEvent();
  }
  void TearDown() override {
    video::BackBuffer = saved_back_;
    video::DestroySurface(back_);
    runtime::MaxFrames = 0;
  }
  // Paints the back buffer; an Update that draws clears it to 0.
  void Paint() { std::memset(back_->pixels, 0xAA, 76800); }
  bool Drawn() const { return back_->pixels[0] == 0 && back_->pixels[76799] == 0; }
  bool Untouched() const { return back_->pixels[0] == 0xAA && back_->pixels[76799] == 0xAA; }

  test_support::FakeClock clock_;
  test_support::FakeInput input_;
  std::uint32_t work_ = 0;
  test_support::FakeBackends backends_{{nullptr, nullptr, nullptr, &input_, &clock_}};
  video::Surface* back_ = video::CreateSurface(320, 240);
  video::Surface* saved_back_ = nullptr;
};

TEST_F(Frame, FiveMillisecondsOfWorkGiveOneFrameEvery16) {
  clock_.now = 1000;
  runtime::Update();  // first call: the deadline 0 has passed
  EXPECT_EQ(runtime::NextFrameTime, 1016u);
  work_ = 5;
  std::uint32_t last = clock_.now;
  for (int i = 0; i < 10; ++i) {
    Paint();
    runtime::Update();
    EXPECT_EQ(clock_.now - last, 16u) << i;
    EXPECT_TRUE(Drawn()) << i;
    last = clock_.now;
  }
  EXPECT_EQ(clock_.delays, std::vector<std::uint32_t>(10, 11));
}

TEST_F(Frame, LateFramesStillRunTheLogicOnce) {
  work_ = 40;  // every frame misses its deadline
  clock_.now = 500;
  std::uint32_t time = event::TimeCounter;
  for (int i = 0; i < 3; ++i) {
    Paint();
    runtime::Update();
    EXPECT_TRUE(Untouched());
  }
  EXPECT_EQ(input_.polls, 3);
  EXPECT_EQ(event::TimeCounter, time + 3);
  EXPECT_TRUE(clock_.delays.empty());
}

TEST_F(Frame, FirstFrameIsDrawnOnlyWhileTheClockReadsZero) {
  Paint();
  runtime::Update();
  EXPECT_TRUE(Drawn());
  EXPECT_EQ(runtime::NextFrameTime, 16u);
  runtime::NextFrameTime = 0;
  clock_.now = 1;
  Paint();
  runtime::Update();
  EXPECT_TRUE(Untouched());
}

TEST_F(Frame, ClockWrapIsALateFrameNotALongWait) {
  runtime::NextFrameTime = 0xFFFFFFFAu;
  clock_.now = 5;  // wrapped past the deadline
  runtime::Update();
  EXPECT_TRUE(clock_.delays.empty());
  EXPECT_EQ(runtime::NextFrameTime, 21u);
  // A deadline just past the wrap while the clock is still below it waits.
  runtime::NextFrameTime = 4;
  clock_.now = 0xFFFFFFFEu;
  runtime::Update();
  EXPECT_EQ(clock_.delays, std::vector<std::uint32_t>{6});
}

TEST_F(Frame, ADeadlineAheadIsWaitedForUnlessTheClockWentBack) {
  // { ms ahead of the clock, expected wait (none: late, re-based, the
  // previous picture kept) }; 0xFFFFFFFF is one millisecond late.
  const std::pair<std::uint32_t, int> cases[] = {{0, 0},     {0xFFFFFFFFu, -1}, {17, 17},
                                                 {16, 16},   {40, 40},          {1000, 1000},
                                                 {1001, -1}, {0x80000000u, -1}};
  for (const auto& [ahead, wait] : cases) {
    clock_.delays.clear();
    clock_.now = 5000;
    runtime::NextFrameTime = 5000 + ahead;
    Paint();
    runtime::Update();
    if (wait < 0) {
      EXPECT_TRUE(clock_.delays.empty()) << ahead;
      EXPECT_TRUE(Untouched()) << ahead;
      EXPECT_EQ(runtime::NextFrameTime, 5016u) << ahead;
    } else {
      EXPECT_EQ(clock_.delays, std::vector<std::uint32_t>{std::uint32_t(wait)}) << ahead;
      EXPECT_TRUE(Drawn()) << ahead;
      EXPECT_EQ(runtime::NextFrameTime, 5000 + ahead + 16) << ahead;
    }
  }
}

TEST_F(Frame, LimitEndsTheRunAfterTheLastFrameIsPresented) {
  script::InitScript();
  runtime::MaxFrames = 2;
  runtime::Update();
  runtime::FramePresented();
  runtime::Update();
  EXPECT_FALSE(script::Aborted());  // the second frame may still be drawn
  runtime::FramePresented();
  EXPECT_TRUE(script::Aborted());
  script::QuitScript();

  script::InitScript();
  runtime::Update();  // the limit was reached without a Present
  EXPECT_TRUE(script::Aborted());
  EXPECT_EQ(input_.polls, 2);  // and this call did no work
  EXPECT_EQ(runtime::UpdateCalls, 2u);
  script::QuitScript();
}

TEST_F(Frame, AClosedWindowEndsTheRunAtOnceOnEveryPath) {
  test_support::FakeMachine machine;
  platform::backends.machine = &machine;
  for (int path = 0; path < 3; ++path) {
    script::InitScript();
    runtime::NextFrameTime = clock_.now + (path == 1 ? 0 : 100);  // path 1: a late frame
    path == 2 ? runtime::FramePresented() : runtime::Update();
    EXPECT_FALSE(script::Aborted()) << path;
    machine.quit = true;
    path == 2 ? runtime::FramePresented() : runtime::Update();
    EXPECT_TRUE(script::Aborted()) << path;
    machine.quit = false;
    script::QuitScript();
  }
}

}  // namespace
