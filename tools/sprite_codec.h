// Sprites as the engine stores them: run-length rows (a 16-bit byte count L,
// then runs: transparent 0x8000|n, blended 0x4000|n with n (index, level)
// pairs, opaque n with n indices; n <= 4095; trailing transparency is not
// written) and the sprite-set file (16-bit count, then per sprite width,
// height and size as 32-bit values and the rows). All little-endian.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

constexpr int kMaxRun = 4095;
constexpr int kMaxSprites = 65535;

struct Pixel {
  enum Kind : std::uint8_t { kTransparent, kBlended, kOpaque };
  Kind kind = kTransparent;
  std::uint8_t index = 0;  // colour index; the source colour of a blended pixel
  std::uint8_t level = 0;  // blend level 0-2 of a blended pixel
  bool operator==(const Pixel& o) const {
    return kind == o.kind && (kind == kTransparent || (index == o.index && (kind == kOpaque || level == o.level)));
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

// One sprite record: its size and its coded rows.
struct SpriteData {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rows;
};

// Codes the pixels as run-length rows. False when a row would pass the
// 65535-byte limit of its length field.
bool EncodeSprite(const PixelImage& image, SpriteData* sprite, std::string* error);
// Expands coded rows into `image`, checking them as the engine's loader
// does; with image null it only checks (and allocates nothing). Expanding a
// sprite of more than kMaxSpritePixels is refused.
bool DecodeSprite(const SpriteData& sprite, PixelImage* image, std::string* error);

constexpr long kMaxSpritePixels = 1L << 25;

// The file image of a sprite set. False when there are more than 65535 sprites.
bool EncodeSpriteSet(const std::vector<SpriteData>& sprites, std::vector<std::uint8_t>* bytes,
                     std::string* error);
// Parses and checks a sprite-set file image; messages start with `name`.
bool DecodeSpriteSet(const std::vector<std::uint8_t>& bytes, const std::string& name,
                     std::vector<SpriteData>* sprites, std::string* error);

}  // namespace tools
