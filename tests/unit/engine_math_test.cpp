// FIXED numbers, the direction and tangent tables, and the random helpers
// (the game test engine_numbers checks the same functions through Lua).
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/fixed.h"

namespace {

using namespace base;

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

}  // namespace
