// The world update: the order of the walks, what a step does when its
// updater disposes, the bullet culls at their edges, the player-bullet hit
// test, errors in callbacks, and walks that stay valid when callbacks call
// ClearInstance, run nested checks or call UpdateWorld itself.
#include "object/geometry.h"
#include "object_test_util.h"

namespace object_test {
namespace {

using object::Instance;

class WorldTest : public ObjectTest {
 protected:
  bool Listed(const char* name, object::List list) {
    Instance* i = Inst(name);
    for (Instance* j : object::ListContents(list))
      if (j == i) return true;
    return false;
  }
};

TEST_F(WorldTest, UpdaterThatDisposesStillMovesThenLeaves) {
  EXPECT_EQ(Run("function up(i) Dispose(i) end\n"
                "a = AddLayer0(K, 'up', 10, 10, 65536, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  Instance* a = Inst("a");
  EXPECT_EQ(object::GetX(a), 11);  // moved in the step that disposed it
  EXPECT_EQ(a->age, 1);
  EXPECT_FALSE(Listed("a", object::kLayer0));  // and returned in the same walk
}

TEST_F(WorldTest, SpawnDuringAWalkIsNotVisitedInThatPass) {
  EXPECT_EQ(Run("function up(i) note('up') AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) end\n"
                "AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10)\n"
                "UpdateWorld() note('|') UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "up | up up ");
}

TEST_F(WorldTest, EnemyBulletsAreCulledAtFourEdges) {
  EXPECT_EQ(Run("function bye(i) note(i.state) end\n"
                "function b(x, y, s) local i = AddEBullet(K, nil, x, y, 0, 0, 0, 10)"
                " i.state = s SetDisposer(i, 'bye') return i end\n"
                "b(160, 245, 1) b(160, 246, 2) b(-5, 100, 3) b(-6, 100, 4) b(325, 0, 5)"
                " b(326, 0, 6) b(0, -5, 7) b(0, -6, 8)\n"
                "p = AddEnemy0(K, nil, 300, 200, 0, 0, 0, 10)\n"
                "c = AddEBullet(K, nil, 26, 0, 0, 0, 0, 10) SetParent(c, p) c.state = 9 SetDisposer(c, 'bye')\n"
                "d = AddEBullet(K, nil, 25, 45, 0, 0, 0, 10) SetParent(d, p)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "9 8 6 4 2 ");  // newest first; c at absolute x 326
  EXPECT_EQ(object::ListContents(object::kEBullet).size(), 5u);  // removed in the same walk
  EXPECT_TRUE(Listed("d", object::kEBullet));                    // at (325, 245)
}

TEST_F(WorldTest, PlayerBulletsHaveNoBottomEdgeAndOthersAreNeverCulled) {
  EXPECT_EQ(Run("low = AddPBullet(K, nil, 160, 300, 0, 0, 0, 10)\n"
                "top = AddPBullet(K, nil, 160, -6, 0, 0, 0, 10)\n"
                "left = AddPBullet(K, nil, -6, 100, 0, 0, 0, 10)\n"
                "right = AddPBullet(K, nil, 326, 100, 0, 0, 0, 10)\n"
                "edge = AddPBullet(K, nil, 325, -5, 0, 0, 0, 10)\n"
                "e = AddEnemy1(K, nil, -100, 900, 0, 0, 0, 10)\n"
                "l = AddLayer3(K, nil, 1000, -1000, 0, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(object::ListContents(object::kPBullet),
            (std::vector<Instance*>{Inst("edge"), Inst("low")}));
  EXPECT_TRUE(Listed("e", object::kEnemy1));
  EXPECT_TRUE(Listed("l", object::kLayer3));
}

TEST_F(WorldTest, PlayerBulletHitsReportEveryEnemyInListOrder) {
  // Sizes 3 (bullet kind B) and 4 (enemy kind E): touching below distance 5.
  EXPECT_EQ(Run("B = NewObject() B:SetAnimSize(1) B.size = 3\n"
                "E = NewObject() E:SetAnimSize(1) E.size = 4\n"
                "function e_col(e, b) note(e.state .. ':' .. b.state) Dispose(b) Dispose(e) end\n"
                "function en(add, x, y, s) local e = add(E, nil, x, y, 0, 0, 0, 10) e.state = s end\n"
                "en(AddEnemy1, 104, 102, 1)\n"  // 20 < 25
                "en(AddEnemy0, 103, 104, 2)\n"  // 25: no touch
                "en(AddEnemy0, 100, 97, 3)\n"   // 9
                "en(AddEnemy0, 96, 100, 4)\n"   // 16
                "b = AddPBullet(B, nil, 100, 100, 0, 0, 0, 10) b.state = 7\n"
                "UpdateWorld()"),
            "");
  // Enemy0 newest first, then enemy1; the bullet goes on after being disposed.
  EXPECT_EQ(Str("log"), "4:7 3:7 1:7 ");
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 1u);  // the untouched one
  EXPECT_TRUE(object::ListContents(object::kEnemy1).empty());
  EXPECT_TRUE(object::ListContents(object::kPBullet).empty());
}

TEST_F(WorldTest, SizeZeroNeverTouchesAndChildrenHitAtAbsolutePositions) {
  EXPECT_EQ(Run("Z = NewObject() Z:SetAnimSize(1)\n"
                "function e_col(e, b) note(e.state) end\n"
                "z = AddEnemy0(Z, nil, 50, 50, 0, 0, 0, 10) z.state = 1\n"
                "AddPBullet(Z, nil, 50, 50, 0, 0, 0, 10)\n"
                // K has size 2: bound 8. A child of an enemy at offset 10
                // from a parent at (0, 0) touches a bullet at (12, 0).
                "p = AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "c = AddEnemy1(K, nil, 10, 0, 0, 0, 0, 10) SetParent(c, p) c.state = 2\n"
                "AddPBullet(K, nil, 12, 0, 0, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "2 ");
}

TEST_F(WorldTest, ErrorInACallbackStopsTheUpdateWithListsConsistent) {
  EXPECT_EQ(Run("function up(i) Dispose(i) end\n"
                "function boom(i) error('updater failed') end\n"
                "a = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10)\n"   // stepped second
                "b = AddEnemy0(K, 'boom', 0, 0, 0, 0, 0, 10)\n" // stepped first
                "c = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10)\n"),
            "");
  EXPECT_TRUE(HasError("UpdateWorld()", "updater failed"));
  EXPECT_FALSE(Inst("a")->disposed);  // the walk stopped before it
  EXPECT_FALSE(Inst("c")->disposed);
  // Without a global e_col, a hit is an error in the calling script.
  EXPECT_EQ(Run("function boom(i) Dispose(i) end\n"
                "AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10) AddPBullet(K, nil, 0, 0, 0, 0, 0, 10)"),
            "");
  EXPECT_TRUE(HasError("UpdateWorld()", "attempt to call a nil value"));
  EXPECT_TRUE(Inst("a")->disposed);
  EXPECT_FALSE(Listed("b", object::kEnemy0));  // the removals before the error are complete
  EXPECT_EQ(object::PoolFree() + 3, object::kPoolSize);
  EXPECT_EQ(Run("function e_col() end UpdateWorld() UpdateWorld()"), "");
  EXPECT_EQ(object::PoolFree() + 2, object::kPoolSize);  // the enemy and the bullet
}

// ClearInstance from a callback: the walk in progress ends when the
// callback returns; later walks see only what was spawned since.
TEST_F(WorldTest, ClearInstanceFromAnUpdaterEndsTheWalk) {
  EXPECT_EQ(Run("function up(i) note('up' .. i.state) end\n"
                "function clear(i) note('clear') ClearInstance()\n"
                "  local e = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) e.state = 5\n"
                "  local l = AddLayer1(K, 'up', 0, 0, 0, 0, 0, 10) l.state = 6 end\n"
                "a = AddEnemy0(K, 'up', 0, 0, 65536, 0, 0, 10) a.state = 1\n"
                "b = AddEnemy0(K, 'clear', 0, 0, 65536, 0, 0, 10)\n"
                "c = AddEnemy1(K, 'up', 0, 0, 0, 0, 0, 10) c.state = 3\n"
                "AddLayer1(K, 'up', 0, 0, 0, 0, 0, 10).state = 4\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "clear up6 ");
  EXPECT_EQ(object::GetX(Inst("b")), 0);  // not moved after going back to the pool
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 1u);
  EXPECT_EQ(object::PoolFree(), object::kPoolSize - 2);
  EXPECT_EQ(Run("UpdateWorld()"), "");
  EXPECT_EQ(Str("log"), "clear up6 up5 up6 ");
}

TEST_F(WorldTest, ClearInstanceFromHitAndCullCallbacks) {
  EXPECT_EQ(Run("function e_col(e, b) note('hit' .. e.state) ClearInstance() end\n"
                "function bye(i) note('bye') ClearInstance() end\n"
                "AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10).state = 2\n"
                "AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10).state = 1\n"
                "function up(i) note('up') end\n"
                "AddPBullet(K, 'up', 0, 0, 0, 0, 0, 10)\n"
                "AddPBullet(K, 'up', 0, 0, 0, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "up hit1 ");  // one report, then every walk ended
  EXPECT_EQ(object::PoolFree(), object::kPoolSize);
  EXPECT_EQ(Run("log = ''\n"
                "local o = AddEBullet(K, nil, 400, 0, 0, 0, 0, 10) SetDisposer(o, 'bye')\n"
                "AddEBullet(K, 'up', 400, 0, 0, 0, 0, 10)\n"
                "AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "up bye ");
  EXPECT_EQ(object::PoolFree(), object::kPoolSize);
}

TEST_F(WorldTest, NestedChecksThatRemoveTheCurrentOrNextElement) {
  // The first enemy's updater disposes itself and the one behind it, then
  // SetDamage walks the same list and returns both to the pool.
  EXPECT_EQ(Run("function damage(e) end\n"
                "function up(i) note(i.state) end\n"
                "function bomb(i) note('bomb') Dispose(i) Dispose(second) SetDamage(-1000, -1000, 1, 1) end\n"
                "third = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) third.state = 3\n"
                "second = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) second.state = 2\n"
                "first = AddEnemy0(K, 'bomb', 0, 0, 65536, 0, 0, 10)\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "bomb 3 ");
  EXPECT_EQ(object::ListContents(object::kEnemy0), (std::vector<Instance*>{Inst("third")}));
  EXPECT_EQ(object::PoolFree(), object::kPoolSize - 1);
  EXPECT_EQ(object::GetX(Inst("first")), 0);  // back in the pool: not stepped further
}

TEST_F(WorldTest, UpdateWorldCalledFromAnUpdater) {
  EXPECT_EQ(Run("function up(i) note(i.state) end\n"
                "function again(i) note('again') SetUpdater(i, 'up') Dispose(b) UpdateWorld() end\n"
                "c = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) c.state = 3\n"
                "b = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) b.state = 2\n"
                "a = AddLayer0(K, 'again', 0, 0, 0, 0, 0, 10) a.state = 1\n"
                "UpdateWorld()"),
            "");
  // The nested update steps a (now 'up') and c, and returns b; the outer
  // walk then goes on with c.
  EXPECT_EQ(Str("log"), "again 1 3 3 ");
  EXPECT_EQ(object::ListContents(object::kLayer0),
            (std::vector<Instance*>{Inst("a"), Inst("c")}));
  EXPECT_EQ(Inst("c")->age, 2);
}

}  // namespace
}  // namespace object_test
