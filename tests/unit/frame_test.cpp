// The frame step's pacing against a fake clock: on-time frames wait for the
// deadline and are drawn, late frames re-base the schedule and are not,
// logic runs once per call either way; the frame limit and a closed window.
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

TEST_F(Frame, OnTimeFramesComeEvery16MsAndLateOnesStillRunTheLogicOnce) {
  runtime::NextFrameTime = 1016;
  clock_.now = 1000;
  work_ = 5;
  for (int i = 0; i < 10; ++i) {
    Paint();
    runtime::Update();
    EXPECT_TRUE(Drawn()) << i;
  }
  EXPECT_EQ(clock_.now, 1160u);
  EXPECT_EQ(clock_.delays, std::vector<std::uint32_t>(10, 11));
  work_ = 40;  // every frame misses its deadline from now on
  std::uint32_t time = event::TimeCounter;
  for (int i = 0; i < 3; ++i) {
    Paint();
    runtime::Update();
    EXPECT_TRUE(Untouched()) << i;
  }
  EXPECT_EQ(input_.polls, 13);
  EXPECT_EQ(event::TimeCounter, time + 3);
  EXPECT_EQ(clock_.delays.size(), 10u);
}

TEST_F(Frame, ADeadlineAheadIsWaitedForUnlessPassedOrTheClockWentBack) {
  // A wait of -1: late, re-based, the previous picture kept. Differences are
  // taken modulo 2^32: the clock's wrap is no wait of weeks. At (1, 0) the first
  // frame is drawn only while the clock reads 0.
  const struct {
    std::uint32_t now, deadline;
    int wait;
  } cases[] = {{5000, 5000, 0},  {5000, 4999, -1},   {5000, 5017, 17},     {5000, 5016, 16},
               {5000, 5040, 40}, {5000, 6000, 1000}, {5000, 6001, -1},     {5000, 0x80001388u, -1},
               {0, 0, 0},        {1, 0, -1},         {5, 0xFFFFFFFAu, -1}, {0xFFFFFFFEu, 4, 6}};
  for (const auto& c : cases) {
    clock_.delays.clear();
    clock_.now = c.now;
    runtime::NextFrameTime = c.deadline;
    Paint();
    runtime::Update();
    if (c.wait < 0) {
      EXPECT_TRUE(clock_.delays.empty() && Untouched()) << c.deadline;
      EXPECT_EQ(runtime::NextFrameTime, c.now + 16) << c.deadline;
    } else {
      EXPECT_EQ(clock_.delays, std::vector<std::uint32_t>{std::uint32_t(c.wait)}) << c.deadline;
      EXPECT_TRUE(Drawn()) << c.deadline;
      EXPECT_EQ(runtime::NextFrameTime, c.deadline + 16) << c.deadline;
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
