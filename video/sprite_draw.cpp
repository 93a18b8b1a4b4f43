// DrawSprite and DrawSpriteSolid over the forms made at load from validated
// data (within the width, levels 0-2), so nothing is checked per pixel. One
// clipping decision per call: the visible columns [a, b). Masked rows merge
// those columns 16 bytes at a time and never touch a target byte outside
// them; spans are drawn whole when the sprite lies wholly inside the target
// horizontally and cut to [a, b) otherwise.
//
// Within one draw every target pixel is under at most one sprite pixel
// (runs do not overlap), and a merge leaves the pixels under a zero mask as
// they were, so the order in which a draw's pixels are written cannot
// change what it gives: a blended pixel always reads the target as it was
// before the draw, as it does drawn from spans.
#include <cstdint>
#include <cstring>

#include "base/bytes.h"
#include "video/masked_rows.h"
#include "video/palette.h"
#include "video/sprite.h"

namespace video {

namespace {

// Copies a run. Runs are short, so the common lengths are done with two
// overlapping fixed-size moves instead of a call.
inline void CopyRun(std::uint8_t* d, const std::uint8_t* s, unsigned n) {
  if (n > 32) {
    std::memcpy(d, s, n);
  } else if (n >= 16) {
    std::uint8_t a[16], b[16];
    std::memcpy(a, s, 16);
    std::memcpy(b, s + n - 16, 16);
    std::memcpy(d, a, 16);
    std::memcpy(d + n - 16, b, 16);
  } else if (n >= 8) {
    std::uint64_t a, b;
    std::memcpy(&a, s, 8);
    std::memcpy(&b, s + n - 8, 8);
    std::memcpy(d, &a, 8);
    std::memcpy(d + n - 8, &b, 8);
  } else if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, s, 4);
    std::memcpy(&b, s + n - 4, 4);
    std::memcpy(d, &a, 4);
    std::memcpy(d + n - 4, &b, 4);
  } else {
    for (unsigned i = 0; i < n; ++i) d[i] = s[i];
  }
}

inline void FillRun(std::uint8_t* d, std::uint8_t colour, unsigned n) {
  if (n > 16) {
    std::memset(d, colour, n);
  } else if (n >= 8) {
    std::uint64_t v = 0x0101010101010101ull * colour;
    std::memcpy(d, &v, 8);
    std::memcpy(d + n - 8, &v, 8);
  } else {
    for (unsigned i = 0; i < n; ++i) d[i] = colour;
  }
}

// Blends n (source, level) pairs onto d: one table lookup per pixel.
inline void BlendRun(std::uint8_t* d, const std::uint8_t* pairs, unsigned n) {
  for (unsigned i = 0; i < n; ++i)
    d[i] = BlendTable[(static_cast<unsigned>(d[i]) << 8 | pairs[2 * i]) * 3 + pairs[2 * i + 1]];
}

// The clipped solid draw's blend: the colour argument stands in for every
// source index; only the levels come from the data.
inline void BlendRunWith(std::uint8_t* d, const std::uint8_t* pairs, unsigned n,
                         std::uint8_t colour) {
  for (unsigned i = 0; i < n; ++i)
    d[i] = BlendTable[(static_cast<unsigned>(d[i]) << 8 | colour) * 3 + pairs[2 * i + 1]];
}

enum class Mode { kNormal, kSolid };

// Rows wholly inside the target horizontally: `dst` is the target pixel of
// sprite column 0 on the first drawn row. Blended pixels take the colour in
// the solid draw.
// The spans of all drawn rows are one stretch of the array, so they are
// drawn in one loop, each placed by its own row.
template <Mode kMode>
void DrawRowsWhole(const Sprite* sprite, int first, int rows, std::uint8_t* dst, int pitch,
                   std::uint8_t colour) {
  const Span* end = sprite->spans + sprite->row_spans[first + rows];
  for (const Span* span = sprite->spans + sprite->row_spans[first]; span < end; ++span) {
    const unsigned n = span->length & ~kBlendedSpan;
    std::uint8_t* d = dst + (static_cast<std::ptrdiff_t>(span->row) - first) * pitch + span->column;
    if (kMode == Mode::kSolid)
      FillRun(d, colour, n);
    else if (span->length & kBlendedSpan)
      BlendRun(d, sprite->data + span->pixels, n);
    else
      CopyRun(d, sprite->data + span->pixels, n);
  }
}

// Draws one span's columns [from, to) (sprite columns) onto the row. In the
// solid draw, blended pixels blend the colour (this is the clipped case).
template <Mode kMode>
inline void DrawCut(const Sprite* sprite, const Span* span, int from, int to, std::uint8_t* row,
                    int x, std::uint8_t colour) {
  const unsigned n = static_cast<unsigned>(to - from),
                 skip = static_cast<unsigned>(from - span->column);
  const std::uint8_t* q = sprite->data + span->pixels;
  std::uint8_t* d = row + (x + from);
  if (span->length & kBlendedSpan) {
    if (kMode == Mode::kSolid)
      BlendRunWith(d, q + 2 * skip, n, colour);
    else
      BlendRun(d, q + 2 * skip, n);
  } else {
    if (kMode == Mode::kSolid)
      FillRun(d, colour, n);
    else
      CopyRun(d, q + skip, n);
  }
}

// Rows cut to sprite columns [a, b): `row` is the first target row; sprite
// column c lands on row[x + c], touched only for c in [a, b). One loop over
// the drawn rows' spans: those outside the window are passed over, those
// across an edge are cut (with kRight false, b is the width: none passes it).
template <Mode kMode, bool kRight>
void DrawRowsClipped(const Sprite* sprite, int first, int rows, std::uint8_t* row, int pitch, int x,
                     int a, int b, std::uint8_t colour) {
  const Span* end = sprite->spans + sprite->row_spans[first + rows];
  for (const Span* span = sprite->spans + sprite->row_spans[first]; span < end; ++span) {
    const int column = span->column;
    const int stop = column + (span->length & ~kBlendedSpan);
    if (stop <= a || (kRight && column >= b)) continue;
    std::uint8_t* line = row + (static_cast<std::ptrdiff_t>(span->row) - first) * pitch;
    DrawCut<kMode>(sprite, span, column > a ? column : a, kRight && stop > b ? b : stop, line, x,
                   colour);
  }
}

// Draws the blended pixels [p, end) of a sprite with masked rows (see
// DrawMasked); with kRows false they all lie in the drawn rows.
template <Mode kMode, bool kClipped, bool kRows>
inline void DrawBlends(const BlendPixel* p, const BlendPixel* end, int first, int rows,
                       std::uint8_t* row, int pitch, int x, std::uint8_t colour) {
  if (kMode == Mode::kNormal && !kRows) {
    // Four at a time, every read before any write, so that the table reads
    // overlap instead of each waiting behind the last write (which the
    // compiler must assume may alias). A draw's pixels are distinct bytes.
    std::uint8_t* base = row + x - static_cast<std::ptrdiff_t>(first) * pitch;
    for (; end - p >= 4; p += 4) {
      std::uint8_t* t[4];
      unsigned v[4];
      for (int k = 0; k < 4; ++k) {
        t[k] = base + static_cast<std::ptrdiff_t>(p[k].row) * pitch + p[k].column;
        v[k] = *t[k];
      }
      for (int k = 0; k < 4; ++k) v[k] = BlendTable[v[k] * 768 + p[k].source_level];
      for (int k = 0; k < 4; ++k) *t[k] = static_cast<std::uint8_t>(v[k]);
    }
  }
  for (; p < end; ++p) {
    const int r = p->row - first;
    if (kRows && (r < 0 || r >= rows)) continue;
    std::uint8_t* t = row + static_cast<std::ptrdiff_t>(r) * pitch + (x + p->column);
    if (kMode == Mode::kNormal)
      *t = BlendTable[static_cast<unsigned>(*t) * 768 + p->source_level];
    else if (kClipped)
      *t = BlendTable[(static_cast<unsigned>(*t) << 8 | colour) * 3 + p->level];
    else
      *t = colour;
  }
}

// A sprite with masked rows, sprite rows [first, first + rows) and columns
// [a, b): `row` is the first target row, and sprite column c lands on
// row[x + c]. The opaque pixels are merged first, then the blended ones of
// the window drawn from the list whose stretch holds them: by rows when
// nothing is cut left or right (kClipped false), by columns when something
// is. In the solid draw the merge takes the colour, and blended pixels take
// it too when kClipped is false, or blend it at their level when it is true.
template <Mode kMode, bool kClipped>
void DrawMasked(const Sprite* sprite, int first, int rows, std::uint8_t* row, int pitch, int x,
                int a, int b, std::uint8_t colour) {
  const std::ptrdiff_t step = 2 * static_cast<std::ptrdiff_t>(sprite->width);
  const std::uint8_t* pixels = sprite->masked + first * step + a;
  std::uint8_t* d = row + (x + a);
  const unsigned n = static_cast<unsigned>(b - a);
  if (kMode == Mode::kSolid) {
    std::uint8_t fill[kMaxMaskedWidth];
    std::memset(fill, colour, sizeof fill);
    MergeRows<kVectorMerge>(d, pitch, fill, 0, pixels + sprite->width, step, rows, n);
  } else {
    MergeRows<kVectorMerge>(d, pitch, pixels, step, pixels + sprite->width, step, rows, n);
  }
  if (!sprite->blends) return;
  const std::uint32_t* starts = sprite->blend_starts;
  if (!kClipped) {
    DrawBlends<kMode, false, false>(sprite->blends + starts[first],
                                    sprite->blends + starts[first + rows], first, rows, row, pitch,
                                    x, colour);
    return;
  }
  const std::uint32_t* columns = starts + sprite->height + 1;
  const BlendPixel* by_columns = sprite->blends + starts[sprite->height];
  if (first == 0 && rows == sprite->height)
    DrawBlends<kMode, true, false>(by_columns + columns[a], by_columns + columns[b], first, rows,
                                   row, pitch, x, colour);
  else
    DrawBlends<kMode, true, true>(by_columns + columns[a], by_columns + columns[b], first, rows,
                                  row, pitch, x, colour);
}

template <Mode kMode>
void DrawInMode(Surface* target, const Sprite* sprite, int x, int y, std::uint8_t colour) {
  const int W = target->width, H = target->height, w = sprite->width, h = sprite->height;
  // Compared in 64 bits: x and y come from scripts and may be anything.
  if (x > W || y > H || static_cast<std::int64_t>(x) + w < 0 ||
      static_cast<std::int64_t>(y) + h < 0)
    return;
  int first = 0, rows;
  if (y < 0) {
    first = -y;
    rows = y + h < H ? y + h : H;
    y = 0;
  } else {
    rows = h < H - y ? h : H - y;
  }
  if (rows <= 0) return;
  std::uint8_t* row = target->pixels + static_cast<std::ptrdiff_t>(y) * W;
  if (sprite->masked) {
    if (x >= 0 && x + w <= W) {
      DrawMasked<kMode, false>(sprite, first, rows, row, W, x, 0, w, colour);
    } else {
      const int a = x < 0 ? -x : 0, b = w < W - x ? w : W - x;
      if (a < b) DrawMasked<kMode, true>(sprite, first, rows, row, W, x, a, b, colour);
    }
  } else if (x >= 0 && x + w <= W) {
    DrawRowsWhole<kMode>(sprite, first, rows, row + x, W, colour);
  } else {
    int a = x < 0 ? -x : 0;
    int b = w < W - x ? w : W - x;
    if (a >= b) return;
    if (b < w)
      DrawRowsClipped<kMode, true>(sprite, first, rows, row, W, x, a, b, colour);
    else
      DrawRowsClipped<kMode, false>(sprite, first, rows, row, W, x, a, b, colour);
  }
}

}  // namespace

void DrawSprite(Surface* target, const Sprite* sprite, int x, int y) {
  DrawInMode<Mode::kNormal>(target, sprite, x, y, 0);
}

void DrawSpriteSolid(Surface* target, const Sprite* sprite, int x, int y, std::uint8_t colour) {
  DrawInMode<Mode::kSolid>(target, sprite, x, y, colour);
}

}  // namespace video
