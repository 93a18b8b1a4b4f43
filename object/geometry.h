// Positions, distances and directions of instances (absolute through the
// parent chain; nil stands for the screen centre).
#pragma once
#include <cstdint>

#include "base/fixed.h"
#include "object/instance.h"

namespace object {

// Signed 32-bit arithmetic that wraps instead of overflowing.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
// The whole-pixel part of a FIXED coordinate (its upper 16 bits, signed).
inline std::int32_t PixelOf(base::FIXED v) { return static_cast<std::int16_t>(v >> 16); }

// Absolute position (GetX, GetY) in one walk up the parent chain.
inline void AbsolutePosition(const Instance* i, std::int32_t* x, std::int32_t* y) {
  std::int32_t ax = 0, ay = 0;
  for (; i; i = i->parent) {
    ax = WrapAdd(ax, PixelOf(i->x));
    ay = WrapAdd(ay, PixelOf(i->y));
  }
  *x = ax;
  *y = ay;
}

int GetX(Instance* i);
int GetY(Instance* i);
void SetX(Instance* i, int v);
void SetY(Instance* i, int v);
int GetDist(Instance* a, Instance* b);
std::uint8_t GetDir(Instance* a, Instance* b);
int GetDestDist(Instance* a, int x, int y);
std::uint8_t GetDestDir(Instance* a, int x, int y);
// The coarse arctangent: direction of the offset (dx, dy), 0..120.
int DirectionOf(int dx, int dy);
// Largest i with TanTable[i] < r, or 30 above TanTable[29].
int TangentIndex(int r);

}  // namespace object
