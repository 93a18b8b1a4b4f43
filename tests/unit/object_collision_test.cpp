// Collision checks (CheckEnemy, CheckEBullet, SetDamage) and the geometry
// queries: touch and rectangle numbers, report order, removals, callbacks
// that clear everything, positions through parents, and the coarse
// arctangent with its tangent table.
#include <climits>

#include "object/collision.h"
#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace object;

class CollisionTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    LuaFixture::SetUp();
    Ok("S3 = NewObject() S3:SetAnimSize(1) S3.size = 3\n"
       "S4 = NewObject() S4:SetAnimSize(1) S4.size = 4 S0 = NewObject() S0:SetAnimSize(1)\n"
       "function seen(i) note(i.state) end");
  }
};

TEST_F(CollisionTest, CheckEnemyReportsEveryTouchingEnemyInListOrder) {
  Ok("who = mk(AddLayer0, S3, 100, 100, 0)\n"
     "mk(AddEnemy1, S4, 104, 102, 1)\n"  // distance^2 20 < 25
     "mk(AddEnemy0, S4, 103, 104, 2)\n"  // 25: not reported
     "mk(AddEnemy0, S4, 97, 100, 3)\n"
     "d = mk(AddEnemy0, S4, 100, 104, 4) Dispose(d)\n"  // disposed, still reported
     "mk(AddEnemy0, S0, 100, 100, 5)\n"                 // 0 < 9 + 0
     "CheckEnemy(who, 'seen') CheckEnemy(nil, 'seen')");
  EXPECT_EQ(Log(), "5 4 3 1 ");
  EXPECT_EQ(ListContents(kEnemy0).size(), 3u);  // d was removed
  EXPECT_TRUE(HasError("CheckEnemy(who, nil)", "CheckEnemy: no function name"));
  Ok("log = '' z = mk(AddLayer0, S0, 100, 100, 0) CheckEnemy(z, 'seen')");
  EXPECT_EQ(Log(), "3 ");  // size 0 against size 0 never touches, even at one point
}

TEST_F(CollisionTest, CheckEBulletTakesTheNewestTouchingBulletOnly) {
  Ok("function took(b) note('took' .. b.state) end function bye(b) note('bye' .. b.state) end\n"
     "who = mk(AddLayer0, S3, 0, 0, 0)\n"
     "b1 = mk(AddEBullet, S3, 1, 1, 1) SetDisposer(b1, 'bye')\n"
     "b2 = mk(AddEBullet, S3, 2, 0, 2) SetDisposer(b2, 'bye')\n"
     "far = mk(AddEBullet, S3, 90, 0, 3) Dispose(far)\n"  // newest, disposed
     "CheckEBullet(who, 'took')");
  // far (not touching, disposed) is removed on the way; b2 is taken without
  // disposal; b1 behind it is not looked at.
  EXPECT_EQ(Log(), "took2 ");
  EXPECT_EQ(ListContents(kEBullet), Insts({"b1"}));
  EXPECT_FALSE(Inst("b2")->disposed);
  EXPECT_EQ(PoolContents().back(), Inst("b2"));
  Ok("CheckEBullet(who, 'took') CheckEBullet(who, 'took') CheckEBullet(nil, 'took')");
  EXPECT_EQ(Log(), "took2 took1 ");
  EXPECT_TRUE(HasError("CheckEBullet(who, nil)", "CheckEBullet: no function name"));
  // An error in the callback leaves the bullet listed; a bullet the callback
  // spawns is not looked at by the same call.
  Ok("function bad(b) error('no way') end b = mk(AddEBullet, S3, 0, 0, 1)\n"
     "function spawn(b) local n = mk(AddEBullet, S3, 0, 0, 9) Dispose(b) end");
  EXPECT_TRUE(HasError("CheckEBullet(who, 'bad')", "no way"));
  EXPECT_EQ(ListContents(kEBullet), Insts({"b"}));
  Ok("CheckEBullet(who, 'spawn')");
  ASSERT_EQ(ListContents(kEBullet).size(), 1u);
  EXPECT_EQ(ListContents(kEBullet)[0]->state, 9);
}

TEST_F(CollisionTest, SetDamageWithTheScreenRectangleAndClearInstanceFromChecks) {
  Ok("function damage(e) note(e.state) end\n"
     "mk(AddEnemy0, S0, 0, 100, 1)\n"    // on the left edge: no
     "mk(AddEnemy0, S0, 1, 1, 2)\n"      // inside
     "mk(AddEnemy0, S3, -2, 100, 3)\n"   // r = 3 beside the left side
     "mk(AddEnemy0, S3, -3, 100, 4)\n"   // at x - r: no
     "mk(AddEnemy0, S3, 160, 242, 5)\n"  // below the bottom, within r
     "mk(AddEnemy1, S3, 322, 242, 6)\n"  // corner: 4 + 4 < 9
     "mk(AddEnemy1, S3, 322, 243, 7)\n"  // corner: 4 + 9, no
     "mk(AddEnemy1, S3, -2, -2, 8)\n"    // top-left corner: 4 + 4 < 9
     "mk(AddEnemy1, S0, 319, 239, 9)\n"
     "mk(AddEnemy1, S0, 320, 120, 10)\n"  // on the right edge: no
     "SetDamage(0, 0, 320, 240)");
  EXPECT_EQ(Log(), "5 3 2 9 8 6 ");
  // A negative width accepts nothing without a size.
  Ok("log = '' SetDamage(320, 0, -320, 240)");
  EXPECT_EQ(Log(), "");
  // x, y, size against the rectangle (0, 0, 10, 10): the left and bottom
  // edges count, the top and right ones do not; corners are round.
  struct Case {
    int x, y, r;
    bool meets;
  } cases[] = {{5, 5, 0, true},    {10, 5, 0, false}, {12, 5, 3, true},
               {12, 0, 3, false},  {5, -2, 3, true},  {11, -1, 2, true},
               {12, -1, 2, false}, {-1, 11, 2, true}, {-2, 11, 2, false}};
  for (const Case& c : cases)
    EXPECT_EQ(MeetsRectangle(c.x, c.y, c.r, 0, 0, 10, 10), c.meets) << c.x << "," << c.y;
  Ok("ClearInstance() log = ''\n"
     "function wipe(i) note(i.state) ClearInstance() mk(AddEnemy0, S4, 0, 0, 9) end\n"
     "function damage(e) wipe(e) end who = mk(AddLayer0, S3, 0, 0, 0)\n"
     "mk(AddEnemy1, S4, 0, 0, 3) mk(AddEnemy0, S4, 0, 0, 2) mk(AddEnemy0, S4, 0, 0, 1)\n"
     "CheckEnemy(who, 'wipe') assert(log == '1 ')\n"
     "mk(AddEnemy1, S4, 0, 0, 4) SetDamage(-10, -10, 20, 20) assert(log == '1 9 ')\n"
     "who = mk(AddLayer0, S3, 0, 0, 0) mk(AddEBullet, S4, 0, 0, 6) mk(AddEBullet, S4, 0, 0, 5)\n"
     "CheckEBullet(who, 'wipe')");
  EXPECT_EQ(Log(), "1 9 5 ");
  // The instance spawned by the callback is the only one listed.
  EXPECT_EQ(PoolFree(), kPoolSize - 1);
}

TEST_F(CollisionTest, PositionsThroughTheParentChain) {
  Ok("assert(GetX(nil) == 160 and GetY(nil) == 120)\n"
     "p = mk(AddLayer0, K, 100, 100) c = mk(AddLayer0, K, 10, -5) SetParent(c, p)\n"
     "g = mk(AddLayer0, K, 1, 1) SetParent(g, c)\n"
     "assert(GetX(c) == 110 and GetY(c) == 95 and GetX(g) == 111 and GetY(g) == 96)\n"
     "SetX(c, 0) assert(GetX(c) == 100) SetY(c, -100) assert(GetY(g) == 1)\n"
     "SetX(nil, 5) SetY(nil, 5) a = mk(AddLayer0) b = mk(AddLayer0, K, 3, 4)\n"
     "assert(GetDist(a, b) == 25 and GetDist(nil, a) == 99999 and GetDist(a, nil) == 99999)\n"
     "assert(GetDestDist(b, 0, 0) == 25 and GetDestDist(nil, 0, 0) == 99999)\n"
     "assert(GetDir(a, b) == GetDestDir(a, 3, 4) and GetDir(nil, b) == 30)\n"
     "assert(GetDir(a, nil) == 30 and GetDestDir(nil, 0, 0) == 30)");
  // The integer part is the upper 16 bits read as signed: -0.5 is pixel -1.
  Instance* a = Inst("a");
  a->x = -32768;
  EXPECT_EQ(GetX(a), -1);
  a->x = static_cast<base::FIXED>(0x80000000u);  // integer part 32768 reads as -32768
  EXPECT_EQ(GetX(a), -32768);
}

TEST_F(CollisionTest, GetDestDirTableTangentIndexAndLargeOffsets) {
  Instance* o = Inst("mk(AddLayer0, K, 100, 100)");
  struct Case {
    int x, y, dir;
  } cases[] = {
      {110, 110, 14}, {110, 100, 120}, {90, 100, 60}, {100, 110, 30}, {100, 90, 90},
      {100, 100, 90}, {110, 90, 106},  {90, 110, 46}, {90, 90, 74},   {120, 110, 8},
      {110, 120, 21}, {101, 200, 30},  {101, 0, 90},  {99, 200, 30},  {200, 101, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GetDestDir(o, c.x, c.y), c.dir) << c.x << "," << c.y;
  EXPECT_EQ(base::TanTable[15], 64);
  const int ratios[][2] = {
      {1, 0},   {3, 0},     {4, 1},     {7, 2},    {64, 14},
      {65, 15}, {1000, 28}, {1221, 28}, {1222, 30}};  // 64 is T[15]: the entry before
  for (auto& r : ratios) EXPECT_EQ(TangentIndex(r[0]), r[1]) << r[0];
  for (int r = 1; r <= 1300; ++r) {
    int i = TangentIndex(r);
    if (i < 30) EXPECT_TRUE(base::TanTable[i] < r && base::TanTable[i + 1] >= r) << r;
  }
  // Offsets whose product or quotient leaves 32 bits must not trap.
  EXPECT_EQ(DirectionOf(-1, -33554432), 60 + 30);
  EXPECT_EQ(DirectionOf(INT_MIN, 5), 60);
  EXPECT_GE(DirectionOf(1, INT_MIN), 0);
  EXPECT_LE(DirectionOf(-1, INT_MAX), 120);
}

}  // namespace
