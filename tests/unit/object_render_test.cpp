// The render: the order of the lists, and the instances that are stepped
// but never drawn (disposed, no sprite set, anim or frame outside the
// tables). The one-frame `hit` flash, hotspots and children at absolute
// positions show in the golden frames of object_world.
#include <cstring>

#include "tests/unit/lua_fixture.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"

namespace {

class RenderTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    LuaFixture::SetUp();
    saved_ = video::BackBuffer;
    video::BackBuffer = video::CreateSurface(320, 240);
    // SQ: sprite n is a 2 x 2 square of colour 10 + n; kind(n) shows it.
    std::vector<video_test::Bytes> squares;
    for (char c = 'j'; c < 'j' + 12; ++c) squares.push_back(video_test::Record({{{c, c}, {c, c}}}));
    luabind::globals(L)["SQ"] = boost::intrusive_ptr<video::SpriteSet>(
        video_test::Parse(video_test::SetFile(squares)).release());
    Ok("function kind(n) local k = NewObject() k:SetSpriteSet(SQ) k:SetAnimSize(1)\n"
       "  k:SetAnim(0, n, n, 0, false) return k end");
  }
  void TearDown() override {
    video::DestroySurface(video::BackBuffer);
    video::BackBuffer = saved_;
    LuaFixture::TearDown();
  }
  int Pixel(int x, int y) { return video::BackBuffer->pixels[y * 320 + x]; }
  void Render() {
    std::memset(video::BackBuffer->pixels, 0, 320 * 240);
    object::RenderWorld();
  }
  video::Surface* saved_ = nullptr;
};

TEST_F(RenderTest, ListsAreDrawnInTheirFixedOrder) {
  // One instance per list on the same pixel; peel the top one off after each render.
  Ok("top = {} for n, add in ipairs({AddLayer0, AddLayer1, AddEnemy0, AddLayer2, AddEnemy1,"
     " AddPBullet, AddEBullet, AddLayer3}) do top[n] = mk(add, kind(n), 50, 50) end");
  for (int n = 8; n >= 1; --n) {
    Render();
    EXPECT_EQ(Pixel(50, 50), 10 + n) << "list drawn " << n << "th";
    Ok("Dispose(top[" + std::to_string(n) + "])");
  }
}

TEST_F(RenderTest, InstancesThatCannotBeDrawnAreSteppedButNotDrawn) {
  Ok("bare = NewObject() bare:SetAnimSize(1)\n"  // no sprite set
     "a = mk(AddLayer0, bare, 10, 10) b = mk(AddLayer0, kind(1), 20, 10) b.anim = 3\n"
     "c = mk(AddLayer0, kind(12), 30, 10)\n"  // frame 12 of 12 sprites
     "local k = kind(0) k:SetAnim(0, 255, 255, 0, false) d = mk(AddLayer0, k, 40, 10)\n"
     "e = mk(AddLayer0, kind(2), 50, 10) e.hit = 9 Dispose(e)\n"
     "far = mk(AddLayer0, kind(2), 60, 10)\n"
     "local f = kind(2) f.cx = -2147483647 far2 = mk(AddLayer0, f, 32767, 10)");
  Render();
  for (int x = 0; x < 320; ++x)
    if (x < 60 || x > 61) EXPECT_EQ(Pixel(x, 10), 0) << x;
  EXPECT_EQ(Pixel(60, 10), 12);
  EXPECT_EQ(Inst("e")->hit, 9);  // not drawn, so not used up
  object::UpdateWorld();
  EXPECT_TRUE(Inst("a")->age == 1 && Inst("b")->age == 1 && Inst("c")->age == 1);
  // Set right again, the instance shows from the next render on; a released
  // sprite set is still drawn by its kinds.
  Ok("b.anim = 0 SQ:Release()");
  EXPECT_TRUE(HasError("kind(1)", "SetSpriteSet: the sprite set was released"));
  Ok("SQ = nil collectgarbage() collectgarbage()");
  Render();
  EXPECT_EQ(Pixel(20, 10), 11);
}

}  // namespace
