// Path builders, the shared buffer, WriteLog and the command line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/unit/scratch_dir.h"
#include "base/error.h"
#include "base/log.h"
#include "base/paths.h"
#include "runtime/system.h"

namespace {

using namespace base;
using namespace runtime;

// Runs each test in a fresh temporary working directory.
class PathsTest : public ::testing::Test {
 protected:
  test_support::ScratchDir scratch_{"lunashot-paths"};
  std::string dir_ = scratch_.path();
};

TEST_F(PathsTest, DirectoriesComeFromTheWorkingDirectory) {
  EXPECT_EQ(std::string(WorkPath), dir_ + "/");
  EXPECT_EQ(std::string(SpriteDir), dir_ + "/sprite/");
  EXPECT_EQ(std::string(ScriptDir), dir_ + "/script/");
  EXPECT_EQ(std::string(SoundDir), dir_ + "/sound/");
  EXPECT_EQ(std::string(ReplayDir), dir_ + "/replay/");
  EXPECT_EQ(std::string(GetSpritePath("a.spr")), dir_ + "/sprite/a.spr");
  EXPECT_EQ(std::string(GetSoundPath("fx/boom.wav")), dir_ + "/sound/fx/boom.wav");
}

TEST_F(PathsTest, BuildersShareOneBuffer) {
  char* first = GetScriptPath("a.lua");
  char* second = GetReplayPath("b");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, WorkPath);
  EXPECT_EQ(std::string(first), dir_ + "/replay/b");
  EXPECT_EQ(std::string(GetScriptPath("")), dir_ + "/script/");
}

TEST_F(PathsTest, OverlongPathsAreRefusedWithoutTouchingTheBuffer) {
  GetScriptPath("keep");
  std::string before = WorkPath;
  std::string name(255 - std::strlen(ScriptDir), 'n');
  ASSERT_NE(GetScriptPath(name.c_str()), nullptr);  // exactly 255 characters fit
  GetScriptPath("keep");
  name += "x";
  EXPECT_EQ(GetScriptPath(name.c_str()), nullptr);
  EXPECT_EQ(std::string(WorkPath), before);
  try {
    ScriptGetReplayPath(std::string(300, 'r').c_str());
    FAIL() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("GetReplayPath: "), std::string::npos);
  }
  EXPECT_EQ(std::string(ScriptGetScriptPath(nullptr)), dir_ + "/script/");
}

TEST_F(PathsTest, WriteLogAppendsMessageSpaceLineFeed) {
  ASSERT_EQ(system("mkdir script"), 0);
  WriteLog("abc");
  std::ifstream in(dir_ + "/script/log.txt", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_EQ(s.str(), "abc \n");
  WriteLog("def");
  std::ifstream again(dir_ + "/script/log.txt", std::ios::binary);
  std::stringstream t;
  t << again.rdbuf();
  EXPECT_EQ(t.str(), "abc \ndef \n");
}

TEST_F(PathsTest, WriteLogWithoutScriptDirectoryDropsTheMessage) {
  WriteLog("lost");  // no script/ here: nothing to open, nothing to crash
  EXPECT_NE(access("script/log.txt", F_OK), 0);
}

struct Parsed {
  bool ok;
  Options options;
  std::string message;
  int status = -1;
};

Parsed Parse(std::initializer_list<const char*> args) {
  std::vector<char*> argv{const_cast<char*>("lunashot")};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  Parsed p;
  p.ok = ParseOptions(static_cast<int>(argv.size()), argv.data(), &p.options, &p.message,
                      &p.status);
  return p;
}

TEST(OptionsTest, AcceptsEveryOption) {
  Parsed p = Parse({"--headless", "--max-frames", "60", "--record-frames", "out", "--scale", "3",
                    "--fullscreen", "--input", "keys.txt", "games/demo"});
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_TRUE(p.options.headless);
  EXPECT_EQ(p.options.max_frames, 60u);
  EXPECT_EQ(p.options.record_dir, "out");
  EXPECT_EQ(p.options.scale, 3);
  EXPECT_TRUE(p.options.fullscreen);
  EXPECT_EQ(p.options.input_file, "keys.txt");
  EXPECT_EQ(p.options.game_dir, "games/demo");
}

TEST(OptionsTest, RejectsBadArgumentsWithAMessage) {
  for (auto args : {std::vector<const char*>{"--max-frames"}, {"--max-frames", "-3"},
                    {"--max-frames", "ten"}, {"--scale", "0"}, {"--scale", "99"},
                    {"--bogus"}, {"a", "b"}}) {
    std::vector<char*> argv{const_cast<char*>("lunashot")};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    Options o;
    std::string message;
    int status = 0;
    EXPECT_FALSE(ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &message, &status));
    EXPECT_EQ(status, 2);
    EXPECT_NE(message.find("lunashot"), std::string::npos);
  }
  Parsed help = Parse({"--help"});
  EXPECT_FALSE(help.ok);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.message.find("--record-frames"), std::string::npos);
}

}  // namespace
