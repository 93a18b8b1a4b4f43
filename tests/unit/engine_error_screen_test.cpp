// The script error screen: its palette, its text on the screen, wrapping,
// and how it waits for the player.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "runtime/error_screen.h"
#include "platform/platform.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"
#include "video/surface.h"

namespace {

class PressAfter : public platform::Input {
 public:
  // Button 12 reads down for polls 1..held, up until `press`, down from then on.
  PressAfter(int held, int press) : held_(held), press_(press) {}
  void Poll() override { ++polls; }
  bool Button(int index) override {
    return index == 12 && (polls <= held_ || polls >= press_);
  }
  int polls = 0;

 private:
  int held_, press_;
};

class CountingClock : public platform::Clock {
 public:
  std::uint32_t Ticks() override { return now; }
  void Delay(std::uint32_t ms) override { now += ms; }
  std::uint32_t now = 0;
};

class ErrorScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {platform::display, platform::input, platform::clock, platform::host};
    platform::display = &display_;
    platform::clock = &clock_;
    platform::host = nullptr;
    video::BackBuffer = video::CreateSurface(320, 240);
    video::Screen = video::WrapSurface(display_.frame.data(), 320, 240);
  }
  void TearDown() override {
    video::DestroySurface(video::BackBuffer);
    video::DestroySurface(video::Screen);
    video::BackBuffer = video::Screen = nullptr;
    platform::display = saved_.display;
    platform::input = saved_.input;
    platform::clock = saved_.clock;
    platform::host = saved_.host;
  }
  // Colours used on screen rows [y0, y1).
  std::set<int> Colours(int y0, int y1) {
    std::set<int> seen;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < 320; ++x) seen.insert(display_.frame[y * 320 + x]);
    return seen;
  }
  struct {
    platform::Display* display;
    platform::Input* input;
    platform::Clock* clock;
    platform::Host* host;
  } saved_;
  video_test::RecordingDisplay display_;
  CountingClock clock_;
};

TEST_F(ErrorScreenTest, ShowsWhiteTextOnBlackWithARedTitle) {
  runtime::DrawErrorScreen("start.lua:3: boom\nstack traceback:\n\t[C] in function 'error'");
  // The last palette upload: colour 0 black, 1 white, 2 red, the rest black.
  ASSERT_GE(display_.writes.size(), 513u);
  auto upload = display_.writes.end() - 513;
  EXPECT_EQ(upload->first, platform::kRegPaletteIndex);
  EXPECT_EQ(upload[1].second, 0);          // colour 0: green*256+blue
  EXPECT_EQ(upload[3].second, 0xFFFF);     // colour 1
  EXPECT_EQ(upload[4].second, 255);        // colour 1 red
  EXPECT_EQ(upload[6].second, 255);        // colour 2 red
  EXPECT_EQ(upload[7].second, 0);          // colour 3
  EXPECT_EQ(display_.frames_written, 1);   // presented once
  EXPECT_EQ(Colours(0, 4), std::set<int>{0});
  EXPECT_EQ(Colours(4, 11), (std::set<int>{0, 2}));   // the title line
  EXPECT_EQ(Colours(22, 29), (std::set<int>{0, 1}));  // the message
  EXPECT_EQ(Colours(40, 47), (std::set<int>{0, 1}));  // the traceback's second line
  EXPECT_EQ(Colours(49, 240), std::set<int>{0});
}

TEST_F(ErrorScreenTest, LongLinesWrapOntoTheNextLine) {
  runtime::DrawErrorScreen(std::string(60, 'x'));
  EXPECT_EQ(Colours(22, 29), (std::set<int>{0, 1}));
  EXPECT_EQ(Colours(31, 38), (std::set<int>{0, 1}));  // the wrapped rest
  EXPECT_EQ(Colours(40, 240), std::set<int>{0});
}

TEST_F(ErrorScreenTest, WaitsForAFreshPressNotTheButtonStillHeld) {
  PressAfter input(3, 6);  // held from the game for 3 polls, pressed again at the 6th
  platform::input = &input;
  runtime::ShowErrorScreen("boom");
  EXPECT_EQ(input.polls, 6);
  EXPECT_EQ(clock_.now, 5u * 16u);  // one frame's wait per poll that did not end it
}

}  // namespace
