// Helpers shared by the video tests: sprite files from pixel patterns (through the format library's
// encoder) and a reference renderer that works pixel by pixel with explicit bounds checks.
#pragma once
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/bytes.h"
#include "base/sprite_file.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/sprite.h"
#include "video/surface.h"
#include "tests/unit/scratch_dir.h"

namespace video_test {

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
inline Pixel::Kind KindOf(char c) {
  return c == '.' ? Pixel::kTransparent : c < 'a' ? Pixel::kBlended : Pixel::kOpaque;
}
inline std::uint8_t Colour(char c) { return std::uint8_t(c - (c < 'a' ? 'A' : 'a') + 1); }

// One sprite record as given (width, height, size, rows), checked or not.
inline Bytes Record(std::int32_t width, std::int32_t height, const Bytes& rows) {
  Bytes b;
  base::AppendSpriteRecord(&b, width, height, rows);
  return b;
}

// The pattern coded by the format library's encoder.
inline Bytes Record(const Pattern& p) {
  base::PixelImage image(p.width(), static_cast<int>(p.rows.size()));
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < static_cast<int>(p.rows[y].size()); ++x)
      image.at(x, y) = {KindOf(p.rows[y][x]), Colour(p.rows[y][x]), std::uint8_t(p.level)};
  base::SpriteData sprite;
  std::string error;
  if (!base::EncodeSprite(image, &sprite, &error)) std::abort();
  return Record(sprite.width, sprite.height, sprite.rows);
}

inline Bytes SetFile(const std::vector<Bytes>& records) {
  Bytes b;
  base::PutLe16(&b, static_cast<unsigned>(records.size()));
  for (auto& r : records) b.insert(b.end(), r.begin(), r.end());
  return b;
}

struct SetDeleter {
  void operator()(video::SpriteSet* s) const { video::DestroySpriteSet(s); }
};
using SetPtr = std::unique_ptr<video::SpriteSet, SetDeleter>;

inline SetPtr Parse(const Bytes& file, std::string* error = nullptr) {
  std::string e;
  SetPtr set(video::ParseSpriteSet(file.data(), file.size(), &e));
  if (error) *error = e;
  return set;
}

// A blend table whose every entry is distinct enough to tell which (d, s,
// level) was looked up.
inline std::uint8_t Blend(int d, int s, int k) {
  return static_cast<std::uint8_t>(d * 7 + s * 3 + k * 101 + 1);
}

inline void FillBlendTable() {
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
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;
  Bytes pixels() const { return Bytes(s->pixels, s->pixels + s->size); }
};

// A blank 320 x 240 back buffer for a test's life; the previous one comes back after.
struct ScratchBackBuffer {
  video::Surface* saved = video::BackBuffer;
  video::Surface* s = video::BackBuffer = video::CreateSurface(320, 240);
  ~ScratchBackBuffer() { video::DestroySurface(std::exchange(video::BackBuffer, saved)); }
};

// What a draw must give, worked out one pixel at a time.
inline Bytes Reference(const Target& t, const Pattern& p, int x, int y, bool solid,
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

}  // namespace video_test
