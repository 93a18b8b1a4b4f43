// Input files: gamepad.txt (the default table, a file that replaces it, bad lines reported and
// skipped); the --input file's grammar, errors naming the bad line. The scripted backend following
// the count of Update calls and the queries scripts make: the rows game test.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/input_script.h"
#include "platform/gamepad_map.h"

namespace {

using platform::GamepadMap;
using base::InputStep;
using platform::kNoButton;
using platform::ParseGamepadMap;
using base::ParseInputScript;

// The steps of an --input text as "update:buttons " pairs, or its error.
std::string Steps(const std::string& text) {
  std::vector<InputStep> steps;
  std::string out;
  if (!ParseInputScript(text, &steps, &out)) return out;
  for (const InputStep& st : steps)
    out += std::to_string(st.from_update) + ":" + std::to_string(st.buttons) + " ";
  return out;
}

// Comments, blanks and carriage returns are skipped; an error names the first bad line.
TEST(InputScript, ReadsStepsOrNamesTheFirstBadLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"# a test play\n\n0 -\r\n   # indented comment\n3 12,14\n\t7\t0, 2 ,31 \n4294967295 -",
       "0:0 3:20480 7:2147483653 4294967295:0 "},
      {"", ""},
      {"\n\n# only comments\n", ""},
      {"0 -\nup 1\n", "line 2: expected an Update count, found 'u'"},
      {"# x\n\n3\n", "line 3: expected a blank after the Update count, found the end of the line"},
      {"1 32", "line 1: a button index is larger than 31"},
      {"1 1,", "line 1: expected a button index, found the end of the line"},
      {"1 1 2", "line 1: unexpected text after the buttons, found '2'"},
      {"1 -x", "line 1: unexpected text after the buttons, found 'x'"},
      {"1 ", "line 1: expected a button index, found the end of the line"},
      {"4294967296 1", "line 1: an Update count is larger than 4294967295"},
      {"-1 2", "line 1: expected an Update count, found '-'"},
      {std::string("1 2\n2 3\0", 8), "line 2: unexpected text after the buttons, found byte 0"},
      {"5 1\n5 2", "line 2: Update count 5 does not rise above the previous line's 5"},
      {"5 1\n# c\n4 2", "line 3: Update count 4 does not rise above the previous line's 5"},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(Steps(text), want) << text;
}

// "pad->target" pairs of the mapped raw pad buttons, then the dead zone; then
// the buttons by place and the layout lines when the file gave any.
std::string Table(const GamepadMap& map) {
  std::string out;
  for (int i = 0; i < platform::kPadButtons; ++i)
    if (map.target[i] != kNoButton)
      out += std::to_string(i) + "->" + std::to_string(map.target[i]) + " ";
  out += "| " + std::to_string(map.dead_zone);
  if (!map.file_buttons && map.layouts.empty()) return out;
  for (int i = 0; i < platform::kControllerButtonCount; ++i)
    if (map.named[i] != kNoButton)
      out += std::string(" ") + platform::kControllerButtons[i] + "->" + std::to_string(map.named[i]);
  for (const GamepadMap::Layout& l : map.layouts) out += " @" + std::to_string(l.line) + ":" + l.text;
  return out;
}

TEST(GamepadMap, ButtonLinesReplaceTheDefaultTable) {
  std::vector<std::string> errors;
  GamepadMap map = ParseGamepadMap(
      "# my pad\n3 a\r\n  2   X\n9 START\n12 up\n13 DownLeft\n255 Select\ndeadzone 12000\n",
      &errors);
  EXPECT_EQ(Table(map), "2->14 3->12 9->8 12->0 13->3 255->9 | 12000");
  // A dead zone alone, or no line at all, keeps the default buttons (A, X, Y, Start).
  EXPECT_EQ(Table(ParseGamepadMap("deadzone 0", &errors)), "0->12 1->14 2->15 7->8 | 0");
  EXPECT_EQ(Table(ParseGamepadMap("# only a comment\n\n", &errors)),
            "0->12 1->14 2->15 7->8 | 8000");
  // The browser's defaults: the standard layout's face buttons and Start.
  EXPECT_EQ(Table(ParseGamepadMap("deadzone 0", &errors, platform::StandardGamepadMap())),
            "0->12 2->14 3->15 9->8 | 0");
  // Pad buttons by place join the table; a layout line is kept as written, trimmed.
  EXPECT_EQ(Table(ParseGamepadMap("b A\nLeftShoulder x\n3 Start\n"
                                  "  0300000034120000785600001001000a,My pad,a:b1,x:b0, \r\n",
                                  &errors)),
            "3->8 | 8000 b->12 leftshoulder->14 @4:0300000034120000785600001001000a,My pad,a:b1,x:b0,");
  EXPECT_TRUE(errors.empty()) << errors[0];
}

TEST(GamepadMap, BadLinesAreReportedAndSkippedWithoutTheirControlBytes) {
  std::vector<std::string> errors;
  GamepadMap map = ParseGamepadMap(
      "1 A\n2 Q\n256 X\nx! Y\n1 X\n4 Y extra\ndeadzone 40000\ndeadzone\n5 Y\n6 \x1b[2J\x01\n"
      "a,b,c\n0300000034120000785600001001000,x,a:b0\n03000000341200007856000010010000,x\n"
      "a X\nA Y",
      &errors);
  EXPECT_EQ(Table(map), "1->12 5->15 | 8000 a->14");
  ASSERT_EQ(errors.size(), 12u);
  EXPECT_EQ(errors[0].rfind("line 2: unknown button name 'Q'", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind("line 3: the pad button '256' is neither", 0), 0u) << errors[1];
  EXPECT_EQ(errors[2].rfind("line 4: the pad button 'x!' is neither a number from 0 to 255", 0), 0u)
      << errors[2];
  EXPECT_EQ(errors[3], "line 5: pad button 1 is mapped twice");
  EXPECT_EQ(errors[4].rfind("line 6: expected two words", 0), 0u) << errors[4];
  EXPECT_EQ(errors[5], "line 7: the dead zone '40000' is not a number from 0 to 32767");
  EXPECT_EQ(errors[6].rfind("line 8: expected two words", 0), 0u) << errors[6];
  EXPECT_EQ(errors[7].rfind("line 10: unknown button name '?[2J?' (", 0), 0u) << errors[7];
  for (int i = 8; i < 11; ++i)  // not 32 hex digits, 31 of them, no mapping after the name
    EXPECT_EQ(errors[i].rfind("line " + std::to_string(i + 3) + ": a pad layout line is", 0), 0u)
        << errors[i];
  EXPECT_EQ(errors[11], "line 15: pad button a is mapped twice");
}

}  // namespace
