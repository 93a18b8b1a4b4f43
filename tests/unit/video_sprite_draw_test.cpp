// DrawSprite and DrawSpriteSolid: clipping on every edge, transparency,
// blending and the solid draw's clipped-blend difference.
#include <gtest/gtest.h>

#include "tests/unit/video_test_support.h"

namespace {

using namespace video_test;

// Three rows with every kind of run, a hole in the middle and a short row.
const Pattern kShip{{
                        "..ab..",
                        ".cAAd.",
                        "ef..gh",
                        "iB",
                    },
                    2};

class SpriteDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    FillBlendTable();
    set_ = Parse(SetFile({Record(kShip)}));
    ASSERT_TRUE(set_);
    sprite_ = set_->sprites[0];
  }
  SetPtr set_;
  const video::Sprite* sprite_ = nullptr;
};

TEST_F(SpriteDraw, MatchesPixelByPixelRenderAtEveryPosition) {
  // A small target and every position from wholly off one edge to wholly
  // off the other, for both draws.
  for (bool solid : {false, true})
    for (int y = -6; y <= 11; ++y)
      for (int x = -8; x <= 17; ++x) {
        Target t(12, 7);
        Bytes want = Reference(t, kShip, x, y, solid, 77);
        if (solid)
          video::DrawSpriteSolid(t.s, sprite_, x, y, 77);
        else
          video::DrawSprite(t.s, sprite_, x, y);
        ASSERT_EQ(t.pixels(), want) << "solid " << solid << " at " << x << "," << y;
      }
}

TEST_F(SpriteDraw, PlacementsOnTheEdgesChangeNothing) {
  Target t(12, 7);
  Bytes before = t.pixels();
  const int w = sprite_->width, h = sprite_->height;
  for (auto xy : {std::pair<int, int>{12, 0}, {0, 7}, {-w, 0}, {0, -h}, {INT_MAX, 0},
                  {INT_MIN, 0}, {0, INT_MAX}, {0, INT_MIN}, {INT_MIN, INT_MIN}}) {
    video::DrawSprite(t.s, sprite_, xy.first, xy.second);
    video::DrawSpriteSolid(t.s, sprite_, xy.first, xy.second, 5);
  }
  EXPECT_EQ(t.pixels(), before);
}

TEST(SpriteClip, ThreeWideSpriteOnA320WideTarget) {
  SetPtr set = Parse(SetFile({Record(Pattern{{"abc"}})}));
  ASSERT_TRUE(set);
  Target t(320, 4);
  video::DrawSprite(t.s, set->sprites[0], -1, 0);
  EXPECT_EQ(t.at(0, 0), 2);  // columns 1 and 2 on 0 and 1
  EXPECT_EQ(t.at(1, 0), 3);
  video::DrawSprite(t.s, set->sprites[0], 318, 1);
  EXPECT_EQ(t.at(318, 1), 1);  // columns 0 and 1 on 318 and 319
  EXPECT_EQ(t.at(319, 1), 2);
}

TEST(SpriteClip, FourHighSpriteAtTopAndBottom) {
  SetPtr set = Parse(SetFile({Record(Pattern{{"a", "b", "c", "d"}})}));
  ASSERT_TRUE(set);
  Target t(2, 10);
  Bytes before = t.pixels();
  video::DrawSprite(t.s, set->sprites[0], 0, -2);
  EXPECT_EQ(t.at(0, 0), 3);  // rows 2 and 3 on rows 0 and 1
  EXPECT_EQ(t.at(0, 1), 4);
  EXPECT_EQ(t.at(0, 2), before[4]);
  video::DrawSprite(t.s, set->sprites[0], 1, 9);  // only row 0
  EXPECT_EQ(t.at(1, 9), 1);
  EXPECT_EQ(t.at(1, 8), before[17]);
}

TEST(SpriteClip, LongRunsCutOnBothSides) {
  FillBlendTable();
  // Runs longer than the target on both sides, of every kind and of the
  // lengths the copy handles specially.
  for (int n : {1, 3, 4, 7, 8, 15, 16, 17, 31, 32, 33, 100}) {
    std::string opaque(n, 'e'), blended(n, 'C');
    Pattern p{{opaque + "..." + blended, blended + opaque}, 0};
    SetPtr set = Parse(SetFile({Record(p)}));
    ASSERT_TRUE(set);
    for (int x : {-n - 2, -n, -n + 1, -1, 0, 1, 5, 9}) {
      Target t(10, 2);
      Bytes want = Reference(t, p, x, 0, false, 0);
      video::DrawSprite(t.s, set->sprites[0], x, 0);
      ASSERT_EQ(t.pixels(), want) << "n " << n << " x " << x;
      Target u(2 * n + 8, 2);
      want = Reference(u, p, x + n, 0, true, 9);
      video::DrawSpriteSolid(u.s, set->sprites[0], x + n, 0, 9);
      ASSERT_EQ(u.pixels(), want) << "solid n " << n << " x " << x + n;
    }
  }
}

TEST(SpriteSolid, BlendedPixelsTakeTheColourOnlyWhenNotClipped) {
  SetPtr set = Parse(SetFile({Record(Pattern{{"AB"}, 1})}));
  ASSERT_TRUE(set);
  FillBlendTable();
  Target inside(4, 1), left(4, 1), right(4, 1);
  Bytes before = inside.pixels();
  video::DrawSpriteSolid(inside.s, set->sprites[0], 0, 0, 50);
  EXPECT_EQ(inside.at(0, 0), 50);
  EXPECT_EQ(inside.at(1, 0), 50);
  // Crossing an edge: the entry (target pixel, colour) at the pixel's level;
  // the pixel's own source index plays no part.
  video::DrawSpriteSolid(left.s, set->sprites[0], -1, 0, 50);
  EXPECT_EQ(left.at(0, 0), Blend(before[0], 50, 1));
  EXPECT_EQ(left.at(1, 0), before[1]);
  video::DrawSpriteSolid(right.s, set->sprites[0], 3, 0, 50);
  EXPECT_EQ(right.at(3, 0), Blend(before[3], 50, 1));
  EXPECT_EQ(right.at(2, 0), before[2]);
}

TEST(SpriteDrawBlend, UsesTheTargetPixelAndLevel) {
  FillBlendTable();
  for (int level = 0; level <= 2; ++level) {
    SetPtr set = Parse(SetFile({Record(Pattern{{"BBB"}, level})}));
    ASSERT_TRUE(set);
    Target t(3, 1);
    Bytes before = t.pixels();
    video::DrawSprite(t.s, set->sprites[0], 0, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(t.at(i, 0), Blend(before[i], 2, level));
  }
}

TEST(SpriteEmpty, ZeroSizedSpritesDrawNothing) {
  SetPtr set = Parse(SetFile({Record(0, 0, {}), Record(5, 2, {0, 0, 0, 0})}));
  ASSERT_TRUE(set);
  Target t(6, 3);
  Bytes before = t.pixels();
  for (int x = -6; x < 7; ++x) {
    video::DrawSprite(t.s, set->sprites[0], x, 1);
    video::DrawSprite(t.s, set->sprites[1], x, 1);
  }
  EXPECT_EQ(t.pixels(), before);
}

}  // namespace
