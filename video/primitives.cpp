// The drawing primitives. Shapes are computed in 64 bits (128 for the line's
// products) from closed forms, so a shape is visited only where it can be
// visible: a line along its visible stretch of the longer axis, a circle
// along the rows and columns of the screen it can reach. No floating point.
#include "video/primitives.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "base/error.h"
#include "video/display.h"
#include "video/palette.h"

namespace video {

namespace {

using Int = std::int64_t;

inline void Set(std::uint8_t& d, std::uint8_t colour, int blend) {
  d = blend == kNoBlend ? colour : BlendTable[(static_cast<unsigned>(d) << 8 | colour) * 3 + blend];
}

inline void Put(Surface* t, Int x, Int y, std::uint8_t colour, int blend) {
  if (x >= 0 && y >= 0 && x < t->width && y < t->height) Set(t->pixels[y * t->width + x], colour, blend);
}

// Row y from column a to b, both included, clipped once: the pixels between
// need no test of their own.
void Row(Surface* t, Int y, Int a, Int b, std::uint8_t colour, int blend) {
  if (y < 0 || y >= t->height) return;
  a = std::max<Int>(a, 0);
  b = std::min<Int>(b, t->width - 1);
  std::uint8_t* row = t->pixels + y * t->width;
  for (Int x = a; x <= b; ++x) Set(row[x], colour, blend);
}

void Column(Surface* t, Int x, Int a, Int b, std::uint8_t colour, int blend) {
  if (x < 0 || x >= t->width) return;
  a = std::max<Int>(a, 0);
  b = std::min<Int>(b, t->height - 1);
  for (Int y = a; y <= b; ++y) Set(t->pixels[y * t->width + x], colour, blend);
}

// The largest r with r * r <= n.
std::uint64_t SquareRoot(std::uint64_t n) {
  std::uint64_t root = 0, bit = std::uint64_t{1} << 62;
  while (bit > n) bit >>= 2;
  for (; bit; bit >>= 2) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return root;
}

// The midpoint circle of radius r >= 1 in its first octant (0 <= y <= x):
// the x it plots at height y, the largest x with x(x - 1) < r² - y². Valid
// while the result is at least y (the octant's end).
Int OctantX(Int r, Int y) {
  const std::uint64_t n = static_cast<std::uint64_t>(r * r - y * y);
  return static_cast<Int>((SquareRoot(4 * n) + 1) / 2);
}

// The stretches of [0, r] in which a circle's octant can meet the screen:
// heights whose row (cy ± y) or column (cx ± y) is on it, sorted.
struct Stretches {
  Int from[4], to[4];
  int count = 0;
};
Stretches Visible(const Surface* t, Int cx, Int cy, Int r, bool columns) {
  const Int w = t->width, h = t->height;
  const Int all[4][2] = {{-cy, h - 1 - cy}, {cy - h + 1, cy}, {-cx, w - 1 - cx}, {cx - w + 1, cx}};
  Stretches s;
  for (int i = 0; i < (columns ? 4 : 2); ++i) {
    const Int a = std::max<Int>(all[i][0], 0), b = std::min(all[i][1], r);
    if (a > b) continue;
    int k = s.count++;
    for (; k > 0 && s.from[k - 1] > a; --k) {
      s.from[k] = s.from[k - 1];
      s.to[k] = s.to[k - 1];
    }
    s.from[k] = a;
    s.to[k] = b;
  }
  return s;
}

void CheckColour(const char* function, int colour, int blend) {
  if (colour < 0 || colour > 255)
    base::Fail(function, "colour must be a palette index, 0 to 255, got %d", colour);
  if (blend != kNoBlend && (blend < 0 || blend > 2))
    base::Fail(function, "blend must be 0, 1 or 2 (a blend level), got %d", blend);
}

}  // namespace

void PlotPixel(Surface* target, int x, int y, int colour, int blend) {
  Put(target, x, y, static_cast<std::uint8_t>(colour), blend);
}

void PlotLine(Surface* target, int x0, int y0, int x1, int y1, int colour, int blend) {
  const std::uint8_t c = static_cast<std::uint8_t>(colour);
  // Along the longer axis ("major") from its lower end, so that a line and
  // its reverse are the same pixels. Step i is at major a0 + i and minor
  // b0 + sb * round(i * dm / n), halves rounded away from b0.
  const bool x_major = std::abs(Int{x1} - x0) >= std::abs(Int{y1} - y0);
  Int a0 = x_major ? x0 : y0, a1 = x_major ? x1 : y1;
  Int b0 = x_major ? y0 : x0, b1 = x_major ? y1 : x1;
  if (a0 > a1) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const Int n = a1 - a0, sb = b1 >= b0 ? 1 : -1, dm = (b1 - b0) * sb;
  const Int limit = x_major ? target->width : target->height;
  const Int first = std::max<Int>(0, -a0), last = std::min(n, limit - 1 - a0);
  for (Int i = first; i <= last; ++i) {
    Int b = b0;
    if (n > 0) {
      using Wide = unsigned __int128;
      b += sb * static_cast<Int>((Wide(2) * Wide(i) * Wide(dm) + Wide(n)) / (Wide(2) * Wide(n)));
    }
    if (x_major)
      Put(target, a0 + i, b, c, blend);
    else
      Put(target, b, a0 + i, c, blend);
  }
}

void PlotRect(Surface* target, int x, int y, int w, int h, bool filled, int colour, int blend) {
  if (w <= 0 || h <= 0) return;
  const std::uint8_t c = static_cast<std::uint8_t>(colour);
  const Int left = x, right = Int{x} + w - 1, top = y, bottom = Int{y} + h - 1;
  if (filled) {
    for (Int row = std::max<Int>(top, 0); row <= std::min<Int>(bottom, target->height - 1); ++row)
      Row(target, row, left, right, c, blend);
    return;
  }
  Row(target, top, left, right, c, blend);
  if (bottom != top) Row(target, bottom, left, right, c, blend);
  Column(target, left, top + 1, bottom - 1, c, blend);
  if (right != left) Column(target, right, top + 1, bottom - 1, c, blend);
}

void PlotCircle(Surface* target, int cx, int cy, int r, bool filled, int colour, int blend) {
  if (r < 0) return;
  const std::uint8_t c = static_cast<std::uint8_t>(colour);
  if (r == 0) {
    Put(target, cx, cy, c, blend);
    return;
  }
  const Int R = r, X = cx, Y = cy;
  if (filled) {
    // Row offset h spans to the outline's farthest pixel on it: the octant's
    // x while h is within the octant, else the widest y whose x reaches h.
    const Stretches rows = Visible(target, X, Y, R, false);
    for (int s = 0; s < rows.count; ++s)
      for (Int h = s > 0 ? std::max(rows.from[s], rows.to[s - 1] + 1) : rows.from[s];
           h <= rows.to[s]; ++h) {
        const Int x = OctantX(R, h);
        const Int w =
            x >= h
                ? x
                : static_cast<Int>(SquareRoot(static_cast<std::uint64_t>(R * R - h * h + h - 1)));
        Row(target, Y + h, X - w, X + w, c, blend);
        if (h != 0) Row(target, Y - h, X - w, X + w, c, blend);
      }
    return;
  }
  // Each pixel once: the eight mirror images, less those that coincide on
  // the axes (y = 0) and the diagonals (x = y).
  const Stretches heights = Visible(target, X, Y, R, true);
  Int y = 0;
  for (int s = 0; s < heights.count; ++s)
    for (y = std::max(y, heights.from[s]); y <= heights.to[s]; ++y) {
      const Int x = OctantX(R, y);
      if (x < y) return;
      Put(target, X + x, Y + y, c, blend);
      Put(target, X - x, Y + y, c, blend);
      if (y != 0) {
        Put(target, X + x, Y - y, c, blend);
        Put(target, X - x, Y - y, c, blend);
      }
      if (x == y) continue;
      Put(target, X + y, Y + x, c, blend);
      Put(target, X + y, Y - x, c, blend);
      if (y != 0) {
        Put(target, X - y, Y + x, c, blend);
        Put(target, X - y, Y - x, c, blend);
      }
    }
}

void DrawPixel(int x, int y, int colour, int blend) {
  CheckColour("DrawPixel", colour, blend);
  PlotPixel(BackBuffer, x, y, colour, blend);
}

void DrawLine(int x0, int y0, int x1, int y1, int colour, int blend) {
  CheckColour("DrawLine", colour, blend);
  PlotLine(BackBuffer, x0, y0, x1, y1, colour, blend);
}

void DrawRect(int x, int y, int w, int h, int colour, int blend) {
  CheckColour("DrawRect", colour, blend);
  PlotRect(BackBuffer, x, y, w, h, false, colour, blend);
}

void FillRect(int x, int y, int w, int h, int colour, int blend) {
  CheckColour("FillRect", colour, blend);
  PlotRect(BackBuffer, x, y, w, h, true, colour, blend);
}

void DrawCircle(int cx, int cy, int r, int colour, int blend) {
  CheckColour("DrawCircle", colour, blend);
  PlotCircle(BackBuffer, cx, cy, r, false, colour, blend);
}

void FillCircle(int cx, int cy, int r, int colour, int blend) {
  CheckColour("FillCircle", colour, blend);
  PlotCircle(BackBuffer, cx, cy, r, true, colour, blend);
}

}  // namespace video
