// Sprite-set loading and validation, and the script-facing set handle.
// A set is built only from a file that passed every check, so drawing can
// trust widths, row lengths, run codes and blend levels.
#include "video/sprite.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "base/error.h"

namespace video {

namespace {

// Real sprite files are a few megabytes; a larger file is refused before it
// can use up memory.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

unsigned Read16(const std::uint8_t* b) { return b[0] | static_cast<unsigned>(b[1]) << 8; }

std::int32_t Read32(const std::uint8_t* b) {
  return static_cast<std::int32_t>(Read16(b) | static_cast<std::uint32_t>(Read16(b + 2)) << 16);
}

void FreeSprites(SpriteSet* set) {
  for (std::uint16_t i = 0; set->sprites && i < set->count; ++i) {
    if (!set->sprites[i]) continue;
    delete[] set->sprites[i]->data;
    delete[] set->sprites[i]->row_offsets;
    delete set->sprites[i];
  }
  delete[] set->sprites;
  set->sprites = nullptr;
}

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
    unsigned code = Read16(runs + at);
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

}  // namespace

void intrusive_ptr_add_ref(SpriteSet* set) { ++set->refs; }

void intrusive_ptr_release(SpriteSet* set) {
  if (--set->refs == 0) DestroySpriteSet(set);
}

void DestroySpriteSet(SpriteSet* set) {
  if (!set) return;
  FreeSprites(set);
  delete set;
}

bool ValidateSprite(const Sprite& sprite, std::string* error) {
  if (sprite.width < 0 || sprite.height < 0 || sprite.width > kMaxSpriteSide ||
      sprite.height > kMaxSpriteSide) {
    *error = "bad size " + std::to_string(sprite.width) + " x " + std::to_string(sprite.height);
    return false;
  }
  if (sprite.size < 0) {
    *error = "negative data size " + std::to_string(sprite.size);
    return false;
  }
  const std::uint8_t* data = sprite.data;
  std::size_t size = static_cast<std::size_t>(sprite.size), at = 0;
  for (std::int32_t row = 0; row < sprite.height; ++row) {
    if (size - at < 2) {
      *error = "row " + std::to_string(row) + ": the data ends before the row";
      return false;
    }
    unsigned length = Read16(data + at);
    at += 2;
    if (length > size - at) {
      *error = "row " + std::to_string(row) + ": row length " + std::to_string(length) +
               " passes the end of the data";
      return false;
    }
    if (!ValidateRow(data + at, length, sprite.width, error)) {
      *error = "row " + std::to_string(row) + ": " + *error;
      return false;
    }
    at += length;
  }
  if (at != size) {
    *error = std::to_string(size - at) + " bytes of data after the last row";
    return false;
  }
  return true;
}

SpriteSet* ParseSpriteSet(const std::uint8_t* bytes, std::size_t length, std::string* error) {
  if (length < 2) {
    *error = "truncated: no sprite count";
    return nullptr;
  }
  std::uint16_t count = static_cast<std::uint16_t>(Read16(bytes));
  std::size_t at = 2;
  // The array is filled as records pass their checks, so a failure frees
  // exactly what was built.
  std::unique_ptr<SpriteSet, void (*)(SpriteSet*)> set(new SpriteSet{nullptr, 0, 0, false},
                                                      DestroySpriteSet);
  if (count) {
    // Each record needs at least its 12-byte header: a huge count in a short
    // file is refused before anything that large is allocated.
    if ((length - at) / 12 < count) {
      *error = "truncated: " + std::to_string(count) + " sprites need at least " +
               std::to_string(12u * count) + " bytes, the file has " +
               std::to_string(length - at) + " after the count";
      return nullptr;
    }
    set->sprites = new Sprite*[count]();
    set->count = count;
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    std::string where = "sprite " + std::to_string(i) + ": ";
    if (length - at < 12) {
      *error = where + "truncated header";
      return nullptr;
    }
    Sprite s{nullptr, Read32(bytes + at), Read32(bytes + at + 4), Read32(bytes + at + 8), nullptr};
    at += 12;
    if (s.size >= 0 && static_cast<std::size_t>(s.size) > length - at) {
      *error = where + "truncated: " + std::to_string(s.size) + " bytes of data declared, " +
               std::to_string(length - at) + " left in the file";
      return nullptr;
    }
    s.data = const_cast<std::uint8_t*>(bytes + at);
    if (!ValidateSprite(s, error)) {
      *error = where + *error;
      return nullptr;
    }
    auto* sprite = new Sprite{nullptr, s.width, s.height, s.size, nullptr};
    set->sprites[i] = sprite;
    sprite->data = new std::uint8_t[static_cast<std::size_t>(s.size)];
    std::memcpy(sprite->data, bytes + at, static_cast<std::size_t>(s.size));
    sprite->row_offsets = new std::uint32_t[static_cast<std::size_t>(s.height)];
    std::uint32_t offset = 0;
    for (std::int32_t row = 0; row < s.height; ++row) {
      sprite->row_offsets[row] = offset;
      offset += 2 + Read16(sprite->data + offset);
    }
    at += static_cast<std::size_t>(s.size);
  }
  return set.release();
}

SpriteSet* ReadSpriteSet(const char* name, std::string* error) {
  std::FILE* f = OpenSprite(name, error);
  if (!f) return nullptr;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= kMaxFileBytes)
    bytes.insert(bytes.end(), chunk, chunk + got);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed || bytes.size() > kMaxFileBytes) {
    *error = std::string(name) + (failed ? ": read error" : ": larger than a sprite file can be");
    return nullptr;
  }
  SpriteSet* set = ParseSpriteSet(bytes.data(), bytes.size(), error);
  if (!set) *error = std::string(name) + ": " + *error;
  return set;
}

boost::intrusive_ptr<SpriteSet> LoadSpriteSet(const char* name) {
  std::string error;
  SpriteSet* set = ReadSpriteSet(name, &error);
  if (!set) base::Fail("LoadSpriteSet", "%s", error.c_str());
  return boost::intrusive_ptr<SpriteSet>(set);
}

void ReleaseSpriteSet(SpriteSet* set) {
  CheckSpriteSet(set, "Release");
  // Kinds that still hold the set keep drawing it; its memory goes with the
  // last holder (see intrusive_ptr_release).
  set->released = true;
}

void CheckSpriteSet(const SpriteSet* set, const char* function) {
  if (!set) base::Fail(function, "the sprite set is nil");
  if (set->released) base::Fail(function, "the sprite set was released");
}

}  // namespace video
