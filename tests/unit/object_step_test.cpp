// What neither scripts nor frames show of instances: a fresh animation table, the 16-bit life
// count, parent links kept once. Scripts' view: the rows game test; animation and motion as they
// play: object_world's and demo_play's golden frames.
#include <gtest/gtest.h>

#include <vector>

#include "base/error.h"
#include "object/instance.h"

namespace {

using namespace object;

class ObjectStep : public ::testing::Test {
 protected:
  void SetUp() override {
    InitPool();
    kind_->SetAnimSize(1);
  }
  void TearDown() override { InitPool(); }
  boost::intrusive_ptr<Object> kind_ = NewObject();
};

TEST_F(ObjectStep, TheAnimationTableStartsZeroedAndRefusesAnIndexPastIt) {
  kind_->SetAnimSize(2);
  kind_->SetAnim(0, 1, 2, 3, true);
  kind_->SetAnim(1, 4, 5, 6, true);
  EXPECT_THROW(kind_->SetAnim(2, 9, 9, 9, true), base::ScriptError);  // and writes nothing
  kind_->SetAnimSize(3);  // discards every entry set before
  for (const AnimEntry* a = kind_->anims; a < kind_->anims + 3; ++a)
    EXPECT_TRUE(!a->start && !a->end && !a->hold && !a->loop);
}

TEST_F(ObjectStep, ANegativeLifeWrapsThroughSixteenBits) {
  Instance* i = AddLayer1(kind_.get(), nullptr, 0, 0, 0, 0, 0, -1);
  for (int n = 0; n < 65535; ++n) i->Step();
  EXPECT_TRUE(!i->disposed && i->life == 0 && i->age == 65535);
  i->Step();
  EXPECT_TRUE(i->disposed);
}

TEST_F(ObjectStep, EachParentListsAChildOnce) {
  Instance *q = AddEnemy0(kind_.get(), nullptr, 0, 0, 0, 0, 0, 9), *d = AddLayer0(kind_.get(), nullptr, 0, 0, 0, 0, 0, 9);
  Instance* e = AddLayer0(kind_.get(), nullptr, 0, 0, 0, 0, 0, 9);
  for (int n = 0; n < 1000; ++n) {
    SetParent(d, q);
    SetParent(e, q);
  }
  EXPECT_TRUE(q->children == std::vector<Instance*>({d, e}) && d->adopted_by == std::vector<Instance*>({q}));
}

}  // namespace
