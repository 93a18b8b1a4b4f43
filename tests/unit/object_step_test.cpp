// What scripts cannot read of a world step: the frame shown when the animation changes, the
// animation table, the 16-bit life count and parent links kept once. The rest: the rows game test;
// animation and motion as they play: object_world's and demo_play's golden frames.
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

TEST_F(ObjectStep, ANegativeLifeWrapsThroughSixteenBits) {
  Instance* i = AddLayer1(Kind().get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_TRUE(!i->disposed && i->life == 0 && i->age == 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

TEST_F(ObjectStep, EachParentListsAChildOnce) {
  boost::intrusive_ptr<Object> k = Kind();
  Instance *q = AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 0, 9), *d = AddLayer0(k.get(), nullptr, 0, 0, 0, 0, 0, 9);
  Instance* e = AddLayer0(k.get(), nullptr, 0, 0, 0, 0, 0, 9);
  for (int n = 0; n < 1000; ++n) {
    SetParent(d, q);
    SetParent(e, q);
  }
  EXPECT_TRUE(q->children == std::vector<Instance*>({d, e}) && d->adopted_by == std::vector<Instance*>({q}));
}

}  // namespace
