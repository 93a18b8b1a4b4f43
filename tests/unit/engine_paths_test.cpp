// Path builders at their length limit, WriteLog and the command line (the
// directories themselves are used by every game test).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "base/log.h"
#include "base/paths.h"
#include "runtime/system.h"
#include "tests/unit/scratch_dir.h"

namespace {

using namespace base;
using namespace runtime;

class PathsTest : public ::testing::Test {
 protected:
  test_support::ScratchDir scratch_{"lunashot-paths"};
  std::string dir_ = scratch_.path();
};

TEST_F(PathsTest, OverlongPathsAreRefusedWithoutTouchingTheBuffer) {
  GetScriptPath("keep");
  std::string before = WorkPath;
  std::string name(255 - std::strlen(ScriptDir), 'n');
  ASSERT_NE(GetScriptPath(name.c_str()), nullptr);  // exactly 255 characters fit
  GetScriptPath("keep");
  EXPECT_EQ(GetScriptPath((name + "x").c_str()), nullptr);
  EXPECT_EQ(std::string(WorkPath), before);
  EXPECT_EQ(std::string(ScriptGetScriptPath(nullptr)), dir_ + "/script/");
}

TEST_F(PathsTest, WriteLogAppendsMessageSpaceLineFeedOrDropsItWithoutAScriptDirectory) {
  WriteLog("lost");  // no script/ here: nothing to open, nothing to crash
  EXPECT_NE(access("script/log.txt", F_OK), 0);
  ASSERT_EQ(mkdir("script", 0700), 0);
  WriteLog("abc");
  WriteLog("def");
  std::vector<std::uint8_t> log = scratch_.Read("script/log.txt");
  EXPECT_EQ(std::string(log.begin(), log.end()), "abc \ndef \n");
}

struct Parsed {
  bool ok;
  Options options;
  std::string message;
  int status = -1;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "lunashot");
  Parsed p;
  p.ok = ParseOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), &p.options,
                      &p.message, &p.status);
  return p;
}

TEST(OptionsTest, AcceptsEveryOptionAndRejectsBadArgumentsWithAMessage) {
  Parsed p = Parse({"--headless", "--max-frames", "60", "--record-frames", "out", "--scale", "3",
                    "--fullscreen", "--input", "keys.txt", "games/demo"});
  ASSERT_TRUE(p.ok) << p.message;
  const Options& o = p.options;
  EXPECT_TRUE(o.headless && o.fullscreen && o.max_frames == 60u && o.scale == 3);
  EXPECT_TRUE(o.record_dir == "out" && o.input_file == "keys.txt" && o.game_dir == "games/demo");
  for (auto args : {std::vector<const char*>{"--max-frames"},
                    {"--max-frames", "-3"},
                    {"--max-frames", "ten"},
                    {"--scale", "0"},
                    {"--scale", "99"},
                    {"--bogus"},
                    {"a", "b"}}) {
    Parsed bad = Parse(args);
    EXPECT_FALSE(bad.ok) << args[0];
    EXPECT_EQ(bad.status, 2) << args[0];
    EXPECT_NE(bad.message.find("lunashot"), std::string::npos);
  }
  Parsed help = Parse({"--help"});
  EXPECT_TRUE(!help.ok && help.status == 0);
  EXPECT_NE(help.message.find("--record-frames"), std::string::npos);
}

}  // namespace
