// Instances: spawns, list order, the pool (exhaustion, reuse order), handles, disposal with parents
// and disposers, parent links, ClearInstance. Kinds: their animation tables, what they drive in a
// step (animation, motion, life count), and kinds released while instances still use them.
#include <array>
#include <vector>

#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace object;
using InstanceTest = test_support::LuaFixture;
using V = std::vector<Instance*>;
using Frames = std::vector<int>;

TEST_F(InstanceTest, SpawnSetsTheFieldsOrWithAnAnimOutsideTheTableSpawnsNothing) {
  EXPECT_TRUE(HasError("AddEnemy1(K, nil, 0, 0, 0, 0, 1, 10)",
                       "AddEnemy1: animation 1 does not exist (the kind has 1)"));
  EXPECT_TRUE(HasError("mk(AddPBullet, NewObject())", "AddPBullet: animation 0"));
  EXPECT_EQ(PoolFree(), kPoolSize);
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
  EXPECT_TRUE(Inst("b")->tick == 0 && Inst("b")->disposer.empty() && Inst("b")->updater.empty());
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
  EXPECT_TRUE(PoolFree() == 0 && ListContents(kEnemy0).size() == 998u &&
              ListContents(kEBullet).empty());
  EXPECT_EQ(ListContents(kLayer0), Insts({"last", "first"}));
  EXPECT_EQ(Inst("first")->index, 0);
}

TEST_F(InstanceTest, FreedInstancesAreReusedInTheOrderFreed) {
  Ok("a = mk(AddEnemy0) b = mk(AddEnemy0) c = mk(AddLayer0) Dispose(c) Dispose(a) Dispose(b)");
  // Disposed but not yet walked: still listed, not in the pool.
  EXPECT_TRUE(PoolFree() == kPoolSize - 3 && ListContents(kEnemy0).size() == 2u);
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
  EXPECT_TRUE(Log() == "2 1 " && Inst("p")->children.empty()) << Log();
  Ok("q = mk(AddEnemy0) d = mk(AddLayer0) e = mk(AddLayer0)\n"
     "for n = 1, 1000 do SetParent(d, q) SetParent(e, q) end");
  EXPECT_TRUE(Inst("q")->children == Insts({"d", "e"}) && Inst("d")->adopted_by == Insts({"q"}));
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
  EXPECT_TRUE(!Inst("nc")->disposed && Inst("np")->children.empty());
  // A bullet b (child of p, parent of a glow g) taken by CheckEBullet.
  Ok("ClearInstance() p = mk(AddEnemy0, K, 100, 100) b = mk(AddEBullet, K, 10) SetParent(b, p)\n"
     "g = mk(AddLayer1, K, 0, 3) SetParent(g, b) CheckEBullet(mk(AddLayer0, K, 110, 100), 'took')\n"
     // The glow stays where it was on the screen, without a parent.
     "assert(GetParent(g) == nil and GetX(g) == 110 and GetY(g) == 103 and GetParent(b) == nil)\n"
     // A link made through the stale handle ends at the next spawn.
     "k = mk(AddLayer1, K, 7) SetParent(k, b) for n = 1, 995 do mk(AddLayer3) end\n"
     "nb = mk(AddLayer2) assert(nb == b and GetParent(k) == nil) Dispose(p) Dispose(nb)");
  EXPECT_TRUE(Inst("p")->disposed && Inst("p")->children.empty() && !Inst("g")->disposed &&
              !Inst("k")->disposed);
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
  EXPECT_TRUE(Log() == "wipe " && PoolFree() == kPoolSize) << Log();
}

class KindTest : public test_support::LuaFixture {
 protected:
  // A kind with the animation entries {start, end, hold, loop}.
  boost::intrusive_ptr<Object> Kind(std::vector<std::array<int, 4>> anims = {{0, 0, 0, 0}}) {
    boost::intrusive_ptr<Object> k = NewObject();
    k->SetAnimSize(static_cast<std::uint8_t>(anims.size()));
    for (std::size_t n = 0; n < anims.size(); ++n)
      k->SetAnim(std::uint8_t(n), anims[n][0], anims[n][1], std::uint8_t(anims[n][2]), anims[n][3]);
    return k;
  }
  // Frames shown after each of `steps` world steps.
  Frames Play(Instance* i, int steps) {
    Frames out;
    for (int n = 0; n < steps; ++n) {
      UpdateWorld();
      out.push_back(i->frame);
    }
    return out;
  }
};

TEST_F(KindTest, PropertiesAndTheAnimationTable) {
  Ok("local k = NewObject()\n"
     "assert(k.cx == 0 and k.cy == 0 and k.hp == 0 and k.size == 0 and k.delay == 0)\n"
     "k.cx, k.cy, k.hp, k.size, k.delay = 8, -3, 100, 6, 250\n"
     "assert(k.cx == 8 and k.cy == -3 and k.hp == 100 and k.size == 6 and k.delay == 250)");
  boost::intrusive_ptr<Object> k = NewObject();
  EXPECT_TRUE(k->animsize == 0 && !k->anims && !k->spriteset);
  k->SetAnimSize(3);
  k->SetAnim(0, 300, 2, 7, true);  // start and end keep their low 8 bits
  k->SetAnim(2, -1, 5, 0, false);
  const AnimEntry& a = k->anims[0];
  EXPECT_TRUE(a.start == 44 && a.end == 2 && a.hold == 7 && a.loop && k->anims[2].start == 255);
  EXPECT_EQ(k->anims[1].start, 0);  // untouched entries stay zero
  k->SetAnimSize(2);                // discards every entry set before
  EXPECT_EQ(k->animsize, 2);
  for (int n = 0; n < 2; ++n)
    EXPECT_TRUE(!k->anims[n].start && !k->anims[n].end && !k->anims[n].hold && !k->anims[n].loop);
}

TEST_F(KindTest, ScriptErrorsAndAKindReleasedWhileInUseStaysAlive) {
  EXPECT_TRUE(HasError("NewObject():SetAnim(0, 1, 2, 0, true)", "SetAnim: animation 0"));
  EXPECT_TRUE(HasError("local k = NewObject() k:SetAnimSize(2) k:SetAnim(2, 1, 2, 0, true)",
                       "SetAnim: animation 2 does not exist (the kind has 2)"));
  Ok("z = NewObject() z:SetAnimSize(2) z:SetAnimSize(0)");
  EXPECT_TRUE(HasError("z:SetAnim(0, 1, 2, 0, true)", "SetAnim: animation 0"));
  // The valid entries were not touched by the refused calls.
  Ok("k2 = NewObject() k2:SetAnimSize(1) k2:SetAnim(0, 4, 4, 0, false)\n"
     "pcall(function() k2:SetAnim(1, 9, 9, 9, true) end) assert(mk(AddEnemy0, k2))\n"
     "R = NewObject() R:SetAnimSize(1) R:Release()");
  EXPECT_EQ(ListContents(kEnemy0)[0]->frame, 4);
  const char* released[][2] = {{"R:Release()", "Release"},
                               {"R:SetAnimSize(2)", "SetAnimSize"},
                               {"R:SetAnim(0, 1, 1, 0, false)", "SetAnim"},
                               {"R:SetSpriteSet(nil)", "SetSpriteSet"},
                               {"local v = R.cx", "Object.cx"},
                               {"R.size = 3", "Object.size"},
                               {"AddLayer2(R, nil, 0, 0, 0, 0, 0, 5)", "AddLayer2"}};
  for (auto& c : released)
    EXPECT_TRUE(HasError(c[0], std::string(c[1]) + ": the kind was released"));
  EXPECT_TRUE(HasError("AddEBullet(nil, nil, 0, 0, 0, 0, 0, 5)", "AddEBullet: no kind"));
  EXPECT_EQ(PoolFree(), kPoolSize - 1);
  Ok("ClearInstance()\n"
     "local k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 1, 3, 0, true) k.hp = 42\n"
     "e = AddEnemy0(k, nil, 10, 10, 65536, 0, 0, 100)\n"
     "k:Release() k = nil collectgarbage() collectgarbage()");
  Instance* e = ListContents(kEnemy0)[0];  // only it holds the kind now
  ASSERT_TRUE(e->object && e->object->released && e->object->refs == 1);
  EXPECT_EQ(Play(e, 2), Frames({2, 3}));  // still animated from the released kind's table
  EXPECT_EQ(Int("GetHP(e) * 100 + GetX(e)"), 4212);
}

TEST_F(KindTest, AnimationSequences) {
  // The entry {start, end, hold, loop}, then the frame after each step (the spawn shows start).
  const std::pair<std::array<int, 4>, Frames> cases[] = {
      {{2, 5, 0, 1}, {3, 4, 5, 2, 3, 4}},
      {{2, 5, 0, 0}, {3, 4, 5, 5, 5}},
      {{5, 2, 0, 1}, {4, 3, 2, 5, 4, 3}},
      {{5, 2, 0, 0}, {4, 3, 2, 2, 2}},
      {{7, 7, 0, 1}, {7, 7}},
      {{7, 7, 0, 0}, {7, 7}},
      // Each frame shows for hold + 1 steps.
      {{0, 2, 3, 1}, {0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0}},
  };
  for (const auto& [anim, frames] : cases) {
    Instance* i = AddEnemy0(Kind({anim}).get(), nullptr, 0, 0, 0, 0, 0, 100);
    EXPECT_EQ(Play(i, static_cast<int>(frames.size())), frames)
        << anim[0] << ".." << anim[1] << " hold " << anim[2] << " loop " << anim[3];
    ClearInstance();
  }
}

TEST_F(KindTest, ChangingAnimTakesOverAtTheNextAdvance) {
  boost::intrusive_ptr<Object> k = Kind({{0, 3, 0, 1}, {10, 12, 2, 1}, {6, 4, 0, 0}});
  Instance* i = AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Play(i, 1), Frames({1}));
  i->anim = 1;  // tick is 0 and the new hold is 2: the frame waits two steps
  EXPECT_EQ(Play(i, 6), Frames({1, 1, 10, 10, 10, 11}));
  i->anim = 2;  // backwards from a frame above the new start: brought to the start
  EXPECT_EQ(Play(i, 4), Frames({6, 5, 4, 4}));
  i->anim = 0;  // forwards from a frame above the new end: looped back to the start
  EXPECT_EQ(Play(i, 2), Frames({0, 1}));
  // The table itself may change while instances play it.
  k->SetAnim(0, 20, 21, 0, false);
  EXPECT_EQ(Play(i, 2), Frames({20, 21}));
  ClearInstance();  // an anim out of range is stepped but not animated
  i = AddEnemy0(Kind({{0, 3, 0, 1}}).get(), nullptr, 5, 5, 65536, 0, 0, 100);
  UpdateWorld();
  i->anim = 9;  // a script wrote an index the table does not have
  EXPECT_EQ(Play(i, 3), Frames({1, 1, 1}));
  EXPECT_TRUE(GetX(i) == 9 && i->age == 4);
  i->anim = 0;  // a table shrunk under a live instance is treated the same way
  i->object->SetAnimSize(0);
  EXPECT_TRUE(Play(i, 1) == Frames({1}) && i->age == 5);
}

TEST_F(KindTest, MotionAlongTheDirectionTable) {
  // Three steps from (100, 100): the velocity and direction, then x and y.
  // Each step adds (vel >> 8) * (cos >> 8): the low 8 fraction bits of both
  // factors are dropped, with arithmetic shifts.
  const int d15 = 3 * 256 * (46340 >> 8), d44 = 3 * 256 * (base::DirTable[44].cos >> 8);
  struct Case {
    int vel, dir, x, y;
  } cases[] = {
      {65536, 0, 103 << 16, 100 << 16},
      {65536, 30, 100 << 16, 103 << 16},
      {65536, 150, 100 << 16, 103 << 16},  // 150 is 30 modulo 120
      {-65536, 0, 97 << 16, 100 << 16},
      {32768, 60, (100 << 16) - 3 * 32768, 100 << 16},
      {65536, 15, (100 << 16) + d15, (100 << 16) + d15},
      {255, 0, 100 << 16, 100 << 16},
      {-1, 0, (100 << 16) - 3 * 256, 100 << 16},
      {65536, 300, (100 << 16) + d44, (100 << 16) + 3 * 256 * (base::DirTable[44].sin >> 8)},
  };
  boost::intrusive_ptr<Object> k = Kind();
  std::vector<Instance*> is;
  for (const Case& c : cases)
    is.push_back(AddLayer0(k.get(), nullptr, 100, 100, c.vel, c.dir, 0, 100));
  for (int n = 0; n < 3; ++n) UpdateWorld();
  for (std::size_t n = 0; n < is.size(); ++n)  // the stored direction is not reduced
    EXPECT_TRUE(is[n]->x == cases[n].x && is[n]->y == cases[n].y &&
                is[n]->dir == (cases[n].dir & 255))
        << n;
}

TEST_F(KindTest, LifeCountsDownAndEndsTheInstance) {
  Ok("n = 0 function up(i) n = n + 1 end function gone(i) note('gone' .. n) end\n"
     "a = AddEnemy1(K, 'up', 0, 0, 0, 0, 0, 3) SetDisposer(a, 'gone')\n"
     "z = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 0) SetDisposer(z, 'gone')\n"
     "UpdateWorld() assert(log == 'gone0 ' and n == 1)\n"  // z's updater never runs
     "UpdateWorld() UpdateWorld() assert(n == 3 and a.age == 3)");
  EXPECT_FALSE(Inst("a")->disposed);
  UpdateWorld();  // the 4th step disposes it, and the walk returns it
  EXPECT_TRUE(Log() == "gone0 gone3 " && PoolFree() == kPoolSize) << Log();
  // A negative life wraps through sixteen bits.
  Instance* i = AddLayer1(Kind().get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_TRUE(!i->disposed && i->life == 0 && i->age == 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

}  // namespace
