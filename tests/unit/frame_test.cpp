// The frame step's pacing against a fake clock (on-time frames wait and are drawn, late ones re-base
// the schedule and are not, logic runs once per call), a closed window, the script error screen
// (text, wrapping, earlier failed runs, the wait for a press). The frame limit: engine_stop_threads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "event/timeline.h"
#include "runtime/error_screen.h"
#include "runtime/frame.h"
#include "script/failed_runs.h"
#include "script/host.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"
#include "video/display.h"

namespace {

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_screen_ = video::Screen;
    video::Screen = screen_;
    // Each poll stands for the start of a frame's work, which costs `work_` ms.
    input_.on_poll = [this] { clock_.now += work_; };
    runtime::FramePeriod = 16;
    runtime::NextFrameTime = runtime::UpdateCalls = runtime::MaxFrames = 0;
    event::ClearEvent();
  }
  void TearDown() override {
    video::Screen = saved_screen_;
    video::DestroySurface(screen_);
    runtime::MaxFrames = 0;
  }
  // Paints the back buffer; an Update that draws clears it to 0.
  void Paint() { std::memset(back_->pixels, 0xAA, 76800); }
  bool Drawn() const { return back_->pixels[0] == 0 && back_->pixels[76799] == 0; }
  bool Untouched() const { return back_->pixels[0] == 0xAA && back_->pixels[76799] == 0xAA; }

  // The error screen, one character per text line of 9 rows from y = 4 (the
  // margin above joins the first): '.' black, '#' white text, 'r' red text.
  std::string Lines() {
    std::string out(27, '.');
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320; ++x) {
        char& line = out[y < 4 ? 0 : (y - 4) / 9];
        int c = display_.frame[y * 320 + x];
        char is = c == 1 ? '#' : c == 2 ? 'r' : '?';
        if (c) line = line == '.' || line == is ? is : '?';
      }
    return out;
  }

  test_support::FakeClock clock_;
  test_support::FakeInput input_;
  test_support::FakeDisplay display_;
  std::uint32_t work_ = 0;
  test_support::FakeBackends backends_{{nullptr, &display_, nullptr, &input_, &clock_}};
  // A blank back buffer for the test's life; the previous one comes back after.
  struct ScratchBackBuffer {
    video::Surface* saved = video::BackBuffer;
    video::Surface* s = video::BackBuffer = video::CreateSurface(320, 240);
    ~ScratchBackBuffer() { video::DestroySurface(std::exchange(video::BackBuffer, saved)); }
  } back_buffer_;
  video::Surface* back_ = back_buffer_.s;
  video::Surface *screen_ = video::CreateSurface(320, 240), *saved_screen_ = nullptr;
};

TEST_F(Frame, LateFramesAreNotDrawnButStillRunTheLogicOnce) {
  work_ = 40;  // every frame misses its deadline
  std::uint32_t time = event::TimeCounter;
  for (int i = 0; i < 3; ++i) {
    Paint();
    runtime::Update();
    EXPECT_TRUE(Untouched()) << i;
  }
  EXPECT_TRUE(input_.polls == 3 && event::TimeCounter == time + 3 && clock_.delays.empty());
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
      EXPECT_TRUE(Drawn() && runtime::NextFrameTime == c.deadline + 16) << c.deadline;
    }
  }
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

using ErrorScreenTest = Frame;

TEST_F(ErrorScreenTest, WhiteTextOnBlackARedTitleWrappedLinesAndTheFirstFailedFileRuns) {
  runtime::DrawErrorScreen("start.lua:3: boom\n" + std::string(60, 'x') + "\n\t[C] in 'error'");
  // One palette, presented once: colour 1 white, 2 red, the rest black.
  ASSERT_TRUE(display_.palettes.size() == 1u && display_.frames == 1);
  test_support::FakeDisplay::Palette want{};
  want[1] = {255, 255, 255};
  want[2] = {255, 96, 96};
  EXPECT_EQ(std::memcmp(want.data(), display_.palettes[0].data(), sizeof want), 0);
  EXPECT_EQ(Lines(), "r.####" + std::string(21, '.'));  // the line of x wraps once

  test_support::ScratchDir scratch{"lunashot-screen", {"script"}};
  scratch.Write("script/broken.lua", {'x', ' ', '=', ' ', '=', ' ', '1'});
  script::InitScript();
  testing::internal::CaptureStderr();
  const std::string missing = "script/" + std::string(220, 'm');
  script::RunFile(missing.c_str());  // a report of 4 screen lines, cut to 2
  for (int i = 0; i < 5; ++i) script::RunFile("script/broken.lua");
  std::string unreported;
  script::RunMainFile("script/broken.lua", &unreported);  // the error itself: not listed
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(script::FailedRuns().size(), 4u);
  EXPECT_EQ(script::FailedRuns()[0], ("cannot read " + missing).substr(0, 197) + "...");
  EXPECT_EQ(script::FailedRuns()[1], "script/broken.lua:1: unexpected symbol near '='");
  EXPECT_EQ(script::FailedRunsDropped(), 2);
  runtime::DrawErrorScreen(unreported);
  // "File runs that failed before:", the long report's two lines, the other
  // three, "(and 2 more)", a blank line, the error.
  EXPECT_EQ(Lines(), "r.r######.#" + std::string(16, '.'));
  script::QuitScript();
  script::InitScript();  // a fresh state starts a fresh list
  EXPECT_TRUE(script::FailedRuns().empty());
  script::QuitScript();
}

TEST_F(ErrorScreenTest, WaitsForAFreshPressNotTheButtonStillHeld) {
  // Held from the game for 3 polls, up, pressed again at the 6th.
  input_.buttons = 1u << 12;
  input_.on_poll = [this] {
    input_.buttons = input_.polls <= 3 || input_.polls >= 6 ? 1u << 12 : 0;
  };
  runtime::ShowErrorScreen("boom");
  // One frame's wait per poll that did not end it.
  EXPECT_TRUE(input_.polls == 6 && clock_.now == 5u * 16u);
}

}  // namespace
