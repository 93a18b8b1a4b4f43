// The engine's basics: the Lua state (integer numbers, the open libraries, luabind's error texts;
// file runs and their reports are engine_alert's and replay_data's), FIXED numbers, the direction
// and tangent tables and the random helpers (engine_numbers checks them through Lua), path
// builders at their length limit, WriteLog and the command line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <luabind/luabind.hpp>

#include "base/fixed.h"
#include "base/log.h"
#include "base/paths.h"
#include "runtime/system.h"
#include "tests/unit/lua_fixture.h"
#include "tests/unit/scratch_dir.h"

namespace {

void ThrowStd() { throw std::runtime_error("disk on fire"); }
void ThrowOther() { throw 42; }

class ScriptTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    LuaFixture::SetUp();
    luabind::module(
        L)[luabind::def("ThrowStd", &ThrowStd), luabind::def("ThrowOther", &ThrowOther)];
  }
};

TEST_F(ScriptTest, NumbersAreThirtyTwoBitIntegers) {
  Ok("assert(7 / 2 == 3) assert(-7 / 2 == -3) assert(2.9 == 2) assert(-2.9 == -2)"
     "assert(tostring(7 / 2) == '3') assert(tonumber('2.9') == 2)"
     "assert(-7 % 3 == 2) assert(7 % -3 == -2)"  // Lua's floored %
     "assert(2147483647 + 1 == -2147483648)"     // wraps
     "assert(2 ^ 10 == 1024) assert(0x10 == 16) assert(string.format('%d', 5) == '5')"
     "local m, n = -2147483648, -1 assert(m / n == m) assert(m % n == 0)");
  for (const char* op : {"/", "%"})
    EXPECT_TRUE(HasError(std::string("local z = 0 local x = 1 ") + op + " z", "divide by zero"));
  // The error names the line of the division, not an earlier one.
  EXPECT_TRUE(HasError("local z = 0\nlocal a = 1\nlocal b = a / z", ":3: attempt to divide"));
}

TEST_F(ScriptTest, OnlyTheEngineLibrariesAreOpenAndClassesHaveNoConstructors) {
  Ok("assert(io and os and string and coroutine and print and require and class)"
     "assert(table and math == nil and debug == nil and package == nil)");
  for (const char* c : {"Object", "Instance", "SpriteSet"})
    EXPECT_NE(Run(std::string("local o = ") + c + "()"), "") << c;
}

TEST_F(ScriptTest, LuabindErrorTexts) {
  EXPECT_EQ(Run("Mod('x', 1)").find("no match for function call 'Mod'"), 0u);
  Ok("local ok, e = pcall(ThrowStd) assert(not ok) assert(e == 'disk on fire', e)"
     "ok, e = pcall(ThrowOther) assert(not ok) assert(e == 'ThrowOther() threw an exception', e)");
}

using namespace base;
using namespace runtime;

TEST(MathTest, DirectionAndTangentTables) {
  InitDirTable();
  const int rows[][3] = {{1, 65446, 3429},    {10, 56755, 32768},   {15, 46340, 46340},
                         {20, 32767, 56755},  {31, -3430, 65446},   {40, -32769, 56755},
                         {45, -46341, 46340}, {75, -46341, -46341}, {105, 46340, -46341},
                         {119, 65446, -3430}, {0, 65536, 0},        {30, 0, 65536},
                         {60, -65536, 0},     {90, 0, -65536}};
  for (auto& r : rows)
    EXPECT_TRUE(DirTable[r[0]].cos == r[1] && DirTable[r[0]].sin == r[2]) << "direction " << r[0];
  const int tangents[31] = {0,   3,   6,   10,  13,  17,  20,  24,   28,   32,  36,
                            41,  46,  51,  57,  64,  71,  79,  88,   98,   110, 125,
                            143, 166, 196, 238, 301, 404, 608, 1221, 65535};
  for (int i = 0; i < 31; ++i) EXPECT_EQ(TanTable[i], tangents[i]) << "entry " << i;
}

TEST(MathTest, DirectionComponentsToFixedAndMod) {
  InitDirTable();
  // GetDirX/GetDirY rounds toward minus infinity; directions count modulo 120.
  const int x[][3] = {{0, 100, 100},  {60, 100, -100}, {30, 100, 0},    {15, 100, 70},
                      {45, 100, -71}, {20, 100, 49},   {120, 100, 100}, {255, 100, 70}};
  for (auto& c : x) EXPECT_EQ(GetDirX(c[0], c[1]), c[2]) << c[0];
  const int y[][3] = {
      {30, 100, 100}, {90, 100, -100}, {10, 100, 50}, {130, 100, 50}, {255, -100, -71}};
  for (auto& c : y) EXPECT_EQ(GetDirY(c[0], c[1]), c[2]) << c[0];
  // ToFIXED combines by OR: hundredths past 99 mix into the integer bits.
  EXPECT_TRUE(ToFIXED(0, 99) == 64845 && ToFIXED(3, 0) == 196608);
  EXPECT_EQ(ToFIXED(1, 101), (1 << 16) | (101 * 655));
  EXPECT_TRUE(Mod(7, 3) == 1 && Mod(-2147483647 - 1, -1) == 0);  // the latter traps as a plain %
}

TEST(MathTest, RandomRangesAndTheCLibrarySequence) {
  SetSeed(42);
  for (int i = 0; i < 1000; ++i) {
    int v = GetRand(0, 10), w = GetRand(10, 0);  // high below low: low .. low + (low - high) - 1
    EXPECT_TRUE(v >= 0 && v <= 9 && w >= 10 && w <= 19) << v << " " << w;
  }
  GetRand(-2147483647 - 1, 2147483647);  // span wraps to -1; must not trap
  for (unsigned seed : {0u, 1u, 7u, 2026u, 4294967295u}) {
    std::srand(seed);
    SeedRandom(seed);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(NextRandom(), std::rand()) << "seed " << seed;
  }
}

class PathsTest : public ::testing::Test {
 protected:
  test_support::ScratchDir scratch_{"lunashot-paths"};
};

TEST_F(PathsTest, OverlongPathsAreRefusedWithoutTouchingTheBuffer) {
  GetScriptPath("keep");
  std::string before = WorkPath;
  std::string name(255 - std::strlen(ScriptDir), 'n');
  ASSERT_NE(GetScriptPath(name.c_str()), nullptr);  // exactly 255 characters fit
  GetScriptPath("keep");
  EXPECT_EQ(GetScriptPath((name + "x").c_str()), nullptr);
  EXPECT_EQ(std::string(WorkPath), before);
  EXPECT_EQ(std::string(ScriptGetScriptPath(nullptr)), scratch_.path() + "/script/");
}

TEST_F(PathsTest, WriteLogAppendsMessageSpaceLineFeedOrDropsItWithoutAScriptDirectory) {
  WriteLog("lost");  // no script/ here: nothing to open, nothing to crash
  EXPECT_NE(access("script/log.txt", F_OK), 0);
  ASSERT_EQ(mkdir("script", 0700), 0);
  WriteLog("abc");
  WriteLog("def");
  EXPECT_EQ(scratch_.Text("script/log.txt"), "abc \ndef \n");
  // A FIFO that nobody reads, planted as the log, drops the message instead of blocking.
  ASSERT_EQ(unlink("script/log.txt") | mkfifo("script/log.txt", 0600), 0);
  WriteLog("ghi");
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
  const std::vector<const char*> refused[] = {
      {"--max-frames"}, {"--max-frames", "-3"}, {"--max-frames", "ten"},
      {"--scale", "0"}, {"--scale", "99"},      {"--bogus"},
      {"a", "b"}};
  for (const auto& args : refused) {
    Parsed bad = Parse(args);
    EXPECT_TRUE(!bad.ok && bad.status == 2 && bad.message.find("lunashot") != bad.message.npos)
        << args[0];
  }
  Parsed help = Parse({"--help"});
  EXPECT_TRUE(!help.ok && help.status == 0 &&
              help.message.find("--record-frames") != help.message.npos);
}

}  // namespace
