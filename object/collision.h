// Script collision checks against the enemy and enemy-bullet lists. Every
// check walks its lists with ListWalk, so callbacks may spawn, dispose, run
// other checks or call ClearInstance (which ends the check; see instance.h).
#pragma once
#include <cstdint>

#include "object/geometry.h"
#include "object/instance.h"

namespace object {

// The hit test's radius of an instance: its kind's size (0 without a kind).
inline std::int32_t SizeOf(const Instance* i) { return i->object ? i->object->size : 0; }
// dx^2 + dy^2 < sa^2 + sb^2, strictly, in wrapping signed 32-bit arithmetic.
inline bool TouchAt(std::int32_t ax, std::int32_t ay, std::int32_t as, std::int32_t bx,
                    std::int32_t by, std::int32_t bs) {
  const std::int32_t dx = WrapSub(ax, bx), dy = WrapSub(ay, by);
  return WrapAdd(WrapMul(dx, dx), WrapMul(dy, dy)) < WrapAdd(WrapMul(as, as), WrapMul(bs, bs));
}
// TouchAt on the absolute positions and the kinds' sizes.
bool Touch(Instance* a, Instance* b);
// SetDamage's test of an enemy at (ex, ey) of size r against (x, y, w, h).
bool MeetsRectangle(std::int32_t ex, std::int32_t ey, std::int32_t r, int x, int y, int w, int h);

// A nil `who` does nothing; a nil name is a script error.
void CheckEnemy(Instance* who, const char* name);
void CheckEBullet(Instance* who, const char* name);
void SetDamage(int x, int y, int w, int h);

}  // namespace object
