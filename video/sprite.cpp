// Sprite-set loading and the script-facing set handle. A set is built only
// from a file that passed every check of base/sprite_file, so drawing can
// trust widths, row lengths, run codes and blend levels. Every byte a set's
// drawing forms take is charged with the set.
#include "video/sprite.h"

#include <cstring>
#include <memory>
#include <vector>

#include "base/bytes.h"
#include "base/error.h"
#include "base/file.h"
#include "base/memory_budget.h"
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
    delete[] set->sprites[i]->masked;
    delete[] set->sprites[i]->blends;
    delete[] set->sprites[i]->blend_starts;
    delete set->sprites[i];
  }
  delete[] set->sprites;
  set->sprites = nullptr;
}

// Calls span(row, column, length, pixels) for each opaque or blended run of
// a validated sprite, row after row (length with kBlendedSpan for blended
// runs), and row_end(row) after each row.
template <class SpanFn, class RowFn>
void WalkRuns(const Sprite* sprite, SpanFn span, RowFn row_end) {
  std::uint32_t offset = 0;
  for (std::int32_t row = 0; row < sprite->height; ++row) {
    const std::uint32_t end = offset + 2 + base::GetLe16(sprite->data + offset);
    std::uint32_t q = offset + 2;
    unsigned column = 0;
    while (q < end) {
      const unsigned code = base::GetLe16(sprite->data + q);
      const unsigned n = code & 0xFFF;
      q += 2;
      if (code & 0x8000) {
      } else if (code & 0x4000) {
        span(row, column, n | kBlendedSpan, q);
        q += 2 * n;
      } else {
        span(row, column, n, q);
        q += n;
      }
      column += n;
    }
    row_end(row);
    offset = end;
  }
}

// Charges `bytes` for `set`; false when they do not fit.
bool ChargeFor(SpriteSet* set, std::size_t bytes) {
  bytes += base::kBlockOverhead;
  if (!base::TryCharge(bytes)) return false;
  set->charged += bytes;
  return true;
}

// The spans of a validated sprite: one per opaque or blended run. They are
// counted first, so that exactly their room is charged and allocated.
bool MakeSpans(SpriteSet* set, Sprite* sprite) {
  std::size_t count = 0;
  WalkRuns(
      sprite, [&](std::int32_t, unsigned, unsigned, std::uint32_t) { ++count; },
      [](std::int32_t) {});
  const std::size_t rows = static_cast<std::size_t>(sprite->height) + 1;
  if (!ChargeFor(set, rows * sizeof(std::uint32_t))) return false;
  sprite->row_spans = new std::uint32_t[rows];
  if (!ChargeFor(set, (count ? count : 1) * sizeof(Span))) return false;
  sprite->spans = new Span[count ? count : 1];
  std::uint32_t made = 0;
  sprite->row_spans[0] = 0;
  WalkRuns(
      sprite,
      [&](std::int32_t row, unsigned column, unsigned length, std::uint32_t pixels) {
        sprite->spans[made++] = {static_cast<std::uint16_t>(column),
                                 static_cast<std::uint16_t>(length), pixels,
                                 static_cast<std::uint32_t>(row)};
      },
      [&](std::int32_t row) { sprite->row_spans[row + 1] = made; });
  return true;
}

// Whether masked rows draw the sprite faster than spans: they do unless
// most of its pixels are blended, which a list draws slower than runs.
bool DrawsMasked(const Sprite* sprite) {
  if (sprite->width < 1 || sprite->width > kMaxMaskedWidth || sprite->height < 1) return false;
  std::size_t blended = 0, opaque = 0;
  WalkRuns(
      sprite,
      [&](std::int32_t, unsigned, unsigned length, std::uint32_t) {
        (length & kBlendedSpan ? blended : opaque) += length & ~kBlendedSpan;
      },
      [](std::int32_t) {});
  return blended <= opaque;
}

// The masked rows and the blended pixels' lists of a validated sprite that
// DrawsMasked; runs never overlap, so each pixel is set once.
bool MakeMasked(SpriteSet* set, Sprite* sprite) {
  const std::size_t w = static_cast<std::size_t>(sprite->width),
                    h = static_cast<std::size_t>(sprite->height);
  std::uint32_t blends = 0;
  WalkRuns(
      sprite,
      [&](std::int32_t, unsigned, unsigned length, std::uint32_t) {
        if (length & kBlendedSpan) blends += length & ~kBlendedSpan;
      },
      [](std::int32_t) {});
  if (!ChargeFor(set, 2 * w * h)) return false;
  sprite->masked = new std::uint8_t[2 * w * h]();
  if (blends) {
    if (!ChargeFor(set, (h + w + 2) * sizeof(std::uint32_t))) return false;
    sprite->blend_starts = new std::uint32_t[h + w + 2]();
    if (!ChargeFor(set, 2 * std::size_t{blends} * sizeof(BlendPixel))) return false;
    sprite->blends = new BlendPixel[2 * std::size_t{blends}];
  }
  std::uint32_t made = 0;
  WalkRuns(
      sprite,
      [&](std::int32_t row, unsigned column, unsigned length, std::uint32_t pixels) {
        const std::uint8_t* q = sprite->data + pixels;
        if (length & kBlendedSpan) {
          for (unsigned i = 0; i < (length & ~kBlendedSpan); ++i)
            sprite->blends[made++] = {
                static_cast<std::uint16_t>(row), static_cast<std::uint8_t>(column + i), q[2 * i + 1],
                static_cast<std::uint16_t>(q[2 * i] * 3 + q[2 * i + 1])};
        } else {
          std::uint8_t* line = sprite->masked + 2 * w * static_cast<std::size_t>(row);
          std::memcpy(line + column, q, length);
          std::memset(line + w + column, 0xFF, length);
        }
      },
      [&](std::int32_t row) {
        if (blends) sprite->blend_starts[row + 1] = made;
      });
  if (!blends) return true;
  // By columns: a counting sort of the list by rows, which keeps each
  // column's pixels in row order.
  std::uint32_t* columns = sprite->blend_starts + h + 1;
  for (std::uint32_t i = 0; i < blends; ++i) ++columns[sprite->blends[i].column + 1];
  for (std::size_t c = 0; c < w; ++c) columns[c + 1] += columns[c];
  for (std::uint32_t i = 0; i < blends; ++i)
    sprite->blends[blends + columns[sprite->blends[i].column]++] = sprite->blends[i];
  // Each column's start moved to the next one's: back by one place.
  for (std::size_t c = w - 1; c > 0; --c) columns[c] = columns[c - 1];
  columns[0] = 0;
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
  base::Release(set->charged);
  delete set;
}

SpriteSet* ParseSpriteSet(const std::uint8_t* bytes, std::size_t length, std::string* error) {
  std::vector<base::SpriteView> records;
  if (!base::DecodeSpriteSet(bytes, length, &records, error)) return nullptr;
  // The array is filled as sprites are built, so running out of memory
  // frees exactly what was built, and gives back what was charged for it.
  std::unique_ptr<SpriteSet, void (*)(SpriteSet*)> set(new SpriteSet{nullptr, 0, 0, false, 0},
                                                       DestroySpriteSet);
  bool fits = ChargeFor(set.get(), sizeof(SpriteSet));
  if (fits && !records.empty()) {
    fits = ChargeFor(set.get(), records.size() * sizeof(Sprite*));
    if (fits) set->sprites = new Sprite*[records.size()]();
    set->count = static_cast<std::uint16_t>(records.size());
  }
  for (std::size_t i = 0; fits && i < records.size(); ++i) {
    const base::SpriteView& r = records[i];
    fits = ChargeFor(set.get(), sizeof(Sprite)) && ChargeFor(set.get(), r.size);
    if (!fits) break;
    auto* sprite = new Sprite{
        nullptr, r.width, r.height, static_cast<std::int32_t>(r.size), nullptr, nullptr, nullptr,
        nullptr, nullptr};
    set->sprites[i] = sprite;
    sprite->data = new std::uint8_t[r.size];
    std::memcpy(sprite->data, r.rows, r.size);
    fits = DrawsMasked(sprite) ? MakeMasked(set.get(), sprite) : MakeSpans(set.get(), sprite);
  }
  if (!fits) {
    *error = "not enough memory";
    return nullptr;
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
