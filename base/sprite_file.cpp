// Sprite-set validation, decoding and encoding, and the surface size check.
// The validator is the engine loader's: its messages reach scripts through
// LoadSpriteSet, so their wording is kept.
#include "base/sprite_file.h"

#include <cassert>

#include "base/bytes.h"

namespace base {

namespace {

// Checks one row's runs (the L bytes at `runs`); false with the problem.
bool ValidateRow(const std::uint8_t* runs, unsigned length, std::int32_t width,
                 std::string* error) {
  unsigned at = 0;
  std::int64_t column = 0;
  while (at < length) {
    if (length - at < 2) {
      *error = "a run code is cut off by the row's length";
      return false;
    }
    unsigned code = GetLe16(runs + at);
    at += 2;
    std::int64_t n = code & 0xFFF;
    std::int64_t bytes = 0;
    if (code & 0x8000) {
      bytes = 0;
    } else if (code & 0x4000) {
      bytes = 2 * n;
    } else {
      if (code & 0x3000) {
        *error = "an opaque run has bits 12-13 set (code " + std::to_string(code) + ")";
        return false;
      }
      bytes = n;
    }
    if (bytes > static_cast<std::int64_t>(length - at)) {
      *error = "a run's pixels pass the row's length";
      return false;
    }
    if (column + n > width) {
      *error = "a run passes the sprite's width (column " + std::to_string(column + n) + " of " +
               std::to_string(width) + ")";
      return false;
    }
    if ((code & 0xC000) == 0x4000) {
      for (std::int64_t i = 0; i < n; ++i) {
        unsigned level = runs[at + 2 * i + 1];
        if (level > 2) {
          *error = "blend level " + std::to_string(level) + " (levels are 0-2)";
          return false;
        }
      }
    }
    at += static_cast<unsigned>(bytes);
    column += n;
  }
  return true;
}

void PutRun(std::vector<std::uint8_t>* row, const PixelImage& image, int x, int y, int n) {
  switch (image.at(x, y).kind) {
    case Pixel::kTransparent: PutLe16(row, 0x8000u | unsigned(n)); break;
    case Pixel::kBlended:
      PutLe16(row, 0x4000u | unsigned(n));
      for (int i = 0; i < n; ++i)
        row->insert(row->end(), {image.at(x + i, y).index, image.at(x + i, y).level});
      break;
    case Pixel::kOpaque:
      PutLe16(row, unsigned(n));
      for (int i = 0; i < n; ++i) row->push_back(image.at(x + i, y).index);
      break;
  }
}

}  // namespace

PixelImage PixelImage::Crop(int x, int y, int w, int h) const {
  PixelImage out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out.at(i, j) = at(x + i, y + j);
  return out;
}

bool ValidateSprite(std::int32_t width, std::int32_t height, const std::uint8_t* rows,
                    std::int64_t size, std::string* error) {
  if (width < 0 || height < 0 || width > kMaxSpriteSide || height > kMaxSpriteSide) {
    *error = "bad size " + std::to_string(width) + " x " + std::to_string(height);
    return false;
  }
  if (size < 0) {
    *error = "negative data size " + std::to_string(size);
    return false;
  }
  std::size_t end = static_cast<std::size_t>(size), at = 0;
  for (std::int32_t row = 0; row < height; ++row) {
    if (end - at < 2) {
      *error = "row " + std::to_string(row) + ": the data ends before the row";
      return false;
    }
    unsigned length = GetLe16(rows + at);
    at += 2;
    if (length > end - at) {
      *error = "row " + std::to_string(row) + ": row length " + std::to_string(length) +
               " passes the end of the data";
      return false;
    }
    if (!ValidateRow(rows + at, length, width, error)) {
      *error = "row " + std::to_string(row) + ": " + *error;
      return false;
    }
    at += length;
  }
  if (at != end) {
    *error = std::to_string(end - at) + " bytes of data after the last row";
    return false;
  }
  return true;
}

bool DecodeSpriteSet(const std::uint8_t* bytes, std::size_t length,
                     std::vector<SpriteView>* sprites, std::string* error) {
  sprites->clear();
  if (length < 2) {
    *error = "truncated: no sprite count";
    return false;
  }
  unsigned count = GetLe16(bytes);
  std::size_t at = 2;
  // Each record needs at least its 12-byte header: a huge count in a short
  // file is refused before anything that large is allocated.
  if ((length - at) / 12 < count) {
    *error = "truncated: " + std::to_string(count) + " sprites need at least " +
             std::to_string(12u * count) + " bytes, the file has " + std::to_string(length - at) +
             " after the count";
    return false;
  }
  sprites->reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    std::string where = "sprite " + std::to_string(i) + ": ";
    if (length - at < 12) {
      *error = where + "truncated header";
      sprites->clear();
      return false;
    }
    SpriteView s{GetLe32(bytes + at), GetLe32(bytes + at + 4), bytes + at + 12, 0};
    std::int32_t size = GetLe32(bytes + at + 8);
    at += 12;
    if (size >= 0 && static_cast<std::size_t>(size) > length - at) {
      *error = where + "truncated: " + std::to_string(size) + " bytes of data declared, " +
               std::to_string(length - at) + " left in the file";
      sprites->clear();
      return false;
    }
    if (!ValidateSprite(s.width, s.height, s.rows, size, error)) {
      *error = where + *error;
      sprites->clear();
      return false;
    }
    s.size = static_cast<std::size_t>(size);
    sprites->push_back(s);
    at += s.size;
  }
  return true;
}

bool EncodeSprite(const PixelImage& image, SpriteData* sprite, std::string* error) {
  if (image.width > kMaxSpriteSide || image.height > kMaxSpriteSide) {
    *error = "a " + std::to_string(image.width) + " x " + std::to_string(image.height) +
             " sprite is larger than the engine loads (" + std::to_string(kMaxSpriteSide) +
             " pixels a side at most)";
    return false;
  }
  sprite->width = image.width;
  sprite->height = image.height;
  sprite->rows.clear();
  std::vector<std::uint8_t> row;
  for (int y = 0; y < image.height; ++y) {
    row.clear();
    int end = image.width;
    while (end > 0 && image.at(end - 1, y).kind == Pixel::kTransparent) --end;
    for (int x = 0, n; x < end; x += n) {
      n = 1;
      while (x + n < end && n < kMaxRun && image.at(x + n, y).kind == image.at(x, y).kind) ++n;
      PutRun(&row, image, x, y, n);
    }
    // At most 3.5 bytes a pixel (blended and opaque pixels alternating):
    // a row of kMaxSpriteSide pixels always fits its 16-bit length.
    assert(row.size() <= 0xFFFF);
    PutLe16(&sprite->rows, unsigned(row.size()));
    sprite->rows.insert(sprite->rows.end(), row.begin(), row.end());
  }
  return true;
}

PixelImage DecodeSprite(const SpriteView& sprite) {
  PixelImage image(sprite.width, sprite.height);
  const std::uint8_t* p = sprite.rows;
  for (int y = 0; y < sprite.height; ++y) {
    const std::uint8_t* row_end = p + 2 + GetLe16(p);
    p += 2;
    for (int x = 0; p < row_end;) {
      unsigned code = GetLe16(p);
      int n = int(code & 0xFFF);
      p += 2;
      for (int i = 0; i < n; ++i, ++x) {
        if (code & 0x8000) continue;
        if (code & 0x4000) {
          image.at(x, y) = Pixel{Pixel::kBlended, p[0], p[1]};
          p += 2;
        } else {
          image.at(x, y) = Pixel{Pixel::kOpaque, *p++, 0};
        }
      }
    }
  }
  return image;
}

bool EncodeSpriteSet(const std::vector<SpriteData>& sprites, std::vector<std::uint8_t>* bytes,
                     std::string* error) {
  bytes->clear();
  if (sprites.size() > std::size_t(kMaxSprites)) {
    *error = std::to_string(sprites.size()) + " sprites, more than a sprite set can hold (" +
             std::to_string(kMaxSprites) + ")";
    return false;
  }
  std::size_t total = 2;
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    const SpriteData& s = sprites[i];
    if (!ValidateSprite(s.width, s.height, s.rows.data(), std::int64_t(s.rows.size()), error)) {
      *error = "sprite " + std::to_string(i) + ": " + *error;
      return false;
    }
    total += 12 + s.rows.size();
  }
  if (total > kMaxSpriteFileBytes) {
    *error = "the set would be " + std::to_string(total) +
             " bytes, more than a sprite file may be (" + std::to_string(kMaxSpriteFileBytes) + ")";
    return false;
  }
  bytes->reserve(total);
  PutLe16(bytes, unsigned(sprites.size()));
  for (const SpriteData& s : sprites) AppendSpriteRecord(bytes, s.width, s.height, s.rows);
  return true;
}

void AppendSpriteRecord(std::vector<std::uint8_t>* bytes, std::int32_t width, std::int32_t height,
                        const std::vector<std::uint8_t>& rows) {
  PutLe32(bytes, std::uint32_t(width));
  PutLe32(bytes, std::uint32_t(height));
  PutLe32(bytes, std::uint32_t(rows.size()));
  bytes->insert(bytes->end(), rows.begin(), rows.end());
}

}  // namespace base
