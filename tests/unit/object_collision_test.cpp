// Collision checks (CheckEnemy, CheckEBullet, SetDamage) and the geometry
// queries: touch and rectangle numbers, report order, removals, callbacks
// that clear everything, positions through parents, and the coarse
// arctangent with its tangent table.
#include <climits>

#include "object/collision.h"
#include "object/geometry.h"
#include "object_test_util.h"

namespace object_test {
namespace {

using object::Instance;

class CollisionTest : public ObjectTest {
 protected:
  void SetUp() override {
    ObjectTest::SetUp();
    EXPECT_EQ(Run("S3 = NewObject() S3:SetAnimSize(1) S3.size = 3\n"
                  "S4 = NewObject() S4:SetAnimSize(1) S4.size = 4\n"
                  "S0 = NewObject() S0:SetAnimSize(1)\n"
                  "function seen(i) note(i.state) end\n"
                  "function mk(add, kind, x, y, s) local i = add(kind, nil, x, y, 0, 0, 0, 10)"
                  " i.state = s return i end"),
              "");
  }
};

TEST_F(CollisionTest, CheckEnemyReportsEveryTouchingEnemyInListOrder) {
  EXPECT_EQ(Run("who = mk(AddLayer0, S3, 100, 100, 0)\n"
                "mk(AddEnemy1, S4, 104, 102, 1)\n"  // distance^2 20 < 25
                "mk(AddEnemy0, S4, 103, 104, 2)\n"  // 25: not reported
                "mk(AddEnemy0, S4, 97, 100, 3)\n"
                "d = mk(AddEnemy0, S4, 100, 104, 4) Dispose(d)\n"  // disposed, still reported
                "mk(AddEnemy0, S0, 100, 100, 5)\n"  // 0 < 9 + 0
                "CheckEnemy(who, 'seen') CheckEnemy(nil, 'seen')"),
            "");
  EXPECT_EQ(Str("log"), "5 4 3 1 ");
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 3u);  // d was removed
  EXPECT_TRUE(HasError("CheckEnemy(who, nil)", "CheckEnemy: no function name"));
  EXPECT_EQ(Run("log = '' z = mk(AddLayer0, S0, 100, 100, 0) CheckEnemy(z, 'seen')"), "");
  EXPECT_EQ(Str("log"), "3 ");  // size 0 against size 0 never touches, even at one point
}

TEST_F(CollisionTest, CheckEBulletTakesTheNewestTouchingBulletOnly) {
  EXPECT_EQ(Run("function took(b) note('took' .. b.state) end\n"
                "function bye(b) note('bye' .. b.state) end\n"
                "who = mk(AddLayer0, S3, 0, 0, 0)\n"
                "b1 = mk(AddEBullet, S3, 1, 1, 1) SetDisposer(b1, 'bye')\n"
                "b2 = mk(AddEBullet, S3, 2, 0, 2) SetDisposer(b2, 'bye')\n"
                "far = mk(AddEBullet, S3, 90, 0, 3) Dispose(far)\n"  // newest, disposed
                "CheckEBullet(who, 'took')"),
            "");
  // far (not touching, disposed) is removed on the way; b2 is taken without
  // disposal; b1 behind it is not looked at.
  EXPECT_EQ(Str("log"), "took2 ");
  EXPECT_EQ(object::ListContents(object::kEBullet), (std::vector<Instance*>{Inst("b1")}));
  EXPECT_FALSE(Inst("b2")->disposed);
  EXPECT_EQ(object::PoolContents().back(), Inst("b2"));
  EXPECT_EQ(Run("CheckEBullet(who, 'took') CheckEBullet(who, 'took') CheckEBullet(nil, 'took')"),
            "");
  EXPECT_EQ(Str("log"), "took2 took1 ");
  EXPECT_TRUE(HasError("CheckEBullet(who, nil)", "CheckEBullet: no function name"));
}

TEST_F(CollisionTest, CheckEBulletCallbackErrorLeavesTheBulletListed) {
  EXPECT_EQ(Run("function bad(b) error('no way') end\n"
                "function spawn(b) local n = mk(AddEBullet, S3, 0, 0, 9) Dispose(b) end\n"
                "who = mk(AddLayer0, S3, 0, 0, 0) b = mk(AddEBullet, S3, 0, 0, 1)"),
            "");
  EXPECT_TRUE(HasError("CheckEBullet(who, 'bad')", "no way"));
  EXPECT_EQ(object::ListContents(object::kEBullet), (std::vector<Instance*>{Inst("b")}));
  // A bullet spawned by the callback is not looked at by the same call.
  EXPECT_EQ(Run("CheckEBullet(who, 'spawn')"), "");
  ASSERT_EQ(object::ListContents(object::kEBullet).size(), 1u);
  EXPECT_EQ(object::ListContents(object::kEBullet)[0]->state, 9);
}

TEST_F(CollisionTest, SetDamageWithTheScreenRectangle) {
  EXPECT_EQ(Run("function damage(e) note(e.state) end\n"
                "mk(AddEnemy0, S0, 0, 100, 1)\n"     // on the left edge: no
                "mk(AddEnemy0, S0, 1, 1, 2)\n"       // inside
                "mk(AddEnemy0, S3, -2, 100, 3)\n"    // r = 3 beside the left side
                "mk(AddEnemy0, S3, -3, 100, 4)\n"    // at x - r: no
                "mk(AddEnemy0, S3, 160, 242, 5)\n"   // below the bottom, within r
                "mk(AddEnemy1, S3, 322, 242, 6)\n"   // corner: 4 + 4 < 9
                "mk(AddEnemy1, S3, 322, 243, 7)\n"   // corner: 4 + 9, no
                "mk(AddEnemy1, S3, -2, -2, 8)\n"     // top-left corner: 4 + 4 < 9
                "mk(AddEnemy1, S0, 319, 239, 9)\n"
                "mk(AddEnemy1, S0, 320, 120, 10)\n"  // on the right edge: no
                "SetDamage(0, 0, 320, 240)"),
            "");
  EXPECT_EQ(Str("log"), "5 3 2 9 8 6 ");
  // A negative width accepts nothing without a size.
  EXPECT_EQ(Run("log = '' SetDamage(320, 0, -320, 240)"), "");
  EXPECT_EQ(Str("log"), "");
}

TEST_F(CollisionTest, RectangleTestNumbers) {
  using object::MeetsRectangle;
  EXPECT_TRUE(MeetsRectangle(5, 5, 0, 0, 0, 10, 10));
  EXPECT_FALSE(MeetsRectangle(10, 5, 0, 0, 0, 10, 10));
  EXPECT_TRUE(MeetsRectangle(12, 5, 3, 0, 0, 10, 10));   // widened sideways
  EXPECT_FALSE(MeetsRectangle(12, 0, 3, 0, 0, 10, 10));  // not at the top edge itself
  EXPECT_TRUE(MeetsRectangle(5, -2, 3, 0, 0, 10, 10));   // lengthened upwards
  EXPECT_TRUE(MeetsRectangle(11, -1, 2, 0, 0, 10, 10));  // corner (10, 0): 1 + 1 < 4
  EXPECT_FALSE(MeetsRectangle(12, -1, 2, 0, 0, 10, 10)); // 4 + 1
  // Left of x and below y+h: the left edge and the bottom edge count.
  EXPECT_TRUE(MeetsRectangle(-1, 11, 2, 0, 0, 10, 10));
  EXPECT_FALSE(MeetsRectangle(-2, 11, 2, 0, 0, 10, 10));
}

TEST_F(CollisionTest, ClearInstanceFromACheckCallbackEndsTheCheck) {
  EXPECT_EQ(Run("function wipe(i) note(i.state) ClearInstance() mk(AddEnemy0, S4, 0, 0, 9) end\n"
                "function damage(e) wipe(e) end\n"
                "who = mk(AddLayer0, S3, 0, 0, 0)\n"
                "mk(AddEnemy1, S4, 0, 0, 3) mk(AddEnemy0, S4, 0, 0, 2) mk(AddEnemy0, S4, 0, 0, 1)\n"
                "CheckEnemy(who, 'wipe')"),
            "");
  EXPECT_EQ(Str("log"), "1 ");
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 1u);
  EXPECT_EQ(Run("mk(AddEnemy1, S4, 0, 0, 4) SetDamage(-10, -10, 20, 20)"), "");
  EXPECT_EQ(Str("log"), "1 9 ");
  EXPECT_EQ(Run("who = mk(AddLayer0, S3, 0, 0, 0)\n"
                "mk(AddEBullet, S4, 0, 0, 6) mk(AddEBullet, S4, 0, 0, 5)\n"
                "CheckEBullet(who, 'wipe')"),
            "");
  EXPECT_EQ(Str("log"), "1 9 5 ");
  // The instance spawned by the callback is the only one listed.
  EXPECT_EQ(object::PoolFree(), object::kPoolSize - 1);
}

TEST_F(CollisionTest, PositionsThroughTheParentChain) {
  EXPECT_EQ(Run("assert(GetX(nil) == 160 and GetY(nil) == 120)\n"
                "p = AddLayer0(K, nil, 100, 100, 0, 0, 0, 10)\n"
                "c = AddLayer0(K, nil, 10, -5, 0, 0, 0, 10) SetParent(c, p)\n"
                "g = AddLayer0(K, nil, 1, 1, 0, 0, 0, 10) SetParent(g, c)\n"
                "assert(GetX(c) == 110 and GetY(c) == 95 and GetX(g) == 111 and GetY(g) == 96)\n"
                "SetX(c, 0) assert(GetX(c) == 100)\n"
                "SetY(c, -100) assert(GetY(g) == 1)\n"
                "SetX(nil, 5) SetY(nil, 5)\n"
                "a = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10) b = AddLayer0(K, nil, 3, 4, 0, 0, 0, 10)\n"
                "assert(GetDist(a, b) == 25 and GetDist(nil, a) == 99999 and GetDist(a, nil) == 99999)\n"
                "assert(GetDestDist(b, 0, 0) == 25 and GetDestDist(nil, 0, 0) == 99999)\n"
                "assert(GetDir(a, b) == GetDestDir(a, 3, 4) and GetDir(nil, b) == 30)\n"
                "assert(GetDir(a, nil) == 30 and GetDestDir(nil, 0, 0) == 30)"),
            "");
  // The integer part is the upper 16 bits read as signed: -0.5 is pixel -1.
  Instance* a = Inst("a");
  a->x = -32768;
  EXPECT_EQ(object::GetX(a), -1);
  a->x = static_cast<base::FIXED>(0x80000000u);  // integer part 32768 reads as -32768
  EXPECT_EQ(object::GetX(a), -32768);
}

TEST_F(CollisionTest, GetDestDirTable) {
  EXPECT_EQ(Run("o = AddLayer0(K, nil, 100, 100, 0, 0, 0, 10)"), "");
  Instance* o = Inst("o");
  struct Case { int x, y, dir; } cases[] = {
      {110, 110, 14}, {110, 100, 120}, {90, 100, 60},  {100, 110, 30}, {100, 90, 90},
      {100, 100, 90}, {110, 90, 106},  {90, 110, 46},  {90, 90, 74},   {120, 110, 8},
      {110, 120, 21}, {101, 200, 30},  {101, 0, 90},   {99, 200, 30},  {200, 101, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(object::GetDestDir(o, c.x, c.y), c.dir) << c.x << "," << c.y;
}

TEST_F(CollisionTest, TangentIndexAndDirectionOfLargeOffsets) {
  using object::TangentIndex;
  EXPECT_EQ(base::TanTable[15], 64);
  EXPECT_EQ(TangentIndex(1), 0);
  EXPECT_EQ(TangentIndex(3), 0);
  EXPECT_EQ(TangentIndex(4), 1);
  EXPECT_EQ(TangentIndex(7), 2);
  EXPECT_EQ(TangentIndex(64), 14);  // equal to T[15]: the entry before
  EXPECT_EQ(TangentIndex(65), 15);
  EXPECT_EQ(TangentIndex(1000), 28);
  EXPECT_EQ(TangentIndex(1221), 28);
  EXPECT_EQ(TangentIndex(1222), 30);
  for (int r = 1; r <= 1300; ++r) {
    int i = TangentIndex(r);
    if (i < 30) {
      EXPECT_LT(base::TanTable[i], r);
      EXPECT_GE(base::TanTable[i + 1], r);
    }
  }
  // Offsets whose product or quotient leaves 32 bits must not trap.
  EXPECT_EQ(object::DirectionOf(-1, -33554432), 60 + 30);
  EXPECT_EQ(object::DirectionOf(INT_MIN, 5), 60);
  EXPECT_GE(object::DirectionOf(1, INT_MIN), 0);
  EXPECT_LE(object::DirectionOf(-1, INT_MAX), 120);
}

}  // namespace
}  // namespace object_test
