// Instances: spawns and their fields, list order, the pool (exhaustion and
// reuse order), script handles, disposal with parents and disposers, the
// parent links (loops refused, links cut on every return to the pool) and
// ClearInstance.
#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace object;
using InstanceTest = test_support::LuaFixture;
using V = std::vector<Instance*>;

TEST_F(InstanceTest, SpawnSetsTheFields) {
  Ok("local k = NewObject() k:SetAnimSize(3) k:SetAnim(2, 9, 12, 1, true) k.hp = 30\n"
     "local name = 'mo' .. 've'\n"
     "i = AddLayer2(k, name, 100, -20, 98304, 300, 2, 77) i.hp = 5 name = nil collectgarbage()\n"
     "assert(i.vel == 98304 and i.dir == 44 and i.anim == 2 and i.hp == 5)\n"
     "assert(i.state == 0 and i.hit == 0 and i.age == 0)\n"
     "assert(GetX(i) == 100 and GetY(i) == -20 and GetParent(i) == nil)\n"
     "assert(GetHP(i) == 30 and GetHP(nil) == 0)");
  Instance* i = Inst("i");
  ASSERT_NE(i, nullptr);
  EXPECT_TRUE(i->life == 77 && i->frame == 9 && i->tick == 0 && !i->disposed && i->list == kLayer2);
  EXPECT_EQ(i->updater, "move");  // its own copy of the name
  // The updater runs by that name; nil leaves none.
  Ok("function move(i) note('moved') end UpdateWorld()\n"
     "SetUpdater(i, nil) SetUpdater(nil, 'move') SetDisposer(nil, 'x') UpdateWorld()");
  EXPECT_EQ(Log(), "moved ");
}

// An instance taken again from the pool starts afresh, whatever its former
// life left in the fields a spawn sets.
TEST_F(InstanceTest, ReusedInstanceStartsAfresh) {
  Ok("function bye(i) end a = mk(AddEnemy0, K, 0, 0, 4, 'bye') a.hit = 9 SetDisposer(a, 'bye')\n"
     "UpdateWorld() UpdateWorld() Dispose(a) UpdateWorld()\n"
     "for n = 1, 999 do mk(AddLayer3) end b = mk(AddLayer1)\n"
     "assert(b == a and b.hit == 0 and b.state == 0 and b.age == 0)");
  Instance* b = Inst("b");
  EXPECT_TRUE(b->tick == 0 && b->disposer.empty() && b->updater.empty());
}

TEST_F(InstanceTest, SpawnWithAnAnimOutsideTheTableSpawnsNothing) {
  EXPECT_TRUE(HasError("AddEnemy1(K, nil, 0, 0, 0, 0, 1, 10)",
                       "AddEnemy1: animation 1 does not exist (the kind has 1)"));
  EXPECT_TRUE(HasError("mk(AddPBullet, NewObject())", "AddPBullet: animation 0"));
  EXPECT_EQ(PoolFree(), kPoolSize);
}

TEST_F(InstanceTest, NewestFirstInItsListAndStepOrderAndOneHandleEach) {
  Ok("seen = {} function up(i) note(i.state) seen[i] = (seen[i] or 0) + 1 end\n"
     "function e_col(e, b) end\n"
     "a = mk(AddEnemy0, K, 0, 0, 1, 'up') b = mk(AddEnemy0, K, 0, 0, 2, 'up')\n"
     "for _, v in ipairs({{AddLayer3, 8}, {AddLayer0, 5}, {AddPBullet, 4}, {AddEBullet, 3},\n"
     "  {AddLayer2, 7}, {AddEnemy1, 9}, {AddLayer1, 6}}) do mk(v[1], K, 0, 0, v[2], 'up') end\n"
     "UpdateWorld() assert(seen[a] == 1) UpdateWorld() assert(seen[a] == 2)\n"
     "SetParent(b, a) assert(rawequal(GetParent(b), a))");
  EXPECT_EQ(Log(), "2 1 9 3 4 5 6 7 8 2 1 9 3 4 5 6 7 8 ");
  EXPECT_EQ(ListContents(kEnemy0), Insts({"b", "a"}));
}

TEST_F(InstanceTest, PoolExhaustionGivesNilAndNeverAListedInstance) {
  Ok("first = mk(AddLayer0) for n = 2, 999 do mk(AddEnemy0) end\n"
     "last = mk(AddLayer0) assert(last ~= first and AddEBullet(K, nil, 0, 0, 0, 0, 0, 10) == nil)\n"
     // The nil-tolerant functions keep the game running.
     "local none = AddLayer1(K, nil, 0, 0, 0, 0, 0, 10)\n"
     "SetParent(none, last) SetUpdater(none, 'x') Dispose(none)\n"
     "assert(GetX(none) == 160 and GetDist(none, last) == 99999)");
  EXPECT_EQ(PoolFree(), 0);
  EXPECT_EQ(ListContents(kEnemy0).size(), 998u);
  EXPECT_TRUE(ListContents(kEBullet).empty());
  EXPECT_EQ(ListContents(kLayer0), Insts({"last", "first"}));
  EXPECT_EQ(Inst("first")->index, 0);
}

TEST_F(InstanceTest, FreedInstancesAreReusedInTheOrderFreed) {
  Ok("a = mk(AddEnemy0) b = mk(AddEnemy0) c = mk(AddLayer0) Dispose(c) Dispose(a) Dispose(b)");
  // Disposed but not yet walked: still listed, not in the pool.
  EXPECT_EQ(PoolFree(), kPoolSize - 3);
  EXPECT_EQ(ListContents(kEnemy0).size(), 2u);
  UpdateWorld();
  V pool = PoolContents();
  ASSERT_EQ(pool.size(), 1000u);
  // The never-used instances first, then b, a (the enemy0 walk), then c.
  EXPECT_EQ(pool[0]->index, 3);
  EXPECT_EQ(V(pool.end() - 3, pool.end()), Insts({"b", "a", "c"}));
  Ok("for n = 1, 997 do mk(AddLayer3) end\n"
     "for _, i in ipairs({b, a, c}) do assert(mk(AddLayer3) == i) end");
}

TEST_F(InstanceTest, DisposeRunsDisposersParentFirstThenChildrenDepthFirst) {
  Ok("function bye(i) note(i.state) end\n"
     "function make(s, parent) local i = mk(AddLayer0, K, 0, 0, s) SetDisposer(i, 'bye')\n"
     "  if parent then SetParent(i, parent) end return i end\n"
     "p = make(1) c1 = make(2, p) c2 = make(3, p) g = make(4, c1) q = make(5) Dispose(p)\n"
     "assert(GetParent(c1) == nil and GetParent(c2) == nil and GetParent(g) == nil)\n"
     "Dispose(p) Dispose(c2) Dispose(nil)");
  EXPECT_EQ(Log(), "1 2 4 3 ");  // each disposer once
  for (Instance* i : Insts({"p", "c1", "c2", "g"}))
    EXPECT_TRUE(i->disposed && i->children.empty() && i->adopted_by.empty()) << i->state;
  EXPECT_FALSE(Inst("q")->disposed);
  UpdateWorld();  // the walk returns the disposed ones
  EXPECT_EQ(ListContents(kLayer0), Insts({"q"}));
}

TEST_F(InstanceTest, DisposedOrReparentedChildAndEachParentListsAChildOnce) {
  Ok("function bye(i) note(i.state) end p = mk(AddEnemy0, K, 0, 0, 1) SetDisposer(p, 'bye')\n"
     "c = mk(AddLayer0, K, 0, 0, 2) SetDisposer(c, 'bye')\n"
     "for n = 1, 1000 do SetParent(c, p) end Dispose(c) Dispose(p)");
  EXPECT_EQ(Log(), "2 1 ");
  EXPECT_TRUE(Inst("p")->children.empty());
  Ok("q = mk(AddEnemy0) d = mk(AddLayer0) e = mk(AddLayer0)\n"
     "for n = 1, 1000 do SetParent(d, q) SetParent(e, q) end");
  EXPECT_EQ(Inst("q")->children, Insts({"d", "e"}));
  EXPECT_EQ(Inst("d")->adopted_by, Insts({"q"}));
  Ok("ClearInstance() p1 = mk(AddEnemy0) p2 = mk(AddEnemy0, K, 50) c = mk(AddLayer0, K, 5)\n"
     "SetParent(c, p1) SetParent(c, p2) assert(GetParent(c) == p2 and GetX(c) == 55)\n"
     "Dispose(p1) assert(GetParent(c) == nil)");
  EXPECT_TRUE(Inst("c")->disposed && !Inst("p2")->disposed);
  UpdateWorld();  // p2 lists c until c goes back to the pool
  EXPECT_TRUE(Inst("p2")->children.empty());
}

TEST_F(InstanceTest, SetParentRefusesLoopsAndNilParentClears) {
  Ok("a = mk(AddLayer0, K, 10, 10) b = mk(AddLayer0, K, 1, 1) SetParent(b, a)\n"
     "c = mk(AddLayer0, K, 1, 1) SetParent(c, b) SetParent(nil, a)");
  EXPECT_TRUE(HasError("SetParent(a, c)", "SetParent: an instance cannot be its own ancestor"));
  EXPECT_TRUE(HasError("SetParent(a, a)", "SetParent:"));
  EXPECT_TRUE(HasError("SetParent(b, c)", "SetParent:"));
  EXPECT_TRUE(Inst("c")->children.empty());
  // A nil parent clears the child's parent; it is its own position again.
  Ok("assert(GetParent(a) == nil and GetX(c) == 12)\n"
     "SetParent(c, nil) assert(GetParent(c) == nil and GetX(c) == 1)\n"
     "SetParent(a, c) assert(GetX(a) == 11)");  // no loop any more
}

// Returns to the pool (ClearInstance, CheckEBullet, a walk) and spawns of
// stale instances cut every link of the former life: the reused instance
// is neither disposed with a former parent nor disposes a former child.
TEST_F(InstanceTest, ReturnToThePoolCutsEveryLinkOfTheFormerLife) {
  Ok("function took(x) end\n"
     "p = mk(AddEnemy0, K, 100, 100) c = mk(AddLayer0, K, 5, 5) SetParent(c, p)\n"
     "for n = 1, 998 do mk(AddLayer3) end ClearInstance() assert(GetParent(c) == nil)\n"
     "np = mk(AddEnemy0) nc = mk(AddLayer0) assert(np == p and nc == c)\n"
     "Dispose(np) assert(GetParent(nc) == nil)");
  EXPECT_FALSE(Inst("nc")->disposed);
  EXPECT_TRUE(Inst("np")->children.empty());
  // A bullet b (child of p, parent of a glow g) taken by CheckEBullet.
  Ok("ClearInstance() p = mk(AddEnemy0, K, 100, 100) b = mk(AddEBullet, K, 10) SetParent(b, p)\n"
     "g = mk(AddLayer1, K, 0, 3) SetParent(g, b) CheckEBullet(mk(AddLayer0, K, 110, 100), 'took')\n"
     // The glow stays where it was on the screen, without a parent.
     "assert(GetParent(g) == nil and GetX(g) == 110 and GetY(g) == 103 and GetParent(b) == nil)\n"
     // A link made through the stale handle ends at the next spawn.
     "k = mk(AddLayer1, K, 7) SetParent(k, b) for n = 1, 995 do mk(AddLayer3) end\n"
     "nb = mk(AddLayer2) assert(nb == b and GetParent(k) == nil) Dispose(p) Dispose(nb)");
  EXPECT_TRUE(Inst("p")->disposed && Inst("p")->children.empty());
  EXPECT_FALSE(Inst("g")->disposed || Inst("k")->disposed);
  // An earlier parent's stale entry does not reach the reused instance.
  Ok("ClearInstance() p1 = mk(AddEnemy0) p2 = mk(AddEnemy0) c = mk(AddLayer0)\n"
     "SetParent(c, p1) SetParent(c, p2) Dispose(c)\n"  // p1 still lists c
     "for n = 1, 997 do mk(AddLayer3) end\n"
     "UpdateWorld() n = mk(AddLayer1) assert(n == c) Dispose(p1)");
  EXPECT_FALSE(Inst("n")->disposed);
}

TEST_F(InstanceTest, ClearInstanceReturnsEverythingWithoutDisposers) {
  Ok("function bye(i) note('bye') end a = mk(AddEnemy1) SetDisposer(a, 'bye') b = mk(AddLayer3)\n"
     "c = mk(AddEnemy0) SetDisposer(c, 'bye') Dispose(c)\n"
     "ClearInstance() assert(a.hp == 0 and GetHP(a) == 0 and a.age == 0)");
  EXPECT_EQ(Log(), "bye ");  // c's own Dispose, none from ClearInstance
  for (int l = 0; l < kListCount; ++l) EXPECT_TRUE(ListContents(List(l)).empty());
  V pool = PoolContents();
  ASSERT_EQ(pool.size(), 1000u);
  // Lists in order enemy0, enemy1, ..., layer3.
  EXPECT_EQ(V(pool.end() - 3, pool.end()), Insts({"c", "a", "b"}));
  EXPECT_FALSE(Inst("a")->disposed);  // fields left as they were
  // From a disposer: the children already back in the pool are not disposed.
  Ok("log = '' function wipe(i) note('wipe') ClearInstance() end\n"
     "p = mk(AddLayer0) SetDisposer(p, 'wipe')\n"
     "c = mk(AddLayer0) SetDisposer(c, 'bye') SetParent(c, p) Dispose(p)");
  EXPECT_EQ(Log(), "wipe ");
  EXPECT_EQ(PoolFree(), kPoolSize);
}

}  // namespace
