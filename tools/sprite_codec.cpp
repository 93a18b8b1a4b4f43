// Run-length coding of sprites and the sprite-set file format.
#include "tools/sprite_codec.h"

namespace tools {
namespace {

void Put16(std::vector<std::uint8_t>* out, unsigned v) {
  out->push_back(std::uint8_t(v & 0xff));
  out->push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>* out, std::int32_t v) {
  auto u = std::uint32_t(v);
  for (int i = 0; i < 4; ++i) out->push_back(std::uint8_t(u >> (8 * i)));
}

unsigned Get16(const std::uint8_t* p) { return p[0] | (unsigned(p[1]) << 8); }

std::int32_t Get32(const std::uint8_t* p) {
  return std::int32_t(p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

}  // namespace

PixelImage PixelImage::Crop(int x, int y, int w, int h) const {
  PixelImage out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out.at(i, j) = at(x + i, y + j);
  return out;
}

bool EncodeSprite(const PixelImage& image, SpriteData* sprite, std::string* error) {
  sprite->width = image.width;
  sprite->height = image.height;
  sprite->rows.clear();
  std::vector<std::uint8_t> row;
  for (int y = 0; y < image.height; ++y) {
    row.clear();
    int end = image.width;
    while (end > 0 && image.at(end - 1, y).kind == Pixel::kTransparent) --end;
    int x = 0;
    while (x < end) {
      Pixel::Kind kind = image.at(x, y).kind;
      int n = 1;
      while (x + n < end && n < kMaxRun && image.at(x + n, y).kind == kind) ++n;
      switch (kind) {
        case Pixel::kTransparent:
          Put16(&row, 0x8000u | unsigned(n));
          break;
        case Pixel::kBlended:
          Put16(&row, 0x4000u | unsigned(n));
          for (int i = 0; i < n; ++i) {
            row.push_back(image.at(x + i, y).index);
            row.push_back(image.at(x + i, y).level);
          }
          break;
        case Pixel::kOpaque:
          Put16(&row, unsigned(n));
          for (int i = 0; i < n; ++i) row.push_back(image.at(x + i, y).index);
          break;
      }
      x += n;
    }
    if (row.size() > 0xffff) {
      *error = "row " + std::to_string(y) + " needs " + std::to_string(row.size()) +
               " bytes, more than a row can hold (65535)";
      return false;
    }
    Put16(&sprite->rows, unsigned(row.size()));
    sprite->rows.insert(sprite->rows.end(), row.begin(), row.end());
  }
  return true;
}

bool DecodeSprite(const SpriteData& sprite, PixelImage* image, std::string* error) {
  if (sprite.width < 0 || sprite.height < 0) {
    *error = "impossible size " + std::to_string(sprite.width) + "x" + std::to_string(sprite.height);
    return false;
  }
  if (image) {
    if (long(sprite.width) * sprite.height > kMaxSpritePixels) {
      *error = "a sprite of " + std::to_string(sprite.width) + "x" + std::to_string(sprite.height) +
               " is too large to draw";
      return false;
    }
    *image = PixelImage(sprite.width, sprite.height);
  }
  const std::uint8_t* p = sprite.rows.data();
  const std::uint8_t* const end = p + sprite.rows.size();
  for (int y = 0; y < sprite.height; ++y) {
    auto fail = [&](const std::string& problem) {
      *error = "row " + std::to_string(y) + ": " + problem;
      return false;
    };
    if (end - p < 2) return fail("data ends before the row");
    unsigned length = Get16(p);
    p += 2;
    if (unsigned(end - p) < length) return fail("row length passes the end of the data");
    const std::uint8_t* row_end = p + length;
    int x = 0;
    while (p < row_end) {
      if (row_end - p < 2) return fail("run code cut off by the row length");
      unsigned code = Get16(p);
      p += 2;
      int n = int(code & 0x0fff);
      if (n > sprite.width - x) return fail("run passes the sprite's width");
      if (code & 0x8000) {
        x += n;
      } else if (code & 0x4000) {
        if (row_end - p < 2 * n) return fail("blended run passes the row length");
        for (int i = 0; i < n; ++i, p += 2) {
          if (p[1] > 2) return fail("blend level " + std::to_string(p[1]) + " is above 2");
          if (image) image->at(x, y) = Pixel{Pixel::kBlended, p[0], p[1]};
          ++x;
        }
      } else {
        if (code & 0x3000) return fail("opaque run code has bits 12-13 set");
        if (row_end - p < n) return fail("opaque run passes the row length");
        for (int i = 0; i < n; ++i, ++x, ++p)
          if (image) image->at(x, y) = Pixel{Pixel::kOpaque, *p, 0};
      }
    }
  }
  if (p != end) {
    *error = std::to_string(end - p) + " bytes left after the last row";
    return false;
  }
  return true;
}

bool EncodeSpriteSet(const std::vector<SpriteData>& sprites, std::vector<std::uint8_t>* bytes,
                     std::string* error) {
  if (sprites.size() > std::size_t(kMaxSprites)) {
    *error = std::to_string(sprites.size()) + " sprites, more than a sprite set can hold (65535)";
    return false;
  }
  bytes->clear();
  Put16(bytes, unsigned(sprites.size()));
  for (const SpriteData& s : sprites) {
    Put32(bytes, s.width);
    Put32(bytes, s.height);
    Put32(bytes, std::int32_t(s.rows.size()));
    bytes->insert(bytes->end(), s.rows.begin(), s.rows.end());
  }
  return true;
}

bool DecodeSpriteSet(const std::vector<std::uint8_t>& bytes, const std::string& name,
                     std::vector<SpriteData>* sprites, std::string* error) {
  sprites->clear();
  if (bytes.size() < 2) {
    *error = name + ": not a sprite set (too short for its count)";
    return false;
  }
  unsigned count = Get16(bytes.data());
  std::size_t offset = 2;
  for (unsigned i = 0; i < count; ++i) {
    std::string where = name + ": sprite " + std::to_string(i) + ": ";
    if (bytes.size() - offset < 12) {
      *error = where + "file ends inside its header";
      return false;
    }
    SpriteData sprite;
    sprite.width = Get32(&bytes[offset]);
    sprite.height = Get32(&bytes[offset + 4]);
    std::int32_t size = Get32(&bytes[offset + 8]);
    offset += 12;
    if (size < 0 || std::size_t(size) > bytes.size() - offset) {
      *error = where + "data size " + std::to_string(size) + " passes the end of the file";
      return false;
    }
    sprite.rows.assign(bytes.begin() + long(offset), bytes.begin() + long(offset) + size);
    offset += std::size_t(size);
    if (!DecodeSprite(sprite, nullptr, error)) {
      *error = where + *error;
      return false;
    }
    sprites->push_back(std::move(sprite));
  }
  if (offset != bytes.size()) {
    *error = name + ": " + std::to_string(bytes.size() - offset) + " bytes after the last sprite";
    return false;
  }
  return true;
}

}  // namespace tools
