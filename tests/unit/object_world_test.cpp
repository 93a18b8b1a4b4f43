// The world: the update's walks (order, disposing updaters, bullet culls, callback errors, walks
// that outlive ClearInstance, nested checks), the render, collisions and geometry queries. Player-
// bullet hits: object_hit_order; the hit flash, hotspots and children: object_world's frames.
#include <climits>
#include <cstring>

#include "object/collision.h"
#include "object/geometry.h"
#include "tests/unit/lua_fixture.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"

namespace {

using namespace object;

using WorldTest = test_support::LuaFixture;

TEST_F(WorldTest, UpdaterThatDisposesOrSpawnsAndBulletCullsAtTheirEdges) {
  Ok("function up(i) Dispose(i) end a = AddLayer0(K, 'up', 10, 10, 65536, 0, 0, 10) UpdateWorld()");
  // Moved in the step that disposed it, and returned in the same walk.
  EXPECT_TRUE(GetX(Inst("a")) == 11 && Inst("a")->age == 1 && ListContents(kLayer0).empty());
  Ok("function up(i) note('up') mk(AddEnemy0, K, 0, 0, 0, 'up') end\n"
     "mk(AddEnemy0, K, 0, 0, 0, 'up') UpdateWorld() note('|') UpdateWorld()");
  EXPECT_EQ(Log(), "up | up up ");
  Ok("ClearInstance() log = '' function bye(i) note(i.state) end\n"
     "function b(x, y, s) local i = mk(AddEBullet, K, x, y, s) SetDisposer(i, 'bye') return i end\n"
     "b(160, 245, 1) b(160, 246, 2) b(-5, 100, 3) b(-6, 100, 4) b(325, 0, 5) b(326, 0, 6)\n"
     "b(0, -5, 7) b(0, -6, 8) p = mk(AddEnemy0, K, 300, 200) c = b(26, 0, 9) SetParent(c, p)\n"
     "d = b(25, 45, 10) SetParent(d, p)\n"
     // Player bullets have no bottom edge.
     "low = mk(AddPBullet, K, 160, 300) mk(AddPBullet, K, 160, -6) mk(AddPBullet, K, -6, 100)\n"
     "mk(AddPBullet, K, 326, 100) edge = mk(AddPBullet, K, 325, -5)\n"
     "e = mk(AddEnemy1, K, -100, 900) l = mk(AddLayer3, K, 1000, -1000) UpdateWorld()");
  EXPECT_EQ(Log(), "9 8 6 4 2 ");  // newest first; c at absolute x 326
  // Removed in the same walk; d at (325, 245) stays.
  EXPECT_TRUE(ListContents(kEBullet).size() == 5u && ListContents(kEBullet)[0] == Inst("d"));
  EXPECT_EQ(ListContents(kPBullet), Insts({"edge", "low"}));
  EXPECT_TRUE(ListContents(kEnemy1) == Insts({"e"}) && ListContents(kLayer3) == Insts({"l"}));
}

TEST_F(WorldTest, ErrorInACallbackStopsTheUpdateWithListsConsistent) {
  Ok("function up(i) Dispose(i) end function boom(i) error('updater failed') end\n"
     // b is stepped first.
     "a = mk(AddEnemy0, K, 0, 0, 0, 'up') b = mk(AddEnemy0, K, 0, 0, 0, 'boom')\n"
     "c = mk(AddLayer0, K, 0, 0, 0, 'up')");
  EXPECT_TRUE(HasError("UpdateWorld()", "updater failed"));
  EXPECT_FALSE(Inst("a")->disposed || Inst("c")->disposed);  // the walk stopped before them
  // Without a global e_col, a hit is an error in the calling script.
  Ok("function boom(i) Dispose(i) end mk(AddEnemy1) mk(AddPBullet)");
  EXPECT_TRUE(HasError("UpdateWorld()", "attempt to call a nil value"));
  // The removals before the error are complete.
  EXPECT_TRUE(Inst("a")->disposed && ListContents(kEnemy0).empty() && PoolFree() + 3 == kPoolSize);
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
    // SQ: sprite n is a 2 x 2 square of colour 10 + n; kind(n) shows it.
    std::vector<video_test::Bytes> squares;
    for (char c = 'j'; c < 'j' + 12; ++c) squares.push_back(video_test::Record({{{c, c}, {c, c}}}));
    scratch_.Write("sprite/sq.spr", video_test::SetFile(squares));
    Ok("SQ = LoadSpriteSet('sq.spr')\n"
       "function kind(n) local k = NewObject() k:SetSpriteSet(SQ) k:SetAnimSize(1)\n"
       "  k:SetAnim(0, n, n, 0, false) return k end");
  }
  int Pixel(int x, int y) { return video::BackBuffer->pixels[y * 320 + x]; }
  void Render() {
    std::memset(video::BackBuffer->pixels, 0, 320 * 240);
    RenderWorld();
  }
  test_support::ScratchDir scratch_{"lunashot-render", {"sprite"}};
  video_test::ScratchBackBuffer back_;
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

class CollisionTest : public test_support::LuaFixture {
 protected:
  void SetUp() override {
    LuaFixture::SetUp();
    Ok("S3 = NewObject() S3:SetAnimSize(1) S3.size = 3\n"
       "S4 = NewObject() S4:SetAnimSize(1) S4.size = 4 S0 = NewObject() S0:SetAnimSize(1)\n"
       "function seen(i) note(i.state) end");
  }
};

TEST_F(CollisionTest, CheckEnemyReportsEveryTouchingEnemyInListOrder) {
  Ok("who = mk(AddLayer0, S3, 100, 100, 0)\n"
     "mk(AddEnemy1, S4, 104, 102, 1)\n"  // distance^2 20 < 25
     "mk(AddEnemy0, S4, 103, 104, 2)\n"  // 25: not reported
     "mk(AddEnemy0, S4, 97, 100, 3)\n"
     "d = mk(AddEnemy0, S4, 100, 104, 4) Dispose(d)\n"  // disposed, still reported
     "mk(AddEnemy0, S0, 100, 100, 5)\n"                 // 0 < 9 + 0
     "CheckEnemy(who, 'seen') CheckEnemy(nil, 'seen')");
  EXPECT_TRUE(Log() == "5 4 3 1 " && ListContents(kEnemy0).size() == 3u) << Log();  // d removed
  EXPECT_TRUE(HasError("CheckEnemy(who, nil)", "CheckEnemy: no function name"));
  Ok("log = '' z = mk(AddLayer0, S0, 100, 100, 0) CheckEnemy(z, 'seen')");
  EXPECT_EQ(Log(), "3 ");  // size 0 against size 0 never touches, even at one point
}

TEST_F(CollisionTest, CheckEBulletTakesTheNewestTouchingBulletOnly) {
  Ok("function took(b) note('took' .. b.state) end function bye(b) note('bye' .. b.state) end\n"
     "who = mk(AddLayer0, S3, 0, 0, 0)\n"
     "b1 = mk(AddEBullet, S3, 1, 1, 1) SetDisposer(b1, 'bye')\n"
     "b2 = mk(AddEBullet, S3, 2, 0, 2) SetDisposer(b2, 'bye')\n"
     "far = mk(AddEBullet, S3, 90, 0, 3) Dispose(far)\n"  // newest, disposed
     "CheckEBullet(who, 'took')");
  // far (not touching, disposed) is removed on the way; b2 is taken without
  // disposal; b1 behind it is not looked at.
  EXPECT_EQ(Log(), "took2 ");
  EXPECT_TRUE(ListContents(kEBullet) == Insts({"b1"}) && !Inst("b2")->disposed &&
              PoolContents().back() == Inst("b2"));
  Ok("CheckEBullet(who, 'took') CheckEBullet(who, 'took') CheckEBullet(nil, 'took')");
  EXPECT_EQ(Log(), "took2 took1 ");
  EXPECT_TRUE(HasError("CheckEBullet(who, nil)", "CheckEBullet: no function name"));
  // An error in the callback leaves the bullet listed; a bullet the callback
  // spawns is not looked at by the same call.
  Ok("function bad(b) error('no way') end b = mk(AddEBullet, S3, 0, 0, 1)\n"
     "function spawn(b) local n = mk(AddEBullet, S3, 0, 0, 9) Dispose(b) end");
  EXPECT_TRUE(HasError("CheckEBullet(who, 'bad')", "no way"));
  EXPECT_EQ(ListContents(kEBullet), Insts({"b"}));
  Ok("CheckEBullet(who, 'spawn')");
  EXPECT_TRUE(ListContents(kEBullet).size() == 1u && ListContents(kEBullet)[0]->state == 9);
}

TEST_F(CollisionTest, SetDamageWithTheScreenRectangleAndClearInstanceFromChecks) {
  Ok("function damage(e) note(e.state) end\n"
     "mk(AddEnemy0, S0, 0, 100, 1)\n"    // on the left edge: no
     "mk(AddEnemy0, S0, 1, 1, 2)\n"      // inside
     "mk(AddEnemy0, S3, -2, 100, 3)\n"   // r = 3 beside the left side
     "mk(AddEnemy0, S3, -3, 100, 4)\n"   // at x - r: no
     "mk(AddEnemy0, S3, 160, 242, 5)\n"  // below the bottom, within r
     "mk(AddEnemy1, S3, 322, 242, 6)\n"  // corner: 4 + 4 < 9
     "mk(AddEnemy1, S3, 322, 243, 7)\n"  // corner: 4 + 9, no
     "mk(AddEnemy1, S3, -2, -2, 8)\n"    // top-left corner: 4 + 4 < 9
     "mk(AddEnemy1, S0, 319, 239, 9)\n"
     "mk(AddEnemy1, S0, 320, 120, 10)\n"  // on the right edge: no
     "SetDamage(0, 0, 320, 240)");
  EXPECT_EQ(Log(), "5 3 2 9 8 6 ");
  // A negative width accepts nothing without a size.
  Ok("log = '' SetDamage(320, 0, -320, 240)");
  EXPECT_EQ(Log(), "");
  // x, y, size against the rectangle (0, 0, 10, 10): the left and bottom
  // edges count, the top and right ones do not; corners are round.
  struct Case {
    int x, y, r;
    bool meets;
  } cases[] = {{5, 5, 0, true},    {10, 5, 0, false}, {12, 5, 3, true},
               {12, 0, 3, false},  {5, -2, 3, true},  {11, -1, 2, true},
               {12, -1, 2, false}, {-1, 11, 2, true}, {-2, 11, 2, false}};
  for (const Case& c : cases)
    EXPECT_EQ(MeetsRectangle(c.x, c.y, c.r, 0, 0, 10, 10), c.meets) << c.x << "," << c.y;
  Ok("ClearInstance() log = ''\n"
     "function wipe(i) note(i.state) ClearInstance() mk(AddEnemy0, S4, 0, 0, 9) end\n"
     "function damage(e) wipe(e) end who = mk(AddLayer0, S3, 0, 0, 0)\n"
     "mk(AddEnemy1, S4, 0, 0, 3) mk(AddEnemy0, S4, 0, 0, 2) mk(AddEnemy0, S4, 0, 0, 1)\n"
     "CheckEnemy(who, 'wipe') assert(log == '1 ')\n"
     "mk(AddEnemy1, S4, 0, 0, 4) SetDamage(-10, -10, 20, 20) assert(log == '1 9 ')\n"
     "who = mk(AddLayer0, S3, 0, 0, 0) mk(AddEBullet, S4, 0, 0, 6) mk(AddEBullet, S4, 0, 0, 5)\n"
     "CheckEBullet(who, 'wipe')");
  // The instance spawned by the callback is the only one listed.
  EXPECT_TRUE(Log() == "1 9 5 " && PoolFree() == kPoolSize - 1) << Log();
}

TEST_F(CollisionTest, PositionsThroughTheParentChain) {
  Ok("assert(GetX(nil) == 160 and GetY(nil) == 120)\n"
     "p = mk(AddLayer0, K, 100, 100) c = mk(AddLayer0, K, 10, -5) SetParent(c, p)\n"
     "g = mk(AddLayer0, K, 1, 1) SetParent(g, c)\n"
     "assert(GetX(c) == 110 and GetY(c) == 95 and GetX(g) == 111 and GetY(g) == 96)\n"
     "SetX(c, 0) assert(GetX(c) == 100) SetY(c, -100) assert(GetY(g) == 1)\n"
     "SetX(nil, 5) SetY(nil, 5) a = mk(AddLayer0) b = mk(AddLayer0, K, 3, 4)\n"
     "assert(GetDist(a, b) == 25 and GetDist(nil, a) == 99999 and GetDist(a, nil) == 99999)\n"
     "assert(GetDestDist(b, 0, 0) == 25 and GetDestDist(nil, 0, 0) == 99999)\n"
     "assert(GetDir(a, b) == GetDestDir(a, 3, 4) and GetDir(nil, b) == 30)\n"
     "assert(GetDir(a, nil) == 30 and GetDestDir(nil, 0, 0) == 30)");
  // The player bullets' hit test sees an enemy where its moved parent (no enemy) puts it.
  Ok("function e_col(e) note(GetX(e)) end e = mk(AddEnemy0) SetParent(e, b)\n"
     "mk(AddPBullet, K, 40, 4) UpdateWorld() SetX(b, 40) UpdateWorld()");
  EXPECT_EQ(Log(), "40 ");
  // The integer part is the upper 16 bits read as signed: -0.5 is pixel -1.
  Instance* a = Inst("a");
  a->x = -32768;
  EXPECT_EQ(GetX(a), -1);
  a->x = static_cast<base::FIXED>(0x80000000u);  // integer part 32768 reads as -32768
  EXPECT_EQ(GetX(a), -32768);
}

TEST_F(CollisionTest, GetDestDirTableTangentIndexAndLargeOffsets) {
  Instance* o = Inst("mk(AddLayer0, K, 100, 100)");
  struct Case {
    int x, y, dir;
  } cases[] = {
      {110, 110, 14}, {110, 100, 120}, {90, 100, 60}, {100, 110, 30}, {100, 90, 90},
      {100, 100, 90}, {110, 90, 106},  {90, 110, 46}, {90, 90, 74},   {120, 110, 8},
      {110, 120, 21}, {101, 200, 30},  {101, 0, 90},  {99, 200, 30},  {200, 101, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GetDestDir(o, c.x, c.y), c.dir) << c.x << "," << c.y;
  const int ratios[][2] = {
      {1, 0},   {3, 0},     {4, 1},     {7, 2},    {64, 14},
      {65, 15}, {1000, 28}, {1221, 28}, {1222, 30}};  // 64 is T[15]: the entry before
  for (auto& r : ratios) EXPECT_EQ(TangentIndex(r[0]), r[1]) << r[0];
  for (int r = 1; r <= 1300; ++r) {
    int i = TangentIndex(r);
    if (i < 30) EXPECT_TRUE(base::TanTable[i] < r && base::TanTable[i + 1] >= r) << r;
  }
  // Offsets whose product or quotient leaves 32 bits must not trap.
  EXPECT_TRUE(DirectionOf(-1, -33554432) == 90 && DirectionOf(INT_MIN, 5) == 60);
  EXPECT_TRUE(DirectionOf(1, INT_MIN) >= 0 && DirectionOf(-1, INT_MAX) <= 120);
}

}  // namespace
