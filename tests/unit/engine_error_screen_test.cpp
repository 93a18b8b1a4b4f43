// The script error screen: its palette, its text on the screen, wrapping,
// the failed file runs listed above the error, and how it waits for the player.
#include <gtest/gtest.h>

#include <string>

#include "runtime/error_screen.h"
#include "script/failed_runs.h"
#include "script/host.h"
#include "tests/unit/scratch_dir.h"
#include "tests/unit/fake_platform.h"
#include "video/display.h"
#include "video/surface.h"

namespace {

class ErrorScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    video::BackBuffer = video::CreateSurface(320, 240);
    video::Screen = video::CreateSurface(320, 240);
  }
  void TearDown() override {
    video::DestroySurface(video::BackBuffer);
    video::DestroySurface(video::Screen);
    video::BackBuffer = video::Screen = nullptr;
  }
  // One character per text line of 9 rows from y = 4 (the margin above
  // joins the first): '.' black, '#' white text, 'r' red text.
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
  test_support::FakeDisplay display_;
  test_support::FakeClock clock_;
  test_support::FakeInput input_;
  test_support::FakeBackends backends_{{nullptr, &display_, nullptr, &input_, &clock_}};
};

TEST_F(ErrorScreenTest, ShowsWhiteTextOnBlackWithARedTitleAndWrapsLongLines) {
  runtime::DrawErrorScreen("start.lua:3: boom\n" + std::string(60, 'x') + "\n\t[C] in 'error'");
  // One palette: colour 0 black, 1 white, 2 red, the rest black.
  ASSERT_EQ(display_.palettes.size(), 1u);
  const auto& p = display_.palettes[0];
  for (int i = 0; i < 256; ++i) {
    const int expected = i == 1 ? 255 * 3 : i == 2 ? 255 + 96 * 2 : 0;
    EXPECT_EQ(p[i].r + p[i].g + p[i].b, expected) << i;
  }
  EXPECT_EQ(p[2].r, 255);
  EXPECT_EQ(display_.frames, 1);                        // presented once
  EXPECT_EQ(Lines(), "r.####" + std::string(21, '.'));  // the line of x wraps once
}

TEST_F(ErrorScreenTest, ListsTheFirstFailedFileRunsAboveTheError) {
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
  // A fresh state starts a fresh list.
  script::QuitScript();
  script::InitScript();
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
  EXPECT_EQ(input_.polls, 6);
  EXPECT_EQ(clock_.now, 5u * 16u);  // one frame's wait per poll that did not end it
}

}  // namespace
