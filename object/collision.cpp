// Collision checks: touch and rectangle tests, CheckEnemy, CheckEBullet and
// SetDamage. Every removal is complete before the next callback, so an error
// in a callback leaves the lists consistent.
#include "object/collision.h"

#include "base/error.h"
#include "script/host.h"

namespace object {

namespace {

// Reports every enemy of both lists that `touches` accepts to `name`.
template <class Test>
void ReportEnemies(const char* name, Test touches) {
  for (List list : {kEnemy0, kEnemy1}) {
    for (ListWalk walk(list); Instance* e = walk.Next();) {
      const std::uint32_t seen = e->generation;
      if (touches(e)) script::CallFunction(name, e->index);
      ListWalk::Finish(e, seen);
    }
  }
}

}  // namespace

bool Touch(Instance* a, Instance* b) {
  std::int32_t ax, ay, bx, by;
  AbsolutePosition(a, &ax, &ay);
  AbsolutePosition(b, &bx, &by);
  return TouchAt(ax, ay, SizeOf(a), bx, by, SizeOf(b));
}

bool MeetsRectangle(std::int32_t ex, std::int32_t ey, std::int32_t r, int x, int y, int w, int h) {
  const std::int32_t right = WrapAdd(x, w), bottom = WrapAdd(y, h);
  if (WrapSub(x, r) < ex && ex < WrapAdd(right, r) && y < ey && ey < bottom) return true;
  if (x < ex && ex < right && WrapSub(y, r) < ey && ey < WrapAdd(bottom, r)) return true;
  const std::int32_t dxc = ex >= x ? WrapSub(right, ex) : WrapSub(x, ex);
  const std::int32_t dyc = ey >= y ? WrapSub(bottom, ey) : WrapSub(y, ey);
  return WrapAdd(WrapMul(dxc, dxc), WrapMul(dyc, dyc)) < WrapMul(r, r);
}

void CheckEnemy(Instance* who, const char* name) {
  if (!who) return;
  if (!name) base::Fail("CheckEnemy", "no function name given (nil)");
  ReportEnemies(name, [who](Instance* e) { return Touch(who, e); });
}

void CheckEBullet(Instance* who, const char* name) {
  if (!who) return;
  if (!name) base::Fail("CheckEBullet", "no function name given (nil)");
  for (ListWalk walk(kEBullet); Instance* b = walk.Next();) {
    const std::uint32_t seen = b->generation;
    if (Touch(who, b)) {
      script::CallFunction(name, b->index);
      // Taken without disposal, whatever the callback did (unless it has
      // already left the list, for instance through ClearInstance).
      if (b->generation == seen) ReturnToPool(b);
      return;
    }
    ListWalk::Finish(b, seen);
  }
}

void SetDamage(int x, int y, int w, int h) {
  ReportEnemies("damage", [=](Instance* e) {
    std::int32_t ex, ey;
    AbsolutePosition(e, &ex, &ey);
    return MeetsRectangle(ex, ey, SizeOf(e), x, y, w, h);
  });
}

}  // namespace object
