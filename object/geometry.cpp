// Geometry queries. Positions are summed through the parent chain (finite:
// SetParent refuses loops); products and squares wrap as signed 32-bit
// numbers, and nothing traps on positions far outside the screen.
#include "object/geometry.h"

#include <cstdlib>

#include "base/fixed.h"

namespace object {

namespace {

inline std::int32_t Add(std::int32_t a, std::int32_t b) { return WrapAdd(a, b); }
inline std::int32_t Sub(std::int32_t a, std::int32_t b) { return WrapSub(a, b); }
inline std::int32_t Mul(std::int32_t a, std::int32_t b) { return WrapMul(a, b); }
inline std::int32_t Wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }

}  // namespace

int GetX(Instance* i) {
  if (!i) return 160;
  std::int32_t x = 0;
  for (; i; i = i->parent) x = Add(x, PixelOf(i->x));
  return x;
}

int GetY(Instance* i) {
  if (!i) return 120;
  std::int32_t y = 0;
  for (; i; i = i->parent) y = Add(y, PixelOf(i->y));
  return y;
}

void SetX(Instance* i, int v) {
  if (!i) return;
  i->x = Wrap(static_cast<std::uint32_t>(v) << 16);
  NoteLayoutChange(i);
}

void SetY(Instance* i, int v) {
  if (!i) return;
  i->y = Wrap(static_cast<std::uint32_t>(v) << 16);
  NoteLayoutChange(i);
}

int GetDist(Instance* a, Instance* b) {
  if (!a || !b) return 99999;
  std::int32_t dx = Sub(GetX(a), GetX(b)), dy = Sub(GetY(a), GetY(b));
  return Add(Mul(dx, dx), Mul(dy, dy));
}

std::uint8_t GetDir(Instance* a, Instance* b) {
  if (!a || !b) return 30;
  return static_cast<std::uint8_t>(DirectionOf(Sub(GetX(b), GetX(a)), Sub(GetY(b), GetY(a))));
}

int GetDestDist(Instance* a, int x, int y) {
  if (!a) return 99999;
  std::int32_t dx = Sub(x, GetX(a)), dy = Sub(y, GetY(a));
  return Add(Mul(dx, dx), Mul(dy, dy));
}

std::uint8_t GetDestDir(Instance* a, int x, int y) {
  if (!a) return 30;
  return static_cast<std::uint8_t>(DirectionOf(Sub(x, GetX(a)), Sub(y, GetY(a))));
}

int DirectionOf(int dx, int dy) {
  if (dx == 0) return dy > 0 ? 30 : 90;
  // 64-bit division: the wrapped dy * 64 over -1 must not trap.
  const std::int64_t q = static_cast<std::int64_t>(Mul(dy, 64)) / dx;
  const std::int64_t r = q < 0 ? -q : q;
  const int a = r == 0 ? 0 : TangentIndex(r > 65535 ? 65535 : static_cast<int>(r));
  if (dx > 0) return dy > 0 ? a : 120 - a;
  return dy > 0 ? 60 - a : 60 + a;
}

int TangentIndex(int r) {
  if (r > base::TanTable[29]) return 30;
  // Largest i with T[i] < r; T is increasing and T[0] = 0.
  int lo = 0, hi = 29;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (base::TanTable[mid] < r)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

}  // namespace object
