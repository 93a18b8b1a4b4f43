// Kinds and their animation tables, and the parts of an instance's step that
// the kind drives: animation sequences, motion along the direction table,
// the life count, and kinds released while instances still use them.
#include <vector>

#include "object/geometry.h"
#include "object_test_util.h"

namespace object_test {
namespace {

using object::Instance;
using object::Object;

class KindTest : public ObjectTest {
 protected:
  // A kind with one animation entry.
  boost::intrusive_ptr<Object> Kind(int start, int end, int hold, bool loop) {
    boost::intrusive_ptr<Object> k = object::NewObject();
    k->SetAnimSize(1);
    k->SetAnim(0, start, end, static_cast<std::uint8_t>(hold), loop);
    return k;
  }
  // Frames shown after each of `steps` world steps.
  std::vector<int> Frames(Instance* i, int steps) {
    std::vector<int> out;
    for (int n = 0; n < steps; ++n) {
      object::UpdateWorld();
      out.push_back(i->frame);
    }
    return out;
  }
};

TEST_F(KindTest, FreshKindIsEmptyAndPropertiesReadBack) {
  EXPECT_EQ(Run("local k = NewObject()\n"
                "assert(k.cx == 0 and k.cy == 0 and k.hp == 0 and k.size == 0 and k.delay == 0)\n"
                "k.cx, k.cy, k.hp, k.size, k.delay = 8, -3, 100, 6, 250\n"
                "assert(k.cx == 8 and k.cy == -3 and k.hp == 100 and k.size == 6 and k.delay == 250)"),
            "");
  boost::intrusive_ptr<Object> k = object::NewObject();
  EXPECT_EQ(k->animsize, 0);
  EXPECT_EQ(k->anims, nullptr);
  EXPECT_EQ(k->spriteset, nullptr);
}

TEST_F(KindTest, AnimationTableEntries) {
  boost::intrusive_ptr<Object> k = object::NewObject();
  k->SetAnimSize(3);
  k->SetAnim(0, 300, 2, 7, true);  // start and end keep their low 8 bits
  EXPECT_EQ(k->anims[0].start, 44);
  EXPECT_EQ(k->anims[0].end, 2);
  EXPECT_EQ(k->anims[0].hold, 7);
  EXPECT_TRUE(k->anims[0].loop);
  k->SetAnim(2, -1, 5, 0, false);
  EXPECT_EQ(k->anims[2].start, 255);
  EXPECT_EQ(k->anims[1].start, 0);  // untouched entries stay zero
  // A second SetAnimSize discards every entry set before.
  k->SetAnimSize(2);
  EXPECT_EQ(k->animsize, 2);
  for (int n = 0; n < 2; ++n) {
    EXPECT_EQ(k->anims[n].start, 0);
    EXPECT_EQ(k->anims[n].end, 0);
    EXPECT_EQ(k->anims[n].hold, 0);
    EXPECT_FALSE(k->anims[n].loop);
  }
}

TEST_F(KindTest, SetAnimOutsideTheTableIsAScriptError) {
  EXPECT_TRUE(HasError("local k = NewObject() k:SetAnim(0, 1, 2, 0, true)", "SetAnim: animation 0"));
  EXPECT_TRUE(HasError("local k = NewObject() k:SetAnimSize(2) k:SetAnim(2, 1, 2, 0, true)",
                       "SetAnim: animation 2 does not exist (the kind has 2)"));
  EXPECT_TRUE(HasError("local k = NewObject() k:SetAnimSize(2) k:SetAnimSize(0)"
                       " k:SetAnim(0, 1, 2, 0, true)",
                       "SetAnim:"));
  // The valid entries were not touched by the refused calls.
  EXPECT_EQ(Run("k2 = NewObject() k2:SetAnimSize(1) k2:SetAnim(0, 4, 4, 0, false)\n"
                "pcall(function() k2:SetAnim(1, 9, 9, 9, true) end)"),
            "");
  EXPECT_EQ(Int("AddEnemy0(k2, nil, 0, 0, 0, 0, 0, 5) and 1"), 1);
  EXPECT_EQ(object::ListContents(object::kEnemy0)[0]->frame, 4);
}

TEST_F(KindTest, ReleasedKindRefusesEveryScriptUse) {
  EXPECT_EQ(Run("R = NewObject() R:SetAnimSize(1) R:Release()"), "");
  EXPECT_TRUE(HasError("R:Release()", "Release: the kind was released"));
  EXPECT_TRUE(HasError("R:SetAnimSize(2)", "SetAnimSize: the kind was released"));
  EXPECT_TRUE(HasError("R:SetAnim(0, 1, 1, 0, false)", "SetAnim: the kind was released"));
  EXPECT_TRUE(HasError("R:SetSpriteSet(nil)", "SetSpriteSet: the kind was released"));
  EXPECT_TRUE(HasError("local v = R.cx", "Object.cx: the kind was released"));
  EXPECT_TRUE(HasError("R.size = 3", "Object.size: the kind was released"));
  EXPECT_TRUE(HasError("AddLayer2(R, nil, 0, 0, 0, 0, 0, 5)", "AddLayer2: the kind was released"));
  EXPECT_EQ(object::PoolFree(), object::kPoolSize);
  EXPECT_TRUE(HasError("AddEBullet(nil, nil, 0, 0, 0, 0, 0, 5)", "AddEBullet: no kind"));
}

TEST_F(KindTest, KindReleasedWhileInUseStaysAliveForItsInstances) {
  EXPECT_EQ(Run("local k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 1, 3, 0, true) k.hp = 42\n"
                "e = AddEnemy0(k, nil, 10, 10, 65536, 0, 0, 100)\n"
                "k:Release() k = nil collectgarbage() collectgarbage()"),
            "");
  Instance* e = object::ListContents(object::kEnemy0)[0];
  ASSERT_TRUE(e->object);
  EXPECT_TRUE(e->object->released);
  EXPECT_EQ(e->object->refs, 1);  // only the instance holds it now
  object::UpdateWorld();
  object::UpdateWorld();
  EXPECT_EQ(e->frame, 3);  // still animated from the released kind's table
  EXPECT_EQ(Int("GetHP(e)"), 42);
  EXPECT_EQ(Int("GetX(e)"), 12);
}

TEST_F(KindTest, ForwardAnimationLoopsOrHolds) {
  Instance* i = object::AddEnemy0(Kind(2, 5, 0, true).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(i->frame, 2);
  EXPECT_EQ(Frames(i, 6), (std::vector<int>{3, 4, 5, 2, 3, 4}));
  Instance* j = object::AddEnemy0(Kind(2, 5, 0, false).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Frames(j, 5), (std::vector<int>{3, 4, 5, 5, 5}));
}

TEST_F(KindTest, BackwardAnimationLoopsOrHolds) {
  Instance* i = object::AddEnemy0(Kind(5, 2, 0, true).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(i->frame, 5);
  EXPECT_EQ(Frames(i, 6), (std::vector<int>{4, 3, 2, 5, 4, 3}));
  Instance* j = object::AddEnemy0(Kind(5, 2, 0, false).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Frames(j, 5), (std::vector<int>{4, 3, 2, 2, 2}));
  // A single-frame animation stays on its frame, looping or not.
  Instance* s = object::AddEnemy0(Kind(7, 7, 0, true).get(), nullptr, 0, 0, 0, 0, 0, 100);
  Instance* t = object::AddEnemy0(Kind(7, 7, 0, false).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Frames(s, 3), (std::vector<int>{7, 7, 7}));
  EXPECT_EQ(t->frame, 7);
}

TEST_F(KindTest, HoldShowsEachFrameForHoldPlusOneSteps) {
  Instance* i = object::AddEnemy0(Kind(0, 2, 3, true).get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Frames(i, 12), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0}));
}

TEST_F(KindTest, ChangingAnimTakesOverAtTheNextAdvance) {
  boost::intrusive_ptr<Object> k = object::NewObject();
  k->SetAnimSize(3);
  k->SetAnim(0, 0, 3, 0, true);
  k->SetAnim(1, 10, 12, 2, true);
  k->SetAnim(2, 6, 4, 0, false);
  Instance* i = object::AddEnemy0(k.get(), nullptr, 0, 0, 0, 0, 0, 100);
  EXPECT_EQ(Frames(i, 1), (std::vector<int>{1}));
  i->anim = 1;  // tick is 0 and the new hold is 2: the frame waits two steps
  EXPECT_EQ(Frames(i, 6), (std::vector<int>{1, 1, 10, 10, 10, 11}));
  // Backwards from a frame above the new start: brought to the start.
  i->anim = 2;
  EXPECT_EQ(Frames(i, 4), (std::vector<int>{6, 5, 4, 4}));
  // Forwards from a frame above the new end: looped back to the start.
  i->anim = 0;
  EXPECT_EQ(Frames(i, 2), (std::vector<int>{0, 1}));
  // The table itself may change while instances play it.
  k->SetAnim(0, 20, 21, 0, false);
  EXPECT_EQ(Frames(i, 2), (std::vector<int>{20, 21}));
}

TEST_F(KindTest, AnimOutOfRangeIsSteppedButNotAnimated) {
  Instance* i = object::AddEnemy0(Kind(0, 3, 0, true).get(), nullptr, 5, 5, 65536, 0, 0, 100);
  object::UpdateWorld();
  i->anim = 9;  // a script wrote an index the table does not have
  EXPECT_EQ(Frames(i, 3), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(object::GetX(i), 9);
  EXPECT_EQ(i->age, 4);
  // A table shrunk under a live instance is treated the same way.
  i->anim = 0;
  i->object->SetAnimSize(0);
  EXPECT_EQ(Frames(i, 1), (std::vector<int>{1}));
  EXPECT_EQ(i->age, 5);
}

TEST_F(KindTest, MotionAlongTheDirectionTable) {
  auto k = Kind(0, 0, 0, false);
  Instance* right = object::AddLayer0(k.get(), nullptr, 100, 100, 65536, 0, 0, 100);
  Instance* down = object::AddLayer0(k.get(), nullptr, 100, 100, 65536, 30, 0, 100);
  Instance* wrapped = object::AddLayer0(k.get(), nullptr, 100, 100, 65536, 150, 0, 100);
  Instance* back = object::AddLayer0(k.get(), nullptr, 100, 100, -65536, 0, 0, 100);
  Instance* half = object::AddLayer0(k.get(), nullptr, 100, 100, 32768, 60, 0, 100);
  Instance* diag = object::AddLayer0(k.get(), nullptr, 100, 100, 65536, 15, 0, 100);
  Instance* tiny = object::AddLayer0(k.get(), nullptr, 100, 100, 255, 0, 0, 100);
  Instance* neg = object::AddLayer0(k.get(), nullptr, 100, 100, -1, 0, 0, 100);
  Instance* spun = object::AddLayer0(k.get(), nullptr, 100, 100, 65536, 300, 0, 100);
  EXPECT_EQ(spun->dir, 44);
  EXPECT_EQ(wrapped->dir, 150);
  for (int n = 0; n < 3; ++n) object::UpdateWorld();
  EXPECT_EQ(object::GetX(right), 103);
  EXPECT_EQ(object::GetY(right), 100);
  EXPECT_EQ(object::GetX(down), 100);
  EXPECT_EQ(object::GetY(down), 103);
  EXPECT_EQ(wrapped->x, down->x);
  EXPECT_EQ(wrapped->y, down->y);
  EXPECT_EQ(wrapped->dir, 150);  // the stored direction is not reduced
  EXPECT_EQ(object::GetX(back), 97);
  EXPECT_EQ(half->x, (100 << 16) - 3 * 32768);
  // Low 8 fraction bits of both factors dropped: 256 * (46340 >> 8).
  EXPECT_EQ(diag->x, (100 << 16) + 3 * 256 * 181);
  EXPECT_EQ(diag->y, (100 << 16) + 3 * 256 * 181);
  EXPECT_EQ(tiny->x, 100 << 16);              // 255 >> 8 is 0
  EXPECT_EQ(neg->x, (100 << 16) - 3 * 256);  // -1 >> 8 is -1 (arithmetic)
  const base::DirEntry& u = base::DirTable[44];
  EXPECT_EQ(spun->x, (100 << 16) + 3 * 256 * (u.cos >> 8));
}

TEST_F(KindTest, LifeCountsDownAndEndsTheInstance) {
  EXPECT_EQ(Run("n = 0 function up(i) n = n + 1 end function gone(i) note('gone' .. n) end\n"
                "a = AddEnemy1(K, 'up', 0, 0, 0, 0, 0, 3) SetDisposer(a, 'gone')\n"
                "z = AddEnemy0(K, 'up', 0, 0, 0, 0, 0, 0) SetDisposer(z, 'gone')"),
            "");
  Instance* a = Inst("a");
  object::UpdateWorld();  // z: disposed at its first step, its updater never runs
  EXPECT_EQ(Str("log"), "gone0 ");
  EXPECT_EQ(Int("n"), 1);
  object::UpdateWorld();
  object::UpdateWorld();
  EXPECT_EQ(Int("n"), 3);
  EXPECT_EQ(a->age, 3);
  EXPECT_FALSE(a->disposed);
  object::UpdateWorld();  // the 4th step disposes it, and the walk returns it
  EXPECT_EQ(Str("log"), "gone0 gone3 ");
  EXPECT_EQ(Int("n"), 3);
  EXPECT_TRUE(object::ListContents(object::kEnemy1).empty());
  EXPECT_EQ(object::PoolFree(), object::kPoolSize);
}

TEST_F(KindTest, NegativeLifeWrapsThroughSixteenBits) {
  Instance* i = object::AddLayer1(Kind(0, 0, 0, false).get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_FALSE(i->disposed);
  EXPECT_EQ(i->life, 0);
  EXPECT_EQ(i->age, 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

}  // namespace
}  // namespace object_test
