// Kinds and their animation tables, and the parts of an instance's step that
// the kind drives: animation sequences, motion along the direction table,
// the life count, and kinds released while instances still use them.
#include <vector>

#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"

namespace {

using namespace object;
using Frames = std::vector<int>;

class KindTest : public test_support::LuaFixture {
 protected:
  // A kind with one animation entry.
  boost::intrusive_ptr<Object> Kind(int start, int end, int hold, bool loop) {
    boost::intrusive_ptr<Object> k = NewObject();
    k->SetAnimSize(1);
    k->SetAnim(0, start, end, static_cast<std::uint8_t>(hold), loop);
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
  EXPECT_TRUE(
      HasError("local k = NewObject() k:SetAnimSize(2) k:SetAnimSize(0)"
               " k:SetAnim(0, 1, 2, 0, true)",
               "SetAnim:"));
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
  Instance* e = ListContents(kEnemy0)[0];
  ASSERT_TRUE(e->object);
  EXPECT_TRUE(e->object->released && e->object->refs == 1);  // only the instance holds it now
  EXPECT_EQ(Play(e, 2), Frames({2, 3}));  // still animated from the released kind's table
  EXPECT_EQ(Int("GetHP(e) * 100 + GetX(e)"), 4212);
}

TEST_F(KindTest, AnimationSequences) {
  struct Case {
    int start, end, hold;
    bool loop;
    Frames frames;  // the spawn's frame, then one per step
  } cases[] = {
      {2, 5, 0, true, {2, 3, 4, 5, 2, 3, 4}},
      {2, 5, 0, false, {2, 3, 4, 5, 5, 5}},
      {5, 2, 0, true, {5, 4, 3, 2, 5, 4, 3}},
      {5, 2, 0, false, {5, 4, 3, 2, 2, 2}},
      {7, 7, 0, true, {7, 7, 7}},
      {7, 7, 0, false, {7, 7, 7}},
      // Each frame shows for hold + 1 steps.
      {0, 2, 3, true, {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0}},
  };
  for (const Case& c : cases) {
    Instance* i =
        AddEnemy0(Kind(c.start, c.end, c.hold, c.loop).get(), nullptr, 0, 0, 0, 0, 0, 100);
    Frames got{i->frame};
    for (int f : Play(i, static_cast<int>(c.frames.size()) - 1)) got.push_back(f);
    EXPECT_EQ(got, c.frames) << c.start << ".." << c.end << " hold " << c.hold << " loop "
                             << c.loop;
    ClearInstance();
  }
}

TEST_F(KindTest, ChangingAnimTakesOverAtTheNextAdvance) {
  boost::intrusive_ptr<Object> k = NewObject();
  k->SetAnimSize(3);
  k->SetAnim(0, 0, 3, 0, true);
  k->SetAnim(1, 10, 12, 2, true);
  k->SetAnim(2, 6, 4, 0, false);
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
  i = AddEnemy0(Kind(0, 3, 0, true).get(), nullptr, 5, 5, 65536, 0, 0, 100);
  UpdateWorld();
  i->anim = 9;  // a script wrote an index the table does not have
  EXPECT_EQ(Play(i, 3), Frames({1, 1, 1}));
  EXPECT_TRUE(GetX(i) == 9 && i->age == 4);
  i->anim = 0;  // a table shrunk under a live instance is treated the same way
  i->object->SetAnimSize(0);
  EXPECT_EQ(Play(i, 1), Frames({1}));
  EXPECT_EQ(i->age, 5);
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
  boost::intrusive_ptr<Object> k = Kind(0, 0, 0, false);
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
  EXPECT_EQ(Log(), "gone0 gone3 ");
  EXPECT_EQ(PoolFree(), kPoolSize);
  // A negative life wraps through sixteen bits.
  Instance* i = AddLayer1(Kind(0, 0, 0, false).get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_TRUE(!i->disposed && i->life == 0 && i->age == 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

}  // namespace
