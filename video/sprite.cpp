// Sprite-set loading and the script-facing set handle. A set is built only
// from a file that passed every check of base/sprite_file, so drawing can
// trust widths, row lengths, run codes and blend levels.
#include "video/sprite.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "base/bytes.h"
#include "base/error.h"
#include "base/file.h"
#include "base/paths.h"
#include "base/sprite_file.h"

namespace video {

namespace {

void FreeSprites(SpriteSet* set) {
  for (std::uint16_t i = 0; set->sprites && i < set->count; ++i) {
    if (!set->sprites[i]) continue;
    delete[] set->sprites[i]->data;
    delete[] set->sprites[i]->spans;
    delete[] set->sprites[i]->row_spans;
    delete set->sprites[i];
  }
  delete[] set->sprites;
  set->sprites = nullptr;
}

// The spans of a validated sprite: one per opaque or blended run.
void MakeSpans(Sprite* sprite) {
  std::vector<Span> spans;
  sprite->row_spans = new std::uint32_t[static_cast<std::size_t>(sprite->height) + 1];
  std::uint32_t offset = 0;
  for (std::int32_t row = 0; row < sprite->height; ++row) {
    sprite->row_spans[row] = static_cast<std::uint32_t>(spans.size());
    const std::uint32_t end = offset + 2 + base::GetLe16(sprite->data + offset);
    std::uint32_t q = offset + 2;
    unsigned column = 0;
    while (q < end) {
      const unsigned code = base::GetLe16(sprite->data + q);
      const unsigned n = code & 0xFFF;
      q += 2;
      if (code & 0x8000) {
      } else if (code & 0x4000) {
        spans.push_back({static_cast<std::uint16_t>(column),
                         static_cast<std::uint16_t>(n | kBlendedSpan), q,
                         static_cast<std::uint32_t>(row)});
        q += 2 * n;
      } else {
        spans.push_back({static_cast<std::uint16_t>(column), static_cast<std::uint16_t>(n), q,
                         static_cast<std::uint32_t>(row)});
        q += n;
      }
      column += n;
    }
    offset = end;
  }
  sprite->row_spans[sprite->height] = static_cast<std::uint32_t>(spans.size());
  sprite->spans = new Span[spans.size() ? spans.size() : 1];
  std::copy(spans.begin(), spans.end(), sprite->spans);
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

SpriteSet* ParseSpriteSet(const std::uint8_t* bytes, std::size_t length, std::string* error) {
  std::vector<base::SpriteView> records;
  if (!base::DecodeSpriteSet(bytes, length, &records, error)) return nullptr;
  // The array is filled as sprites are built, so running out of memory
  // frees exactly what was built.
  std::unique_ptr<SpriteSet, void (*)(SpriteSet*)> set(new SpriteSet{nullptr, 0, 0, false},
                                                       DestroySpriteSet);
  if (!records.empty()) {
    set->sprites = new Sprite*[records.size()]();
    set->count = static_cast<std::uint16_t>(records.size());
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    const base::SpriteView& r = records[i];
    auto* sprite =
        new Sprite{nullptr, r.width, r.height, static_cast<std::int32_t>(r.size), nullptr, nullptr};
    set->sprites[i] = sprite;
    sprite->data = new std::uint8_t[r.size];
    std::memcpy(sprite->data, r.rows, r.size);
    MakeSpans(sprite);
  }
  return set.release();
}

const char* SpritePath(const char* name, std::string* error) {
  if (!name) {
    *error = "no file name given";
    return nullptr;
  }
  const char* path = base::GetSpritePath(name);
  if (!path) *error = std::string(name) + ": the path is too long";
  return path;
}

SpriteSet* ReadSpriteSet(const char* name, std::string* error) {
  const char* path = SpritePath(name, error);
  if (!path) return nullptr;
  std::vector<std::uint8_t> bytes;
  base::FileError failure;
  if (!base::ReadFile(path, base::kMaxSpriteFileBytes, &bytes, &failure)) {
    *error = std::string(name) + ": " + failure.Text();
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
