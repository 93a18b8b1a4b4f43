// The world update: the order of the walks, what a step does when its
// updater disposes, the bullet culls at their edges, errors in callbacks,
// and walks that stay valid when callbacks call ClearInstance, run nested
// checks or call UpdateWorld itself. The player-bullet hits (order, touch,
// children at their absolute positions) are object_hit_order's.
#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace object;

class WorldTest : public test_support::LuaFixture {
 protected:
  bool Listed(const char* name, List list) {
    for (Instance* j : ListContents(list))
      if (j == Inst(name)) return true;
    return false;
  }
};

TEST_F(WorldTest, UpdaterThatDisposesStillMovesThenLeavesAndSpawnsWaitForTheNextPass) {
  Ok("function up(i) Dispose(i) end a = AddLayer0(K, 'up', 10, 10, 65536, 0, 0, 10) UpdateWorld()");
  EXPECT_EQ(GetX(Inst("a")), 11);  // moved in the step that disposed it
  EXPECT_EQ(Inst("a")->age, 1);
  EXPECT_FALSE(Listed("a", kLayer0));  // and returned in the same walk
  Ok("function up(i) note('up') AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) end\n"
     "AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) UpdateWorld() note('|') UpdateWorld()");
  EXPECT_EQ(Log(), "up | up up ");
}

TEST_F(WorldTest, BulletsAreCulledAtTheirEdgesAndOthersNever) {
  Ok("function bye(i) note(i.state) end\n"
     "function b(x, y, s) local i = AddEBullet(K, nil, x, y, 0, 0, 0, 10)"
     " i.state = s SetDisposer(i, 'bye') return i end\n"
     "b(160, 245, 1) b(160, 246, 2) b(-5, 100, 3) b(-6, 100, 4) b(325, 0, 5)"
     " b(326, 0, 6) b(0, -5, 7) b(0, -6, 8)\n"
     "p = AddEnemy0(K, nil, 300, 200, 0, 0, 0, 10)\n"
     "c = b(26, 0, 9) SetParent(c, p) d = b(25, 45, 10) SetParent(d, p)\n"
     // Player bullets have no bottom edge.
     "low = AddPBullet(K, nil, 160, 300, 0, 0, 0, 10) AddPBullet(K, nil, 160, -6, 0, 0, 0, 10)\n"
     "AddPBullet(K, nil, -6, 100, 0, 0, 0, 10) AddPBullet(K, nil, 326, 100, 0, 0, 0, 10)\n"
     "edge = AddPBullet(K, nil, 325, -5, 0, 0, 0, 10)\n"
     "e = AddEnemy1(K, nil, -100, 900, 0, 0, 0, 10) l = AddLayer3(K, nil, 1000, -1000, 0, 0, 0, "
     "10)\n"
     "UpdateWorld()");
  EXPECT_EQ(Log(), "9 8 6 4 2 ");                // newest first; c at absolute x 326
  EXPECT_EQ(ListContents(kEBullet).size(), 5u);  // removed in the same walk
  EXPECT_TRUE(Listed("d", kEBullet));            // at (325, 245)
  EXPECT_EQ(ListContents(kPBullet), Insts({"edge", "low"}));
  EXPECT_TRUE(Listed("e", kEnemy1) && Listed("l", kLayer3));
}

TEST_F(WorldTest, ErrorInACallbackStopsTheUpdateWithListsConsistent) {
  Ok("function up(i) Dispose(i) end function boom(i) error('updater failed') end\n"
     "a = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10)\n"    // stepped second
     "b = AddEnemy0(K, 'boom', 0, 0, 0, 0, 0, 10)\n"  // stepped first
     "c = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10)\n");
  EXPECT_TRUE(HasError("UpdateWorld()", "updater failed"));
  EXPECT_FALSE(Inst("a")->disposed || Inst("c")->disposed);  // the walk stopped before them
  // Without a global e_col, a hit is an error in the calling script.
  Ok("function boom(i) Dispose(i) end\n"
     "AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10) AddPBullet(K, nil, 0, 0, 0, 0, 0, 10)");
  EXPECT_TRUE(HasError("UpdateWorld()", "attempt to call a nil value"));
  EXPECT_TRUE(Inst("a")->disposed);
  EXPECT_FALSE(Listed("b", kEnemy0));  // the removals before the error are complete
  EXPECT_EQ(PoolFree() + 3, kPoolSize);
  Ok("function e_col() end UpdateWorld() UpdateWorld()");
  EXPECT_EQ(PoolFree() + 2, kPoolSize);  // the enemy and the bullet
}

// ClearInstance from a callback: the walk in progress ends when the
// callback returns; later walks see only what was spawned since.
TEST_F(WorldTest, ClearInstanceFromAnUpdaterEndsTheWalk) {
  Ok("function up(i) note('up' .. i.state) end\n"
     "function clear(i) note('clear') ClearInstance()\n"
     "  AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10).state = 5 AddLayer1(K, 'up', 0, 0, 0, 0, 0, "
     "10).state = 6 end\n"
     "AddEnemy0(K, 'up', 0, 0, 65536, 0, 0, 10).state = 1\n"
     "b = AddEnemy0(K, 'clear', 0, 0, 65536, 0, 0, 10)\n"
     "AddEnemy1(K, 'up', 0, 0, 0, 0, 0, 10).state = 3 AddLayer1(K, 'up', 0, 0, 0, 0, 0, 10).state "
     "= 4\n"
     "UpdateWorld()");
  EXPECT_EQ(Log(), "clear up6 ");
  EXPECT_EQ(GetX(Inst("b")), 0);  // not moved after going back to the pool
  EXPECT_EQ(PoolFree(), kPoolSize - 2);
  Ok("UpdateWorld()");
  EXPECT_EQ(Log(), "clear up6 up5 up6 ");
}

TEST_F(WorldTest, ClearInstanceFromHitAndCullCallbacks) {
  Ok("function e_col(e, b) note('hit' .. e.state) ClearInstance() end\n"
     "function bye(i) note('bye') ClearInstance() end function up(i) note('up') end\n"
     "AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10).state = 2 AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10).state = "
     "1\n"
     "AddPBullet(K, 'up', 0, 0, 0, 0, 0, 10) AddPBullet(K, 'up', 0, 0, 0, 0, 0, 10)\n"
     "UpdateWorld()");
  EXPECT_EQ(Log(), "up hit1 ");  // one report, then every walk ended
  EXPECT_EQ(PoolFree(), kPoolSize);
  Ok("log = '' local o = AddEBullet(K, nil, 400, 0, 0, 0, 0, 10) SetDisposer(o, 'bye')\n"
     "AddEBullet(K, 'up', 400, 0, 0, 0, 0, 10) AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) "
     "UpdateWorld()");
  EXPECT_EQ(Log(), "up bye ");
  EXPECT_EQ(PoolFree(), kPoolSize);
}

TEST_F(WorldTest, NestedWalksThatRemoveTheCurrentOrNextElement) {
  // The first enemy's updater disposes itself and the one behind it, then
  // SetDamage walks the same list and returns both to the pool.
  Ok("function damage(e) end function up(i) note(i.state) end\n"
     "function bomb(i) note('bomb') Dispose(i) Dispose(second) SetDamage(-1000, -1000, 1, 1) end\n"
     "third = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) third.state = 3\n"
     "second = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) second.state = 2\n"
     "first = AddEnemy0(K, 'bomb', 0, 0, 65536, 0, 0, 10) UpdateWorld()");
  EXPECT_EQ(Log(), "bomb 3 ");
  EXPECT_EQ(ListContents(kEnemy0), Insts({"third"}));
  EXPECT_EQ(PoolFree(), kPoolSize - 1);
  EXPECT_EQ(GetX(Inst("first")), 0);  // back in the pool: not stepped further
  // UpdateWorld from an updater: the nested update steps a (now 'up') and
  // c, and returns b; the outer walk then goes on with c.
  Ok("ClearInstance() log = ''\n"
     "function again(i) note('again') SetUpdater(i, 'up') Dispose(b) UpdateWorld() end\n"
     "c = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) c.state = 3\n"
     "b = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) b.state = 2\n"
     "a = AddLayer0(K, 'again', 0, 0, 0, 0, 0, 10) a.state = 1 UpdateWorld()");
  EXPECT_EQ(Log(), "again 1 3 3 ");
  EXPECT_EQ(ListContents(kLayer0), Insts({"a", "c"}));
  EXPECT_EQ(Inst("c")->age, 2);
}

}  // namespace
