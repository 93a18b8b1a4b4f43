// gamepad.txt: the default table, a file that replaces it, and bad lines that
// are reported and skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/gamepad_map.h"

namespace {

using base::GamepadMap;
using base::kNoButton;
using base::ParseGamepadMap;

// "pad->target" pairs of the mapped pad buttons.
std::string Table(const GamepadMap& map) {
  std::string out;
  for (int i = 0; i < base::kPadButtons; ++i)
    if (map.target[i] != kNoButton)
      out += std::to_string(i) + "->" + std::to_string(map.target[i]) + " ";
  return out;
}

TEST(GamepadMap, ButtonLinesReplaceTheDefaultTable) {
  std::vector<std::string> errors;
  GamepadMap map = ParseGamepadMap(
      "# my pad\n3 a\r\n  2   X\n9 START\n12 up\n13 DownLeft\n255 Select\ndeadzone 12000\n",
      &errors);
  EXPECT_TRUE(errors.empty()) << errors[0];
  EXPECT_EQ(Table(map), "2->14 3->12 9->8 12->0 13->3 255->9 ");
  EXPECT_EQ(map.dead_zone, 12000);

  // A dead zone alone, or no line at all, keeps the default buttons (A, X, Y, Start).
  map = ParseGamepadMap("deadzone 0", &errors);
  EXPECT_EQ(Table(map), "0->12 1->14 2->15 7->8 ");
  EXPECT_EQ(map.dead_zone, 0);
  map = ParseGamepadMap("# nothing but a comment\n\n", &errors);
  EXPECT_TRUE(Table(map) == Table(base::DefaultGamepadMap()) && map.dead_zone == 8000);
  EXPECT_TRUE(errors.empty());
}

TEST(GamepadMap, BadLinesAreReportedAndSkipped) {
  std::vector<std::string> errors;
  GamepadMap map = ParseGamepadMap(
      "1 A\n2 Q\n256 X\nx Y\n1 X\n4 Y extra\ndeadzone 40000\ndeadzone\n5 Y\n", &errors);
  EXPECT_EQ(Table(map), "1->12 5->15 ");
  EXPECT_EQ(map.dead_zone, 8000);
  ASSERT_EQ(errors.size(), 7u);
  EXPECT_EQ(errors[0].rfind("line 2: unknown button name 'Q'", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1], "line 3: the pad button '256' is not a number from 0 to 255");
  EXPECT_EQ(errors[2], "line 4: the pad button 'x' is not a number from 0 to 255");
  EXPECT_EQ(errors[3], "line 5: pad button 1 is mapped twice");
  EXPECT_EQ(errors[4].rfind("line 6: expected two words", 0), 0u) << errors[4];
  EXPECT_EQ(errors[5], "line 7: the dead zone '40000' is not a number from 0 to 32767");
  EXPECT_EQ(errors[6].rfind("line 8: expected two words", 0), 0u) << errors[6];
}

TEST(GamepadMap, MessagesNeverCarryControlBytes) {
  std::vector<std::string> errors;
  ParseGamepadMap(std::string("1 \x1b[2J\x01", 7), &errors);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].find('\x1b'), std::string::npos);
  EXPECT_NE(errors[0].find("'?[2J?'"), std::string::npos) << errors[0];
}

}  // namespace
