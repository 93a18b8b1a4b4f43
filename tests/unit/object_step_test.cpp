// What scripts cannot read of a world step: the animation frame shown, sub-pixel motion, the
// 16-bit life count, the animation table and parent links kept once. The rest: the rows game test.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "base/error.h"
#include "base/fixed.h"
#include "object/geometry.h"
#include "object/instance.h"
#include "object/world.h"

namespace {

using namespace object;
using Frames = std::vector<int>;

class ObjectStep : public ::testing::Test {
 protected:
  void SetUp() override {
    base::InitDirTable();
    InitPool();
  }
  void TearDown() override { InitPool(); }
  // A kind with the animation entries {start, end, hold, loop}.
  static boost::intrusive_ptr<Object> Kind(std::vector<std::array<int, 4>> anims = {{0, 0, 0, 0}}) {
    boost::intrusive_ptr<Object> k = NewObject();
    k->SetAnimSize(static_cast<std::uint8_t>(anims.size()));
    for (std::size_t n = 0; n < anims.size(); ++n)
      k->SetAnim(std::uint8_t(n), anims[n][0], anims[n][1], std::uint8_t(anims[n][2]), anims[n][3]);
    return k;
  }
  // Frames shown after each of `steps` world steps.
  static Frames Play(Instance* i, int steps) {
    Frames out;
    for (int n = 0; n < steps; ++n) {
      UpdateWorld();
      out.push_back(i->frame);
    }
    return out;
  }
};

TEST_F(ObjectStep, AnimationSequences) {
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

TEST_F(ObjectStep, ChangingAnimTakesOverAtTheNextAdvance) {
  boost::intrusive_ptr<Object> k = Kind({{0, 3, 0, 1}, {10, 12, 2, 1}, {6, 4, 0, 0}});
  Instance* i = AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Play(i, 1), Frames({1}));
  i->anim = 1;  // tick is 0 and the new hold is 2: the frame waits two steps
  EXPECT_EQ(Play(i, 6), Frames({1, 1, 10, 10, 10, 11}));
  i->anim = 2;  // backwards from a frame above the new start: brought to the start
  EXPECT_EQ(Play(i, 4), Frames({6, 5, 4, 4}));
  i->anim = 0;  // forwards from a frame above the new end: looped back to the start
  EXPECT_EQ(Play(i, 2), Frames({0, 1}));
  // The table itself may change while instances play it, and a released kind plays on.
  k->SetAnim(0, 20, 21, 0, false);
  k->Release();
  k.reset();
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

TEST_F(ObjectStep, TheAnimationTable) {
  boost::intrusive_ptr<Object> k = NewObject();
  EXPECT_TRUE(k->animsize == 0 && !k->anims && !k->spriteset);
  k->SetAnimSize(3);
  k->SetAnim(0, 300, 2, 7, true);  // start and end keep their low 8 bits
  k->SetAnim(2, -1, 5, 0, false);
  EXPECT_THROW(k->SetAnim(3, 9, 9, 9, true), base::ScriptError);  // and writes nothing
  const AnimEntry& a = k->anims[0];
  EXPECT_TRUE(a.start == 44 && a.end == 2 && a.hold == 7 && a.loop && k->anims[2].start == 255);
  EXPECT_EQ(k->anims[1].start, 0);  // untouched entries stay zero
  EXPECT_EQ(AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 2, 1)->frame, 255);
  k->SetAnimSize(2);  // discards every entry set before
  EXPECT_EQ(k->animsize, 2);
  for (int n = 0; n < 2; ++n)
    EXPECT_TRUE(!k->anims[n].start && !k->anims[n].end && !k->anims[n].hold && !k->anims[n].loop);
}

TEST_F(ObjectStep, MotionAlongTheDirectionTable) {
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

TEST_F(ObjectStep, ANegativeLifeWrapsThroughSixteenBits) {
  Instance* i = AddLayer1(Kind().get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_TRUE(!i->disposed && i->life == 0 && i->age == 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

TEST_F(ObjectStep, EachParentListsAChildOnceAndAReusedInstanceStartsItsAnimationAfresh) {
  boost::intrusive_ptr<Object> k = Kind({{0, 3, 5, 1}});
  Instance *q = AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 0, 9), *d = AddLayer0(k.get(), nullptr, 0, 0, 0, 0, 0, 9);
  Instance* e = AddLayer0(k.get(), nullptr, 0, 0, 0, 0, 0, 9);
  for (int n = 0; n < 1000; ++n) {
    SetParent(d, q);
    SetParent(e, q);
  }
  EXPECT_TRUE(q->children == std::vector<Instance*>({d, e}) && d->adopted_by == std::vector<Instance*>({q}));
  UpdateWorld();  // tick 1 of hold 5
  ClearInstance();
  while (PoolFree() > 3) AddLayer3(k.get(), nullptr, 0, 0, 0, 0, 0, 9);
  EXPECT_TRUE(AddLayer3(k.get(), nullptr, 0, 0, 0, 0, 0, 9) == q && q->tick == 0);
}

}  // namespace
