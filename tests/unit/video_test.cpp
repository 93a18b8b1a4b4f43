// Video: start-up failures; DrawSprite and DrawSpriteSolid against a pixel-by-pixel reference
// render. The palette upload, recording, text and bad sets: video_golden and video_record_fails.
#include <gtest/gtest.h>

#include <climits>

#include "tests/unit/fake_platform.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"

namespace {

using namespace video_test;
// A missing or short pal.pal, or a display that cannot open: start-up fails with the cause.
TEST(Video, MissingOrShortPaletteOrNoWindowFailsWithACause) {
  test_support::ScratchDir game{"lunashot-video", {"sprite"}};
  test_support::FakeDisplay display;
  test_support::FakeBackends backends({nullptr, &display, nullptr, nullptr, nullptr});
  std::string e;
  EXPECT_TRUE(!video::InitVideo(&e) && e.find("pal.pal: No such file") != e.npos) << e;
  game.Write("sprite/pal.pal", Bytes(197375));
  EXPECT_TRUE(!video::InitVideo(&e) && e.find("only 197375 bytes") != e.npos && e.find('\n') == e.npos) << e;
  game.Write("sprite/pal.pal", Bytes(197376));
  display.can_open = false;
  EXPECT_TRUE(!video::InitVideo(&e) && e == "no window") << e;
  video::QuitVideo();
}

// Draws `p` at (x, y) on a w x h target with both draws and compares each
// with the reference.
void Check(const Pattern& p, int w, int h, int x, int y) {
  SetPtr set = Parse(SetFile({Record(p)}));
  ASSERT_TRUE(set);
  for (bool solid : {false, true}) {
    Target t(w, h);
    Bytes want = Reference(t, p, x, y, solid, 77);
    if (solid)
      video::DrawSpriteSolid(t.s, set->sprites[0], x, y, 77);
    else
      video::DrawSprite(t.s, set->sprites[0], x, y);
    ASSERT_EQ(t.pixels(), want) << "solid " << solid << " at " << x << "," << y << " on " << w;
  }
}

TEST(SpriteDraw, MatchesThePixelByPixelRenderAtEveryPosition) {
  FillBlendTable();
  // Three rows with every kind of run, a hole in the middle and a short row,
  // from wholly off one edge to wholly off the other.
  const Pattern ship{{"..ab..", ".cAAd.", "ef..gh", "iB"}, 2};
  for (int y = -6; y <= 11; ++y)
    for (int x = -8; x <= 17; ++x) Check(ship, 12, 7, x, y);
  // The edges of a full-width target.
  for (int x : {-2, -1, 0, 317, 318, 319, 320}) Check(Pattern{{"aBc"}}, 320, 4, x, 1);
  for (int y : {-4, -2, 0, 8, 9, 10}) Check(Pattern{{"a", "B", "c", "d"}}, 2, 10, 1, y);
}

TEST(SpriteDraw, LongRunsCutOnBothSidesAtEveryLevel) {
  FillBlendTable();
  // Runs longer than the target on both sides, of every kind and of the
  // lengths the copy handles specially.
  for (int n : {1, 3, 4, 7, 8, 15, 16, 17, 31, 32, 33, 100}) {
    std::string opaque(n, 'e'), blended(n, 'C');
    Pattern p{{opaque + "..." + blended, blended + opaque}, n % 3};
    for (int x : {-n - 2, -n, -n + 1, -1, 0, 1, 5, 9}) {
      Check(p, 10, 2, x, 0);
      Check(p, 2 * n + 8, 2, x + n, 0);
    }
  }
}

TEST(SpriteDraw, PlacementsOffTheEdgesAndEmptySpritesChangeNothing) {
  SetPtr set = Parse(SetFile(
      {Record(Pattern{{"..ab..", ".cAAd."}}), Record(0, 0, {}), Record(5, 2, {0, 0, 0, 0})}));
  ASSERT_TRUE(set);
  Target t(12, 7);
  Bytes before = t.pixels();
  const int places[][2] = {{12, 0},      {0, 7},       {-6, 0},
                           {0, -2},      {INT_MAX, 0}, {INT_MIN, 0},
                           {0, INT_MAX}, {0, INT_MIN}, {INT_MIN, INT_MIN}};
  for (auto [x, y] : places) {
    video::DrawSprite(t.s, set->sprites[0], x, y);
    video::DrawSpriteSolid(t.s, set->sprites[0], x, y, 5);
  }
  for (int x = -6; x < 13; ++x)
    for (int s : {1, 2}) {
      video::DrawSprite(t.s, set->sprites[s], x, 1);
      video::DrawSpriteSolid(t.s, set->sprites[s], x, 1, 5);
    }
  EXPECT_EQ(t.pixels(), before);
}

TEST(Surface, WrappedMemoryIsNeverFreed) {
  std::uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
  video::Surface* s = video::WrapSurface(pixels, 3, 2);
  EXPECT_TRUE(!s->owns && s->size == 6);
  video::DestroySurface(s);  // freeing stack memory here would abort
  EXPECT_EQ(video::CreateSurface(-1, 2), nullptr);
}

}  // namespace
