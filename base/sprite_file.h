// The files of the sprite directory and their one table of limits, shared by
// the engine's loaders and lunashot-pack (docs/tools.md lists it): whatever
// the tool writes the engine loads, and the tool reads every file the engine
// loads.
//
// Sprite set: a 16-bit count, then per sprite width, height and size (32-bit
// each) and `size` bytes of rows. A row is a 16-bit byte count L, then L
// bytes of runs: transparent 0x8000|n, blended 0x4000|n followed by n
// (index, level) pairs, opaque n followed by n indices; n <= 4095, levels
// 0-2; pixels after a row's last run are transparent. Bytes after the last
// sprite are ignored. Surface file: width, height (32-bit), then the pixels.
// All little-endian.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base {

constexpr std::int32_t kMaxSpriteSide = 16384;  // width or height of a sprite
constexpr int kMaxSprites = 65535;              // sprites in a set (the 16-bit count)
constexpr int kMaxRun = 4095;                   // pixels in a run (the 12-bit count)
constexpr std::size_t kMaxSpriteFileBytes = std::size_t{256} << 20;

struct Pixel {
  enum Kind : std::uint8_t { kTransparent, kBlended, kOpaque };
  Kind kind = kTransparent;
  std::uint8_t index = 0;  // colour index; the source colour of a blended pixel
  std::uint8_t level = 0;  // blend level 0-2 of a blended pixel
  bool operator==(const Pixel& o) const {
    return kind == o.kind &&
           (kind == kTransparent || (index == o.index && (kind == kOpaque || level == o.level)));
  }
};

// A rectangle of pixels: a sheet, a cell or a decoded sprite.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // row by row

  PixelImage() = default;
  PixelImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h) {}
  Pixel& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Pixel& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  // The w x h rectangle at (x, y), which must lie inside.
  PixelImage Crop(int x, int y, int w, int h) const;
};

// A sprite record that owns its coded rows.
struct SpriteData {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rows;
};

// A sprite record inside a file image.
struct SpriteView {
  std::int32_t width;
  std::int32_t height;
  const std::uint8_t* rows;
  std::size_t size;
};

// Checks a record: its size within the limits and every row (runs within L
// and within the width, run codes, blend levels, exact data length). False
// with the problem ("row 2: a run passes the sprite's width ...").
bool ValidateSprite(std::int32_t width, std::int32_t height, const std::uint8_t* rows,
                    std::int64_t size, std::string* error);

// Splits a sprite-set file image into its records, each validated; nothing
// is allocated for a count the file is too short to hold. Messages: "sprite
// 3: row 2: ...", "truncated: ...".
bool DecodeSpriteSet(const std::uint8_t* bytes, std::size_t length,
                     std::vector<SpriteView>* sprites, std::string* error);

// Codes the pixels as run-length rows (trailing transparency is not stored).
// False for a sprite larger than kMaxSpriteSide a side.
bool EncodeSprite(const PixelImage& image, SpriteData* sprite, std::string* error);
// Expands a validated record.
PixelImage DecodeSprite(const SpriteView& sprite);
inline SpriteView View(const SpriteData& s) {
  return {s.width, s.height, s.rows.data(), s.rows.size()};
}

// The file image of a set. Every record is validated as the engine's loader
// will; false for a bad record, more than 65535 sprites, or a file larger
// than kMaxSpriteFileBytes.
bool EncodeSpriteSet(const std::vector<SpriteData>& sprites, std::vector<std::uint8_t>* bytes,
                     std::string* error);
// Appends one record as given, unchecked (for making damaged files).
void AppendSpriteRecord(std::vector<std::uint8_t>* bytes, std::int32_t width, std::int32_t height,
                        const std::vector<std::uint8_t>& rows);

}  // namespace base
