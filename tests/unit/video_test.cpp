// Video: start-up failures; DrawSprite and DrawSpriteSolid against a pixel-by-pixel reference
// render; the frame hashes' MD5 lanes against nettle's MD5. The palette upload, recording, text and bad sets: video_golden and video_record_fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/md5.h"
#include "base/sprite_file.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"
#include "video/display.h"
#include "video/masked_rows.h"
#include "video/palette.h"
#include "video/sprite.h"
#include "video/surface.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using base::Pixel;

// A sprite pattern: one string per row. '.' transparent; 'a'.. opaque with
// colour c - 'a' + 1; 'A'.. blended with source c - 'A' + 1 at `level`.
// Trailing '.' are left out of the row (the row ends early), so they test
// the pixels after a row's last run.
struct Pattern {
  std::vector<std::string> rows;
  int level = 1;
  int width() const {
    std::size_t w = 0;
    for (auto& r : rows) w = std::max(w, r.size());
    return static_cast<int>(w);
  }
};

// The pixel kind of a pattern character, and its colour (a blended one's source).
Pixel::Kind KindOf(char c) {
  return c == '.' ? Pixel::kTransparent : c < 'a' ? Pixel::kBlended : Pixel::kOpaque;
}
std::uint8_t Colour(char c) { return std::uint8_t(c - (c < 'a' ? 'A' : 'a') + 1); }

// One sprite record as given (width, height, size, rows), checked or not.
Bytes Record(std::int32_t width, std::int32_t height, const Bytes& rows) {
  Bytes b;
  base::AppendSpriteRecord(&b, width, height, rows);
  return b;
}

// The pattern coded by the format library's encoder.
Bytes Record(const Pattern& p) {
  base::PixelImage image(p.width(), static_cast<int>(p.rows.size()));
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < static_cast<int>(p.rows[y].size()); ++x)
      image.at(x, y) = {KindOf(p.rows[y][x]), Colour(p.rows[y][x]), std::uint8_t(p.level)};
  base::SpriteData sprite;
  std::string error;
  if (!base::EncodeSprite(image, &sprite, &error)) std::abort();
  return Record(sprite.width, sprite.height, sprite.rows);
}

Bytes SetFile(const std::vector<Bytes>& records) {
  Bytes b;
  base::PutLe16(&b, static_cast<unsigned>(records.size()));
  for (auto& r : records) b.insert(b.end(), r.begin(), r.end());
  return b;
}

struct SetDeleter {
  void operator()(video::SpriteSet* s) const { video::DestroySpriteSet(s); }
};
using SetPtr = std::unique_ptr<video::SpriteSet, SetDeleter>;

SetPtr Parse(const Bytes& file) {
  std::string e;
  return SetPtr(video::ParseSpriteSet(file.data(), file.size(), &e));
}

// A blend table whose every entry is distinct enough to tell which (d, s,
// level) was looked up.
std::uint8_t Blend(int d, int s, int k) {
  return static_cast<std::uint8_t>(d * 7 + s * 3 + k * 101 + 1);
}

void FillBlendTable() {
  for (int d = 0; d < 256; ++d)
    for (int s = 0; s < 256; ++s)
      for (int k = 0; k < 3; ++k) video::BlendTable[(d * 256 + s) * 3 + k] = Blend(d, s, k);
}

// An owning surface filled with a position-dependent background.
struct Target {
  video::Surface* s;
  Target(int w, int h) : s(video::CreateSurface(w, h)) {
    for (int i = 0; i < s->size; ++i) s->pixels[i] = static_cast<std::uint8_t>(200 + i % 37);
  }
  ~Target() { video::DestroySurface(s); }
  Bytes pixels() const { return Bytes(s->pixels, s->pixels + s->size); }
};

// What a draw must give, worked out one pixel at a time.
Bytes Reference(const Target& t, const Pattern& p, int x, int y, bool solid,
                       std::uint8_t colour) {
  Bytes out = t.pixels();
  const int W = t.s->width, H = t.s->height, w = p.width();
  const bool clipped = !(x >= 0 && static_cast<long long>(x) + w <= W);
  for (int r = 0; r < static_cast<int>(p.rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(p.rows[r].size()); ++c) {
      long long tx = static_cast<long long>(x) + c, ty = static_cast<long long>(y) + r;
      if (tx < 0 || ty < 0 || tx >= W || ty >= H) continue;
      std::uint8_t& d = out[ty * W + tx];
      const char ch = p.rows[r][c];
      if (KindOf(ch) == Pixel::kOpaque) d = solid ? colour : Colour(ch);
      if (KindOf(ch) == Pixel::kBlended)
        d = !solid ? Blend(d, Colour(ch), p.level) : clipped ? Blend(d, colour, p.level) : colour;
    }
  return out;
}

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
  // Widths either side of the masked rows' limit and of their merge sizes,
  // transparency scattered; the mostly blended sprite is drawn from spans.
  for (int w : {1, 3, 5, 9, 16, 17, 63, 64, 65}) {
    std::string a, b;
    for (int c = 0; c < w; ++c) {
      a += ".aBc"[c % 4];
      b += "dE.F"[c * 7 % 4];
    }
    for (const Pattern& p : {Pattern{{a, b, a}, 1}, Pattern{{b, b}, 2}})
      for (int x : {-w, -w + 1, -3, 0, 1, 70 - w, 73 - w, 69})
        for (int y : {-1, 0, 1}) Check(p, 70, 3, x, y);
  }
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

TEST(SpriteDraw, VectorAndPlainMergesGiveTheSameBytes) {
  std::uint32_t seed = 1;
  auto next = [&] { return static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
  constexpr int kPitch = 80, kRows = 3;
  for (unsigned n = 1; n <= video::kMaxMaskedWidth; ++n) {
    Bytes target(kPitch * kRows), pixels(2 * n * kRows);
    for (auto& b : target) b = next();
    for (auto& b : pixels) b = next();
    // A mask is 0 or 0xFF a byte.
    for (unsigned r = 0; r < kRows; ++r)
      for (unsigned c = 0; c < n; ++c) pixels[2 * n * r + n + c] = next() & 1 ? 0xFF : 0;
    Bytes want = target, vector = target, plain = target;
    for (unsigned r = 0; r < kRows; ++r)
      for (unsigned c = 0; c < n; ++c)
        if (pixels[2 * n * r + n + c]) want[kPitch * r + c] = pixels[2 * n * r + c];
    video::MergeRows<true>(vector.data(), kPitch, pixels.data(), 2 * n, pixels.data() + n, 2 * n,
                           kRows, n);
    video::MergeRows<false>(plain.data(), kPitch, pixels.data(), 2 * n, pixels.data() + n, 2 * n,
                            kRows, n);
    ASSERT_EQ(vector, want) << n;
    ASSERT_EQ(plain, want) << n;
  }
}

// The frame hashes' batches: every lane's sum is nettle's for its own buffer,
// whatever the count (a group short of lanes, more than one group) and
// wherever the length ends a block (the padding in one block or two).
TEST(Md5Lanes, EachLaneGivesItsBuffersOwnSum) {
  std::uint32_t seed = 7;
  auto next = [&] { return static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
  for (std::size_t size : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 230400}) {
    std::vector<Bytes> buffers(9, Bytes(size));
    for (Bytes& b : buffers)
      for (auto& x : b) x = next();
    const std::uint8_t* data[9];
    for (int i = 0; i < 9; ++i) data[i] = buffers[i].data();
    for (int count = 1; count <= 9; ++count) {
      std::uint8_t sums[9][base::kMd5Size];
      base::Md5Lanes(data, count, size, sums);
      for (int i = 0; i < count; ++i) {
        char hex[2 * base::kMd5Size];
        base::Md5Digits(sums[i], hex);
        ASSERT_EQ(std::string(hex, sizeof hex), base::Md5Hex(data[i], size))
            << "size " << size << ", lane " << i << " of " << count;
      }
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
