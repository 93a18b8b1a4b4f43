// Run-length sprites and sprite sets. Every set is validated when loaded
// (base/sprite_file: counts, sizes, every row's runs within L and within the
// width, run codes, blend levels, exact data length), so the drawing code
// trusts the data and makes one clipping decision per call, no per-pixel
// checks. A sprite is drawn from one of two forms made at load: masked rows
// (narrow sprites) or spans (wider ones).
//
// A SpriteSet is shared by the script's handle and by the kinds that use it
// (intrusive count `refs`). Release marks it released: any further use by a
// script is a script error; kinds that hold it keep drawing it, and its
// memory goes when the last holder lets go.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/intrusive_ptr.hpp>

#include "video/surface.h"

namespace video {

// A run that draws, prepared at load: its first column, its length (with
// kBlendedSpan set for blended pixels), where its pixels start in the
// sprite's data, and its row. Transparent runs are only the gaps between spans.
struct Span {
  std::uint16_t column;
  std::uint16_t length;
  std::uint32_t pixels;
  std::uint32_t row;
};
constexpr std::uint16_t kBlendedSpan = 0x8000;

// Sprites up to this wide are drawn from masked rows (unless most of their
// pixels are blended): a row costs a few 16-byte merges whatever its runs,
// where spans cost a call per run, and scattered transparency makes many
// short runs.
constexpr std::int32_t kMaxMaskedWidth = 64;

// A blended pixel of a sprite drawn from masked rows. `source_level` is
// source * 3 + level, its offset within a target pixel's BlendTable block.
struct BlendPixel {
  std::uint16_t row;
  std::uint8_t column;
  std::uint8_t level;
  std::uint16_t source_level;
};

struct Sprite {
  std::uint8_t* data;  // the rows as the file holds them
  std::int32_t width;
  std::int32_t height;
  std::int32_t size;
  // The rows as spans, left to right: row r is spans[row_spans[r]] up to
  // spans[row_spans[r + 1]] (height + 1 entries). Drawing reads only these,
  // so clipping is a cut of each span, with no run decoding. nullptr when
  // the sprite is drawn from masked rows.
  Span* spans;
  std::uint32_t* row_spans;
  // Sprites 1 to kMaxMaskedWidth wide (at least one row high, at most half
  // their drawn pixels blended): row r is `width` pixels at
  // masked[2 * width * r], the opaque ones in place, and right after them
  // its mask, 0xFF on opaque pixels and 0 on the others. nullptr for the
  // others, which are drawn from spans.
  std::uint8_t* masked;
  // The blended pixels of masked rows, listed twice so that the ones a draw
  // shows are one stretch of a list: by rows (row r's are blends[i] for
  // blend_starts[r] <= i < blend_starts[r + 1]), for draws not cut left or
  // right, then by columns (column c's are blends[n + i] for
  // blend_starts[h + 1 + c] <= i < blend_starts[h + 2 + c], n of them in
  // all, h the height), for draws that are. nullptr when there are none.
  BlendPixel* blends;
  std::uint32_t* blend_starts;  // height + 1 + width + 1 entries
};

struct SpriteSet {
  Sprite** sprites;  // nullptr when count is 0
  std::uint16_t count;
  int refs;
  bool released;
  std::size_t charged;  // bytes charged to the memory budget, given back with the set
};

void intrusive_ptr_add_ref(SpriteSet* set);
void intrusive_ptr_release(SpriteSet* set);

// Parses and validates a sprite-set file image. nullptr and a message
// ("sprite 3: row 2: a run passes the sprite's width ...") when malformed or
// when the set does not fit in the memory budget ("not enough memory");
// nothing of a refused file is kept.
SpriteSet* ParseSpriteSet(const std::uint8_t* bytes, std::size_t length, std::string* error);
// The path of a file of the sprite directory (base::GetSpritePath's buffer);
// nullptr and a message naming the file when there is no name or the path
// is too long.
const char* SpritePath(const char* name, std::string* error);
// Reads the named file of the sprite directory; nullptr and a message that
// names the file when it is missing or malformed.
SpriteSet* ReadSpriteSet(const char* name, std::string* error);
// Frees a set and its sprites whatever its count (for sets never handed to
// a script or a kind: tests, tools).
void DestroySpriteSet(SpriteSet* set);

// Script-facing: a script error naming LoadSpriteSet and the file on failure.
boost::intrusive_ptr<SpriteSet> LoadSpriteSet(const char* name);
// Script-facing SpriteSet:Release; a second Release is a script error.
void ReleaseSpriteSet(SpriteSet* set);
// Throws a script error naming `function` when the set is nil or released.
void CheckSpriteSet(const SpriteSet* set, const char* function);

// Draws a validated sprite with its top-left pixel at (x, y), clipped to the
// target: opaque runs are copied, blended pixels looked up in BlendTable.
void DrawSprite(Surface* target, const Sprite* sprite, int x, int y);
// The sprite's shape in one colour. Blended pixels take the colour when the
// sprite lies wholly inside the target horizontally, but BlendTable entry
// (target pixel, colour) at their level when it is clipped left or right;
// scripts see this difference, so it is kept.
void DrawSpriteSolid(Surface* target, const Sprite* sprite, int x, int y, std::uint8_t colour);

}  // namespace video
