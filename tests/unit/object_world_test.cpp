// The world update: the order of the walks, what a step does when its
// updater disposes, the bullet culls at their edges, errors in callbacks,
// and walks that stay valid when callbacks call ClearInstance, run nested
// checks or call UpdateWorld itself. The player-bullet hits (order, touch,
// children at their absolute positions) are object_hit_order's. The render:
// the order of the lists, and the instances that are stepped but never drawn
// (disposed, no sprite set, anim or frame outside the tables); the one-frame
// `hit` flash, hotspots and children at absolute positions show in the golden
// frames of object_world.
#include <cstring>

#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"

namespace {

using namespace object;

class WorldTest : public test_support::LuaFixture {
 protected:
  bool Listed(const char* name, List list) {
    for (Instance* j : ListContents(list))
      if (j == Inst(name)) return true;
    return false;
  }
};

TEST_F(WorldTest, UpdaterThatDisposesOrSpawnsAndBulletCullsAtTheirEdges) {
  Ok("function up(i) Dispose(i) end a = AddLayer0(K, 'up', 10, 10, 65536, 0, 0, 10) UpdateWorld()");
  // Moved in the step that disposed it, and returned in the same walk.
  EXPECT_TRUE(GetX(Inst("a")) == 11 && Inst("a")->age == 1 && !Listed("a", kLayer0));
  Ok("function up(i) note('up') mk(AddEnemy0, K, 0, 0, 0, 'up') end\n"
     "mk(AddEnemy0, K, 0, 0, 0, 'up') UpdateWorld() note('|') UpdateWorld()");
  EXPECT_EQ(Log(), "up | up up ");
  Ok("ClearInstance() log = '' function bye(i) note(i.state) end\n"
     "function b(x, y, s) local i = mk(AddEBullet, K, x, y, s) SetDisposer(i, 'bye') return i end\n"
     "b(160, 245, 1) b(160, 246, 2) b(-5, 100, 3) b(-6, 100, 4) b(325, 0, 5)"
     " b(326, 0, 6) b(0, -5, 7) b(0, -6, 8)\n"
     "p = mk(AddEnemy0, K, 300, 200) c = b(26, 0, 9) SetParent(c, p) d = b(25, 45, 10) "
     "SetParent(d, p)\n"
     // Player bullets have no bottom edge.
     "low = mk(AddPBullet, K, 160, 300) mk(AddPBullet, K, 160, -6) mk(AddPBullet, K, -6, 100)\n"
     "mk(AddPBullet, K, 326, 100) edge = mk(AddPBullet, K, 325, -5)\n"
     "e = mk(AddEnemy1, K, -100, 900) l = mk(AddLayer3, K, 1000, -1000) UpdateWorld()");
  EXPECT_EQ(Log(), "9 8 6 4 2 ");  // newest first; c at absolute x 326
  // Removed in the same walk; d at (325, 245) stays.
  EXPECT_TRUE(ListContents(kEBullet).size() == 5u && Listed("d", kEBullet));
  EXPECT_EQ(ListContents(kPBullet), Insts({"edge", "low"}));
  EXPECT_TRUE(Listed("e", kEnemy1) && Listed("l", kLayer3));
}

TEST_F(WorldTest, ErrorInACallbackStopsTheUpdateWithListsConsistent) {
  Ok("function up(i) Dispose(i) end function boom(i) error('updater failed') end\n"
     // b is stepped first.
     "a = mk(AddEnemy0, K, 0, 0, 0, 'up') b = mk(AddEnemy0, K, 0, 0, 0, 'boom') c = mk(AddLayer0, "
     "K, 0, 0, 0, 'up')");
  EXPECT_TRUE(HasError("UpdateWorld()", "updater failed"));
  EXPECT_FALSE(Inst("a")->disposed || Inst("c")->disposed);  // the walk stopped before them
  // Without a global e_col, a hit is an error in the calling script.
  Ok("function boom(i) Dispose(i) end mk(AddEnemy1) mk(AddPBullet)");
  EXPECT_TRUE(HasError("UpdateWorld()", "attempt to call a nil value"));
  // The removals before the error are complete.
  EXPECT_TRUE(Inst("a")->disposed && !Listed("b", kEnemy0) && PoolFree() + 3 == kPoolSize);
  Ok("function e_col() end UpdateWorld() UpdateWorld()");
  EXPECT_EQ(PoolFree() + 2, kPoolSize);  // the enemy and the bullet
}

// ClearInstance from a callback: the walk in progress ends when the
// callback returns; later walks see only what was spawned since.
TEST_F(WorldTest, ClearInstanceFromUpdaterHitAndCullCallbacksEndsTheWalk) {
  Ok("function up(i) note('up' .. i.state) end function clear(i) note('clear') ClearInstance()\n"
     "  mk(AddEnemy0, K, 0, 0, 5, 'up') mk(AddLayer1, K, 0, 0, 6, 'up') end\n"
     "AddEnemy0(K, 'up', 0, 0, 65536, 0, 0, 10).state = 1\n"
     "b = AddEnemy0(K, 'clear', 0, 0, 65536, 0, 0, 10)\n"
     "mk(AddEnemy1, K, 0, 0, 3, 'up') mk(AddLayer1, K, 0, 0, 4, 'up') UpdateWorld()");
  EXPECT_EQ(Log(), "clear up6 ");
  // b is not moved after going back to the pool.
  EXPECT_TRUE(GetX(Inst("b")) == 0 && PoolFree() == kPoolSize - 2);
  Ok("UpdateWorld()");
  EXPECT_EQ(Log(), "clear up6 up5 up6 ");
  Ok("ClearInstance() log = '' function e_col(e, b) note('hit' .. e.state) ClearInstance() end\n"
     "function bye(i) note('bye') ClearInstance() end function up(i) note('up') end\n"
     "mk(AddEnemy1, K, 0, 0, 2) mk(AddEnemy0, K, 0, 0, 1)\n"
     "mk(AddPBullet, K, 0, 0, 0, 'up') mk(AddPBullet, K, 0, 0, 0, 'up') UpdateWorld()");
  EXPECT_EQ(Log(), "up hit1 ");  // one report, then every walk ended
  EXPECT_EQ(PoolFree(), kPoolSize);
  Ok("log = '' SetDisposer(mk(AddEBullet, K, 400), 'bye')\n"
     "mk(AddEBullet, K, 400, 0, 0, 'up') mk(AddLayer0, K, 0, 0, 0, 'up') UpdateWorld()");
  EXPECT_EQ(Log(), "up bye ");
  EXPECT_EQ(PoolFree(), kPoolSize);
}

TEST_F(WorldTest, NestedWalksThatRemoveTheCurrentOrNextElement) {
  // The first enemy's updater disposes itself and the one behind it, then
  // SetDamage walks the same list and returns both to the pool.
  Ok("function damage(e) end function up(i) note(i.state) end\n"
     "function bomb(i) note('bomb') Dispose(i) Dispose(second) SetDamage(-1000, -1000, 1, 1) end\n"
     "third = mk(AddEnemy0, K, 0, 0, 3, 'up') second = mk(AddEnemy0, K, 0, 0, 2, 'up')\n"
     "first = AddEnemy0(K, 'bomb', 0, 0, 65536, 0, 0, 10) UpdateWorld()");
  EXPECT_EQ(Log(), "bomb 3 ");
  EXPECT_EQ(ListContents(kEnemy0), Insts({"third"}));
  // first is back in the pool, not stepped further.
  EXPECT_TRUE(PoolFree() == kPoolSize - 1 && GetX(Inst("first")) == 0);
  // UpdateWorld from an updater: the nested update steps a (now 'up') and
  // c, and returns b; the outer walk then goes on with c.
  Ok("ClearInstance() log = ''\n"
     "function again(i) note('again') SetUpdater(i, 'up') Dispose(b) UpdateWorld() end\n"
     "c = mk(AddLayer0, K, 0, 0, 3, 'up') b = mk(AddLayer0, K, 0, 0, 2, 'up')\n"
     "a = mk(AddLayer0, K, 0, 0, 1, 'again') UpdateWorld()");
  EXPECT_EQ(Log(), "again 1 3 3 ");
  EXPECT_TRUE(ListContents(kLayer0) == Insts({"a", "c"}) && Inst("c")->age == 2);
}

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
    RenderWorld();
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
  UpdateWorld();
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
