// Surfaces and surface sets: ownership, the file layouts, and files that
// are refused whole (missing, truncated, oversized).
#include <gtest/gtest.h>

#include "tests/unit/video_test_support.h"

namespace {

using namespace video_test;

Bytes Image(std::int32_t width, std::int32_t height, std::uint8_t first = 1) {
  Bytes b;
  PutLe32(&b, static_cast<std::uint32_t>(width));
  PutLe32(&b, static_cast<std::uint32_t>(height));
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(width) * height; ++i)
    b.push_back(static_cast<std::uint8_t>(first + i));
  return b;
}

class Surfaces : public ::testing::Test {
 protected:
  test_support::ScratchDir game_{"lunashot-video", {"sprite"}};
};

TEST_F(Surfaces, WrappedMemoryIsNeverFreed) {
  std::uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
  video::Surface* s = video::WrapSurface(pixels, 3, 2);
  EXPECT_TRUE(!s->owns && s->size == 6);
  video::DestroySurface(s);  // freeing stack memory here would abort
  video::Surface* owned = video::CreateSurface(3, 2);
  EXPECT_TRUE(owned->owns && owned->size == 6);
  video::DestroySurface(owned);
  EXPECT_EQ(video::CreateSurface(-1, 2), nullptr);
}

TEST_F(Surfaces, LoadsAThreeByTwoImageFromFourteenBytes) {
  Bytes file = Image(3, 2, 10);
  ASSERT_EQ(file.size(), 14u);
  game_.Write("sprite/one.img", file);
  std::string error;
  video::Surface* s = video::LoadSurface("one.img", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_TRUE(s->width == 3 && s->height == 2);
  EXPECT_EQ(Bytes(s->pixels, s->pixels + 6), Bytes({10, 11, 12, 13, 14, 15}));
  video::DestroySurface(s);
}

TEST_F(Surfaces, RefusesMissingTruncatedAndOversizedImages) {
  std::string error;
  EXPECT_EQ(video::LoadSurface("none.img", &error), nullptr);
  EXPECT_NE(error.find("none.img: cannot open"), std::string::npos) << error;
  Bytes file = Image(3, 2);
  for (std::size_t n = 0; n < file.size(); ++n) {
    game_.Write("sprite/cut.img", Bytes(file.begin(), file.begin() + n));
    EXPECT_EQ(video::LoadSurface("cut.img", &error), nullptr) << n;
    EXPECT_NE(error.find("cut.img: truncated"), std::string::npos) << error;
  }
  for (auto wh :
       {std::pair<std::int32_t, std::int32_t>{-1, 1}, {1, -1}, {0x7FFFFFFF, 2}, {16384, 16384}}) {
    Bytes header;
    PutLe32(&header, static_cast<std::uint32_t>(wh.first));
    PutLe32(&header, static_cast<std::uint32_t>(wh.second));
    game_.Write("sprite/big.img", header);
    EXPECT_EQ(video::LoadSurface("big.img", &error), nullptr);
    EXPECT_NE(error.find("bad image size"), std::string::npos) << error;
  }
}

TEST_F(Surfaces, SetsLoadWholeOrNotAtAll) {
  Bytes set = {2, 0};
  Bytes a = Image(2, 2, 1), b = Image(1, 3, 50);
  set.insert(set.end(), a.begin(), a.end());
  set.insert(set.end(), b.begin(), b.end());
  game_.Write("sprite/two.set", set);
  std::string error;
  video::SurfaceSet* s = video::LoadSurfaceSet("two.set", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_STREQ(s->name, "two.set");
  ASSERT_EQ(s->count, 2);
  EXPECT_EQ(s->surfaces[1]->height, 3);
  EXPECT_EQ(s->surfaces[1]->pixels[2], 52);
  video::DestroySurfaceSet(s);

  game_.Write("sprite/cut.set", Bytes(set.begin(), set.end() - 1));
  EXPECT_EQ(video::LoadSurfaceSet("cut.set", &error), nullptr);
  EXPECT_NE(error.find("cut.set: image 1 of 2: truncated"), std::string::npos) << error;
  game_.Write("sprite/huge.set", {0xFF, 0xFF});
  EXPECT_EQ(video::LoadSurfaceSet("huge.set", &error), nullptr);
  EXPECT_NE(error.find("image 0 of 65535"), std::string::npos) << error;
  game_.Write("sprite/short.set", {7});
  EXPECT_EQ(video::LoadSurfaceSet("short.set", &error), nullptr);

  game_.Write("sprite/empty.set", {0, 0});
  s = video::LoadSurfaceSet("empty.set", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_EQ(s->count, 0);
  EXPECT_EQ(s->surfaces, nullptr);
  video::DestroySurfaceSet(s);
}

}  // namespace
