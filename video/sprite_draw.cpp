// DrawSprite and DrawSpriteSolid. The data was validated at load (runs stay
// within L and within the width, levels 0-2), so rows are decoded without
// checks. One clipping decision per call: a sprite wholly inside the target
// horizontally takes the unclipped path; otherwise every row is cut to the
// visible columns [a, b).
#include <cstdint>
#include <cstring>

#include "base/bytes.h"
#include "video/palette.h"
#include "video/sprite.h"

namespace video {

namespace {

using base::GetLe16;

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

// Draws the runs from q to the row's end with their first pixel at d; no
// run passes the target's edge. Blended pixels take the colour in the
// solid draw (this is the unclipped case).
template <Mode kMode>
inline void DrawRuns(const std::uint8_t* q, const std::uint8_t* end, std::uint8_t* d,
                     std::uint8_t colour) {
  while (q < end) {
    unsigned code = GetLe16(q);
    q += 2;
    unsigned n = code & 0xFFF;
    if (code & 0x8000) {
      d += n;
    } else if (code & 0x4000) {
      if (kMode == Mode::kSolid) FillRun(d, colour, n);
      else BlendRun(d, q, n);
      q += 2 * n;
      d += n;
    } else {
      if (kMode == Mode::kSolid) FillRun(d, colour, n);
      else CopyRun(d, q, n);
      q += n;
      d += n;
    }
  }
}

// Rows wholly inside the target horizontally: `dst` is the target pixel of
// sprite column 0 on the first row.
template <Mode kMode>
void DrawRowsWhole(const std::uint8_t* p, int rows, std::uint8_t* dst, int pitch,
                   std::uint8_t colour) {
  for (; rows > 0; --rows, dst += pitch) {
    const std::uint8_t* q = p + 2;
    p = q + GetLe16(p);
    DrawRuns<kMode>(q, p, dst, colour);
  }
}

// Bytes of pixel data after a run's code.
// Branch-free: n shifted by the blended bit, masked to 0 for transparent.
inline unsigned DataBytes(unsigned code, unsigned n) {
  return (n << ((code >> 14) & 1)) & ((code >> 15) - 1);
}

// Draws sprite columns [from, to) of one run that starts at sprite column
// `column`; `q` points at the run's pixel data.
template <Mode kMode>
inline void DrawPart(unsigned code, const std::uint8_t* q, int column, int from, int to,
                     std::uint8_t* row, int x, std::uint8_t colour) {
  if (code & 0x8000) return;
  std::uint8_t* d = row + (x + from);
  unsigned n = static_cast<unsigned>(to - from), skip = static_cast<unsigned>(from - column);
  if (code & 0x4000) {
    if (kMode == Mode::kSolid) BlendRunWith(d, q + 2 * skip, n, colour);
    else BlendRun(d, q + 2 * skip, n);
  } else {
    if (kMode == Mode::kSolid) FillRun(d, colour, n);
    else CopyRun(d, q + skip, n);
  }
}

// Rows cut to sprite columns [a, b): `row` is the first target row; sprite
// column c lands on row[x + c], touched only for c in [a, b). Each row is
// decoded in three stretches: runs wholly left of a are only stepped over,
// the run that reaches a is cut, and from there runs are drawn whole until
// one passes b. With kRight false, b is the sprite's width, which no run
// passes, so the last stretch is the unclipped loop.
template <Mode kMode, bool kRight>
void DrawRowsClipped(const std::uint8_t* p, int rows, std::uint8_t* row, int pitch, int x, int a,
                     int b, std::uint8_t colour) {
  for (; rows > 0; --rows, row += pitch) {
    const std::uint8_t* q = p + 2;
    const std::uint8_t* end = q + GetLe16(p);
    p = end;
    int column = 0;
    unsigned code = 0, n = 0;
    while (q < end) {
      code = GetLe16(q);
      n = code & 0xFFF;
      if (column + static_cast<int>(n) > a) break;
      q += 2 + DataBytes(code, n);
      column += static_cast<int>(n);
    }
    if (q >= end) continue;
    q += 2;
    int stop = column + static_cast<int>(n);
    DrawPart<kMode>(code, q, column, a, stop < b ? stop : b, row, x, colour);
    q += DataBytes(code, n);
    column = stop;
    if (!kRight) {
      // Nothing passes the right edge: the rest of the row as unclipped,
      // except that a solid draw's blended pixels still blend.
      if (kMode == Mode::kNormal) {
        DrawRuns<kMode>(q, end, row + (x + column), colour);
        continue;
      }
    }
    while (q < end && (!kRight || column < b)) {
      code = GetLe16(q);
      q += 2;
      n = code & 0xFFF;
      stop = column + static_cast<int>(n);
      if (!kRight || stop <= b) {
        std::uint8_t* d = row + (x + column);
        if (code & 0x8000) {
        } else if (code & 0x4000) {
          if (kMode == Mode::kSolid) BlendRunWith(d, q, n, colour);
          else BlendRun(d, q, n);
        } else {
          if (kMode == Mode::kSolid) FillRun(d, colour, n);
          else CopyRun(d, q, n);
        }
      } else {
        DrawPart<kMode>(code, q, column, column, b, row, x, colour);
      }
      q += DataBytes(code, n);
      column = stop;
    }
  }
}

template <Mode kMode>
void Draw(Surface* target, const Sprite* sprite, int x, int y, std::uint8_t colour) {
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
  const std::uint8_t* p = sprite->data + sprite->row_offsets[first];
  std::uint8_t* row = target->pixels + static_cast<std::ptrdiff_t>(y) * W;
  if (x >= 0 && x + w <= W) {
    DrawRowsWhole<kMode>(p, rows, row + x, W, colour);
  } else {
    int a = x < 0 ? -x : 0;
    int b = w < W - x ? w : W - x;
    if (a >= b) return;
    if (b < w)
      DrawRowsClipped<kMode, true>(p, rows, row, W, x, a, b, colour);
    else
      DrawRowsClipped<kMode, false>(p, rows, row, W, x, a, b, colour);
  }
}

}  // namespace

void DrawSprite(Surface* target, const Sprite* sprite, int x, int y) {
  Draw<Mode::kNormal>(target, sprite, x, y, 0);
}

void DrawSpriteSolid(Surface* target, const Sprite* sprite, int x, int y, std::uint8_t colour) {
  Draw<Mode::kSolid>(target, sprite, x, y, colour);
}

}  // namespace video
