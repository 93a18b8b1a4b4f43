// Instances: spawns and their fields, list order, the pool (exhaustion and
// reuse order), script handles, disposal with parents and disposers, the
// parent links (loops refused, links cut on every return to the pool) and
// ClearInstance.
#include "object/geometry.h"
#include "object_test_util.h"

namespace object_test {
namespace {

using object::Instance;

class InstanceTest : public ObjectTest {};

TEST_F(InstanceTest, SpawnSetsTheFields) {
  EXPECT_EQ(Run("local k = NewObject() k:SetAnimSize(3) k:SetAnim(2, 9, 12, 1, true) k.hp = 30\n"
                "local name = 'mo' .. 've'\n"
                "i = AddLayer2(k, name, 100, -20, 98304, 300, 2, 77)\n"
                "i.hp = 5 name = nil collectgarbage()\n"
                "assert(i.vel == 98304 and i.dir == 44 and i.anim == 2 and i.hp == 5)\n"
                "assert(i.state == 0 and i.hit == 0 and i.age == 0)\n"
                "assert(GetX(i) == 100 and GetY(i) == -20 and GetParent(i) == nil)\n"
                "assert(GetHP(i) == 30 and GetHP(nil) == 0)"),
            "");
  Instance* i = Inst("i");
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->life, 77);
  EXPECT_EQ(i->frame, 9);
  EXPECT_EQ(i->tick, 0);
  EXPECT_FALSE(i->disposed);
  EXPECT_EQ(i->updater, "move");  // its own copy of the name
  EXPECT_EQ(i->list, object::kLayer2);
  // The updater runs by that name; nil leaves none.
  EXPECT_EQ(Run("function move(i) note('moved') end UpdateWorld()"), "");
  EXPECT_EQ(Str("log"), "moved ");
  EXPECT_EQ(Run("SetUpdater(i, nil) SetUpdater(nil, 'move') SetDisposer(nil, 'x') UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "moved ");
}

TEST_F(InstanceTest, SpawnWithAnAnimOutsideTheTableSpawnsNothing) {
  EXPECT_TRUE(HasError("AddEnemy1(K, nil, 0, 0, 0, 0, 1, 10)",
                       "AddEnemy1: animation 1 does not exist (the kind has 1)"));
  EXPECT_TRUE(HasError("AddPBullet(NewObject(), nil, 0, 0, 0, 0, 0, 10)", "AddPBullet: animation 0"));
  EXPECT_EQ(object::PoolFree(), object::kPoolSize);
  EXPECT_TRUE(object::ListContents(object::kEnemy1).empty());
}

TEST_F(InstanceTest, NewestFirstInItsListAndStepOrder) {
  EXPECT_EQ(Run("function up(i) note(i.state) end function e_col(e, b) end\n"
                "a = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) a.state = 1\n"
                "b = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10) b.state = 2\n"
                "c = AddLayer3(K, 'up', 0, 0, 0, 0, 0, 10) c.state = 8\n"
                "d = AddLayer0(K, 'up', 0, 0, 0, 0, 0, 10) d.state = 5\n"
                "e = AddPBullet(K, 'up', 0, 0, 0, 0, 0, 10) e.state = 4\n"
                "f = AddEBullet(K, 'up', 0, 0, 0, 0, 0, 10) f.state = 3\n"
                "g = AddLayer2(K, 'up', 0, 0, 0, 0, 0, 10) g.state = 7\n"
                "h = AddEnemy1(K, 'up', 0, 0, 0, 0, 0, 10) h.state = 9\n"
                "j = AddLayer1(K, 'up', 0, 0, 0, 0, 0, 10) j.state = 6\n"
                "UpdateWorld()"),
            "");
  EXPECT_EQ(Str("log"), "2 1 9 3 4 5 6 7 8 ");
  EXPECT_EQ(object::ListContents(object::kEnemy0),
            (std::vector<Instance*>{Inst("b"), Inst("a")}));
}

TEST_F(InstanceTest, OneHandlePerInstance) {
  EXPECT_EQ(Run("seen = {} function up(i) seen[i] = (seen[i] or 0) + 1 end\n"
                "a = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 10)\n"
                "UpdateWorld() UpdateWorld()\n"
                "assert(seen[a] == 2)\n"
                "SetParent(AddLayer0(K, nil, 0, 0, 0, 0, 0, 10), a)\n"
                "b = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10) SetParent(b, a)\n"
                "assert(GetParent(b) == a and rawequal(GetParent(b), a))"),
            "");
}

TEST_F(InstanceTest, PoolExhaustionGivesNilAndNeverAListedInstance) {
  EXPECT_EQ(Run("first = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "for n = 2, 999 do assert(AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)) end\n"
                "last = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "assert(last ~= nil and last ~= first)\n"
                "assert(AddEBullet(K, nil, 0, 0, 0, 0, 0, 10) == nil)\n"
                "assert(AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10) == nil)\n"
                // The nil-tolerant functions keep the game running.
                "local none = AddLayer1(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "SetParent(none, last) SetUpdater(none, 'x') Dispose(none)\n"
                "assert(GetX(none) == 160 and GetDist(none, last) == 99999)"),
            "");
  EXPECT_EQ(object::PoolFree(), 0);
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 998u);
  EXPECT_TRUE(object::ListContents(object::kEBullet).empty());
  EXPECT_EQ(object::ListContents(object::kLayer0), (std::vector<Instance*>{Inst("last"), Inst("first")}));
  EXPECT_EQ(Inst("first")->index, 0);
}

TEST_F(InstanceTest, FreedInstancesAreReusedInTheOrderFreed) {
  EXPECT_EQ(Run("a = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "b = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "c = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "Dispose(c) Dispose(a) Dispose(b)"),
            "");
  // Disposed but not yet walked: still listed, not in the pool.
  EXPECT_EQ(object::PoolFree(), object::kPoolSize - 3);
  EXPECT_EQ(object::ListContents(object::kEnemy0).size(), 2u);
  object::UpdateWorld();
  std::vector<Instance*> pool = object::PoolContents();
  ASSERT_EQ(pool.size(), 1000u);
  // The never-used instances first, then b, a (the enemy0 walk), then c.
  EXPECT_EQ(pool[0]->index, 3);
  EXPECT_EQ(pool[997], Inst("b"));
  EXPECT_EQ(pool[998], Inst("a"));
  EXPECT_EQ(pool[999], Inst("c"));
  EXPECT_EQ(Run("for n = 1, 997 do AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) end\n"
                "assert(AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) == b)\n"
                "assert(AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) == a)\n"
                "assert(AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) == c)"),
            "");
}

TEST_F(InstanceTest, DisposeRunsDisposersParentFirstThenChildrenDepthFirst) {
  EXPECT_EQ(Run("function bye(i) note(i.state) end\n"
                "function make(s, parent)\n"
                "  local i = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10) i.state = s SetDisposer(i, 'bye')\n"
                "  if parent then SetParent(i, parent) end return i end\n"
                "p = make(1) c1 = make(2, p) c2 = make(3, p) g = make(4, c1) q = make(5)\n"
                "Dispose(p)\n"
                "assert(GetParent(c1) == nil and GetParent(c2) == nil and GetParent(g) == nil)\n"
                "Dispose(p) Dispose(c2) Dispose(nil)"),
            "");
  EXPECT_EQ(Str("log"), "1 2 4 3 ");  // each disposer once
  for (const char* name : {"p", "c1", "c2", "g"}) {
    Instance* i = Inst(name);
    EXPECT_TRUE(i->disposed) << name;
    EXPECT_TRUE(i->children.empty()) << name;
    EXPECT_TRUE(i->adopted_by.empty()) << name;
  }
  EXPECT_FALSE(Inst("q")->disposed);
  // The walk returns the disposed ones; they stay out of every list.
  object::UpdateWorld();
  EXPECT_EQ(object::ListContents(object::kLayer0), (std::vector<Instance*>{Inst("q")}));
}

TEST_F(InstanceTest, DisposedChildLeavesItsParent) {
  EXPECT_EQ(Run("function bye(i) note(i.state) end\n"
                "p = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10) SetDisposer(p, 'bye') p.state = 1\n"
                "c = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10) SetDisposer(c, 'bye') c.state = 2\n"
                "for n = 1, 1000 do SetParent(c, p) end\n"
                "Dispose(c) Dispose(p)"),
            "");
  EXPECT_EQ(Str("log"), "2 1 ");
  EXPECT_TRUE(Inst("p")->children.empty());
  // Re-attaching to the same parent does not grow its list.
  EXPECT_EQ(Run("q = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10) d = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "e = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "for n = 1, 1000 do SetParent(d, q) SetParent(e, q) end"),
            "");
  EXPECT_EQ(Inst("q")->children, (std::vector<Instance*>{Inst("d"), Inst("e")}));
  EXPECT_EQ(Inst("d")->adopted_by, (std::vector<Instance*>{Inst("q")}));
}

TEST_F(InstanceTest, ReparentedChildIsStillDisposedWithTheEarlierParent) {
  EXPECT_EQ(Run("p1 = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "p2 = AddEnemy0(K, nil, 50, 0, 0, 0, 0, 10)\n"
                "c = AddLayer0(K, nil, 5, 0, 0, 0, 0, 10)\n"
                "SetParent(c, p1) SetParent(c, p2)\n"
                "assert(GetParent(c) == p2 and GetX(c) == 55)\n"
                "Dispose(p1)\n"
                "assert(GetParent(c) == nil)"),
            "");
  EXPECT_TRUE(Inst("c")->disposed);
  EXPECT_FALSE(Inst("p2")->disposed);
  // p2 still lists c until c goes back to the pool.
  object::UpdateWorld();
  EXPECT_TRUE(Inst("p2")->children.empty());
}

TEST_F(InstanceTest, SetParentRefusesLoopsAndNilParentClears) {
  EXPECT_EQ(Run("a = AddLayer0(K, nil, 10, 10, 0, 0, 0, 10)\n"
                "b = AddLayer0(K, nil, 1, 1, 0, 0, 0, 10) SetParent(b, a)\n"
                "c = AddLayer0(K, nil, 1, 1, 0, 0, 0, 10) SetParent(c, b)\n"
                "SetParent(nil, a)"),
            "");
  EXPECT_TRUE(HasError("SetParent(a, c)", "SetParent: an instance cannot be its own ancestor"));
  EXPECT_TRUE(HasError("SetParent(a, a)", "SetParent:"));
  EXPECT_TRUE(HasError("SetParent(b, c)", "SetParent:"));
  EXPECT_EQ(Int("GetParent(a) == nil and GetX(c) == 12 and 1"), 1);
  EXPECT_TRUE(Inst("c")->children.empty());
  // A nil parent clears the child's parent; it is its own position again.
  EXPECT_EQ(Run("SetParent(c, nil) assert(GetParent(c) == nil and GetX(c) == 1)\n"
                "SetParent(a, c) assert(GetX(a) == 11)"),  // no loop any more
            "");
}

TEST_F(InstanceTest, ReturnToThePoolCutsEveryLinkOfTheFormerLife) {
  // p (enemy0) with child c (layer0); fill the rest of the pool so that the
  // next spawns after ClearInstance reuse exactly p's and c's instances.
  EXPECT_EQ(Run("p = AddEnemy0(K, nil, 100, 100, 0, 0, 0, 10)\n"
                "c = AddLayer0(K, nil, 5, 5, 0, 0, 0, 10) SetParent(c, p)\n"
                "for n = 1, 998 do AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) end\n"
                "ClearInstance()\n"
                "assert(GetParent(c) == nil)\n"
                "np = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10) assert(np == p)\n"
                "nc = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10) assert(nc == c)\n"
                "Dispose(np)\n"
                "assert(GetParent(nc) == nil)"),
            "");
  EXPECT_FALSE(Inst("nc")->disposed);
  EXPECT_TRUE(Inst("np")->children.empty());
}

TEST_F(InstanceTest, BulletTakenByCheckEBulletLeavesNoLinks) {
  // An enemy p with a bullet child b, which has a glow child g.
  EXPECT_EQ(Run("function took(x) end\n"
                "p = AddEnemy0(K, nil, 100, 100, 0, 0, 0, 10)\n"
                "b = AddEBullet(K, nil, 10, 0, 0, 0, 0, 10) SetParent(b, p)\n"
                "g = AddLayer1(K, nil, 0, 3, 0, 0, 0, 10) SetParent(g, b)\n"
                "who = AddLayer0(K, nil, 110, 100, 0, 0, 0, 10)\n"
                "assert(GetX(g) == 110 and GetY(g) == 103)\n"
                "CheckEBullet(who, 'took')\n"
                // The glow stays where it was on the screen, without a parent.
                "assert(GetParent(g) == nil and GetX(g) == 110 and GetY(g) == 103)\n"
                "assert(GetParent(b) == nil)\n"
                "for n = 1, 996 do AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) end\n"
                "nb = AddLayer2(K, nil, 0, 0, 0, 0, 0, 10) assert(nb == b)\n"
                "Dispose(p)\n"
                "Dispose(nb)"),
            "");
  EXPECT_TRUE(Inst("p")->disposed);
  EXPECT_FALSE(Inst("g")->disposed);  // not reached through the reused bullet
  EXPECT_TRUE(Inst("p")->children.empty());
}

TEST_F(InstanceTest, StaleEntryOfAnEarlierParentDoesNotReachTheReusedInstance) {
  EXPECT_EQ(Run("p1 = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "p2 = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "c = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "SetParent(c, p1) SetParent(c, p2) Dispose(c)\n"  // p1 still lists c
                "for n = 1, 997 do AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) end\n"
                "UpdateWorld()\n"  // returns c to the pool
                "n = AddLayer1(K, nil, 0, 0, 0, 0, 0, 10) assert(n == c)\n"
                "Dispose(p1)"),
            "");
  EXPECT_FALSE(Inst("n")->disposed);
}

TEST_F(InstanceTest, LinksMadeThroughAStaleHandleEndAtTheNextSpawn) {
  EXPECT_EQ(Run("function took(x) end\n"
                "b = AddEBullet(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "who = AddLayer0(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "CheckEBullet(who, 'took')\n"   // b is free now
                "k = AddLayer1(K, nil, 7, 0, 0, 0, 0, 10) SetParent(k, b)\n"
                "for n = 1, 997 do AddLayer3(K, nil, 0, 0, 0, 0, 0, 10) end\n"
                "nb = AddLayer2(K, nil, 50, 0, 0, 0, 0, 10) assert(nb == b)\n"
                "assert(GetParent(k) == nil and GetX(k) == 7)\n"
                "Dispose(nb)"),
            "");
  EXPECT_FALSE(Inst("k")->disposed);
}

TEST_F(InstanceTest, ClearInstanceReturnsEverythingWithoutDisposers) {
  EXPECT_EQ(Run("function bye(i) note('bye') end\n"
                "a = AddEnemy1(K, nil, 0, 0, 0, 0, 0, 10) SetDisposer(a, 'bye')\n"
                "b = AddLayer3(K, nil, 0, 0, 0, 0, 0, 10)\n"
                "c = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10) SetDisposer(c, 'bye') Dispose(c)\n"
                "ClearInstance()\n"
                "assert(a.hp == 0 and GetHP(a) == 0 and a.age == 0)"),
            "");
  EXPECT_EQ(Str("log"), "bye ");  // c's own Dispose, none from ClearInstance
  for (int l = 0; l < object::kListCount; ++l)
    EXPECT_TRUE(object::ListContents(static_cast<object::List>(l)).empty());
  std::vector<Instance*> pool = object::PoolContents();
  ASSERT_EQ(pool.size(), 1000u);
  // Lists in order enemy0, enemy1, ..., layer3.
  EXPECT_EQ(pool[997], Inst("c"));
  EXPECT_EQ(pool[998], Inst("a"));
  EXPECT_EQ(pool[999], Inst("b"));
  EXPECT_FALSE(Inst("a")->disposed);  // fields left as they were
}

}  // namespace
}  // namespace object_test
