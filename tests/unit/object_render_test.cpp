// The render: list order and order within a list, hotspots, children at
// absolute positions, the one-frame `hit` flash, and the instances that are
// stepped but never drawn (disposed, no sprite set, anim or frame outside
// the tables).
#include <cstring>
#include <vector>

#include <luabind/luabind.hpp>

#include "base/sprite_file.h"
#include "object/geometry.h"
#include "object_test_util.h"
#include "video/display.h"
#include "video/sprite.h"
#include "video/surface.h"

namespace object_test {
namespace {

using object::Instance;

// Sprite n is a size x size square of colour 10 + n.
boost::intrusive_ptr<video::SpriteSet> Squares(int count, int size) {
  std::vector<base::SpriteData> sprites(static_cast<std::size_t>(count));
  std::vector<std::uint8_t> file;
  std::string error;
  for (int n = 0; n < count; ++n) {
    base::PixelImage square(size, size);
    for (base::Pixel& p : square.pixels) p = {base::Pixel::kOpaque, static_cast<std::uint8_t>(10 + n), 0};
    EXPECT_TRUE(base::EncodeSprite(square, &sprites[static_cast<std::size_t>(n)], &error));
  }
  EXPECT_TRUE(base::EncodeSpriteSet(sprites, &file, &error)) << error;
  video::SpriteSet* set = video::ParseSpriteSet(file.data(), file.size(), &error);
  EXPECT_NE(set, nullptr) << error;
  return boost::intrusive_ptr<video::SpriteSet>(set);
}

class RenderTest : public ObjectTest {
 protected:
  void SetUp() override {
    ObjectTest::SetUp();
    saved_ = video::BackBuffer;
    video::BackBuffer = video::CreateSurface(320, 240);
    luabind::globals(L)["SQ"] = Squares(12, 2);
    // kind(n): a kind showing sprite n of SQ.
    EXPECT_EQ(Run("function kind(n) local k = NewObject() k:SetSpriteSet(SQ) k:SetAnimSize(1)\n"
                  "  k:SetAnim(0, n, n, 0, false) return k end"),
              "");
  }
  void TearDown() override {
    video::DestroySurface(video::BackBuffer);
    video::BackBuffer = saved_;
    ObjectTest::TearDown();
  }
  int Pixel(int x, int y) { return video::BackBuffer->pixels[y * 320 + x]; }
  void Render() {
    std::memset(video::BackBuffer->pixels, 0, 320 * 240);
    object::RenderWorld();
  }
  video::Surface* saved_ = nullptr;
};

TEST_F(RenderTest, ListsAreDrawnInTheirFixedOrder) {
  // One instance per list on the same pixel, each its own colour.
  EXPECT_EQ(Run("top = {}\n"
                "for n, add in ipairs({AddLayer0, AddLayer1, AddEnemy0, AddLayer2, AddEnemy1,"
                " AddPBullet, AddEBullet, AddLayer3}) do\n"
                "  top[n] = add(kind(n), nil, 50, 50, 0, 0, 0, 10) end"),
            "");
  // Peel the top one off after each render: the next list below shows.
  for (int n = 8; n >= 1; --n) {
    Render();
    EXPECT_EQ(Pixel(50, 50), 10 + n) << "list drawn " << n << "th";
    EXPECT_EQ(Run("Dispose(top[" + std::to_string(n) + "])"), "");
  }
  Render();
  EXPECT_EQ(Pixel(50, 50), 0);
}

TEST_F(RenderTest, WithinAListTheOldestIsOnTop) {
  EXPECT_EQ(Run("old = AddEnemy0(kind(1), nil, 20, 20, 0, 0, 0, 10)\n"
                "new = AddEnemy0(kind(2), nil, 21, 20, 0, 0, 0, 10)"),
            "");
  Render();
  EXPECT_EQ(Pixel(20, 20), 11);
  EXPECT_EQ(Pixel(21, 20), 11);  // the newer one was drawn first, then covered
  EXPECT_EQ(Pixel(22, 20), 12);
}

TEST_F(RenderTest, HotspotAndParentsPlaceTheSprite) {
  EXPECT_EQ(Run("local k = kind(3) k.cx, k.cy = 8, 8\n"
                "a = AddLayer0(k, nil, 100, 50, 0, 0, 0, 10)\n"
                "p = AddLayer0(kind(0), nil, 200, 100, 0, 0, 0, 10)\n"
                "c = AddLayer1(kind(4), nil, 10, -5, 0, 0, 0, 10) SetParent(c, p)"),
            "");
  Render();
  EXPECT_EQ(Pixel(92, 42), 13);
  EXPECT_EQ(Pixel(93, 43), 13);
  EXPECT_EQ(Pixel(94, 43), 0);
  EXPECT_EQ(Pixel(91, 42), 0);
  EXPECT_EQ(Pixel(210, 95), 14);  // child at its absolute position
  EXPECT_EQ(Pixel(10, 235), 0);
}

TEST_F(RenderTest, HitFlashesOnceAsASolidShape) {
  EXPECT_EQ(Run("a = AddEnemy0(kind(5), nil, 30, 30, 0, 0, 0, 10) a.hit = 7"), "");
  object::UpdateWorld();  // an update alone does not use up the flash
  EXPECT_EQ(Inst("a")->hit, 7);
  Render();
  EXPECT_EQ(Pixel(30, 30), 7);
  EXPECT_EQ(Pixel(31, 31), 7);
  EXPECT_EQ(Int("a.hit"), 0);
  Render();
  EXPECT_EQ(Pixel(30, 30), 15);
}

TEST_F(RenderTest, InstancesThatCannotBeDrawnAreSteppedButNotDrawn) {
  EXPECT_EQ(Run("bare = NewObject() bare:SetAnimSize(1)\n"  // no sprite set
                "a = AddLayer0(bare, nil, 10, 10, 0, 0, 0, 10)\n"
                "b = AddLayer0(kind(1), nil, 20, 10, 0, 0, 0, 10) b.anim = 3\n"  // anim out of range
                "c = AddLayer0(kind(12), nil, 30, 10, 0, 0, 0, 10)\n"  // frame 12 of 12 sprites
                "local k = kind(0) k:SetAnim(0, 255, 255, 0, false)\n"
                "d = AddLayer0(k, nil, 40, 10, 0, 0, 0, 10)\n"
                "e = AddLayer0(kind(2), nil, 50, 10, 0, 0, 0, 10) e.hit = 9 Dispose(e)\n"
                "far = AddLayer0(kind(2), nil, 60, 10, 0, 0, 0, 10)\n"
                "local f = kind(2) f.cx = -2147483647 far2 = AddLayer0(f, nil, 32767, 10, 0, 0, 0, 10)"),
            "");
  Render();
  for (int x = 0; x < 320; ++x)
    if (x < 60 || x > 61) EXPECT_EQ(Pixel(x, 10), 0) << x;
  EXPECT_EQ(Pixel(60, 10), 12);
  EXPECT_EQ(Inst("e")->hit, 9);  // not drawn, so not used up
  object::UpdateWorld();
  EXPECT_EQ(Inst("a")->age, 1);
  EXPECT_EQ(Inst("b")->age, 1);
  EXPECT_EQ(Inst("c")->age, 1);
  // Set right again, the instance shows from the next render on.
  EXPECT_EQ(Run("b.anim = 0"), "");
  Render();
  EXPECT_EQ(Pixel(20, 10), 11);
}

TEST_F(RenderTest, AReleasedSpriteSetIsStillDrawnByItsKinds) {
  EXPECT_EQ(Run("local k = kind(6) a = AddLayer3(k, nil, 5, 5, 0, 0, 0, 10)\n"
                "SQ:Release()"),
            "");
  EXPECT_TRUE(HasError("kind(1)", "SetSpriteSet: the sprite set was released"));
  EXPECT_EQ(Run("SQ = nil collectgarbage() collectgarbage()"), "");
  Render();
  EXPECT_EQ(Pixel(5, 5), 16);
}

}  // namespace
}  // namespace object_test
