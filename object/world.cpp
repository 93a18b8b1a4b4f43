// World update and render: Instance::Step, the walks of UpdateWorld with
// their culls and the player-bullet hit test, and the drawing of the lists.
// Integer arithmetic only; nothing here allocates.
#include "object/world.h"

#include <cstdint>

#include "base/fixed.h"
#include "object/collision.h"
#include "object/geometry.h"
#include "object/instance.h"
#include "script/host.h"
#include "video/display.h"
#include "video/sprite.h"

namespace object {

namespace {

// Culling bounds, inclusive: the screen plus a 5-pixel margin.
constexpr std::int32_t kLeft = -5, kRight = 325, kTop = -5, kBottom = 245;

std::int32_t SizeOf(const Instance* i) { return i->object ? i->object->size : 0; }

void Animate(Instance* i, const AnimEntry& e) {
  if (i->tick < e.hold) {
    ++i->tick;
    return;
  }
  i->tick = 0;
  int frame = i->frame;
  if (e.start < e.end) {
    ++frame;
    if (frame < e.start)
      frame = e.start;
    else if (frame > e.end)
      frame = e.loop ? e.start : e.end;
  } else {
    --frame;
    if (frame > e.start)
      frame = e.start;
    else if (frame < e.end)
      frame = e.loop ? e.start : e.end;
  }
  i->frame = static_cast<std::int16_t>(frame);
}

void StepList(List list) {
  for (ListWalk walk(list); Instance* i = walk.Next();) {
    const std::uint32_t life = i->generation;
    i->Step();
    ListWalk::Finish(i, life);
  }
}

void StepEnemyBullets() {
  for (ListWalk walk(kEBullet); Instance* b = walk.Next();) {
    const std::uint32_t life = b->generation;
    b->Step();
    if (b->generation == life) {
      std::int32_t x, y;
      AbsolutePosition(b, &x, &y);
      if (x < kLeft || x > kRight || y < kTop || y > kBottom) Dispose(b);
    }
    ListWalk::Finish(b, life);
  }
}

// Tests one player bullet against every enemy, reporting hits to "e_col".
// Stops when the bullet leaves its list during a callback.
void HitEnemies(Instance* b, std::uint32_t bullet_life) {
  std::int32_t bx, by;
  AbsolutePosition(b, &bx, &by);
  std::int32_t bs = SizeOf(b);
  for (List list : {kEnemy0, kEnemy1}) {
    for (ListWalk walk(list); Instance* e = walk.Next();) {
      const std::uint32_t life = e->generation;
      std::int32_t ex, ey;
      AbsolutePosition(e, &ex, &ey);
      if (TouchAt(ex, ey, SizeOf(e), bx, by, bs)) {
        script::CallFunction("e_col", e->index, b->index);
        ListWalk::Finish(e, life);
        if (b->generation != bullet_life) return;
        // The callback may have moved the bullet or changed its kind.
        AbsolutePosition(b, &bx, &by);
        bs = SizeOf(b);
      } else {
        ListWalk::Finish(e, life);
      }
    }
  }
}

void StepPlayerBullets() {
  for (ListWalk walk(kPBullet); Instance* b = walk.Next();) {
    const std::uint32_t life = b->generation;
    b->Step();
    if (b->generation == life) {
      std::int32_t x, y;
      AbsolutePosition(b, &x, &y);
      // No bottom edge: a player bullet below the screen stays.
      if (x < kLeft || x > kRight || y < kTop) Dispose(b);
    }
    if (b->generation == life) HitEnemies(b, life);
    ListWalk::Finish(b, life);
  }
}

void DrawList(List list, video::Surface* target) {
  for (ListWalk walk(list); Instance* i = walk.Next();) {
    if (i->disposed) continue;
    const Object* kind = i->object.get();
    if (!kind || i->anim >= kind->animsize) continue;
    const video::SpriteSet* set = kind->spriteset.get();
    if (!set || !set->sprites || i->frame < 0 || i->frame >= set->count) continue;
    const video::Sprite* sprite = set->sprites[i->frame];
    if (!sprite) continue;
    std::int32_t ax, ay;
    AbsolutePosition(i, &ax, &ay);
    const std::int64_t px = static_cast<std::int64_t>(ax) - kind->cx;
    const std::int64_t py = static_cast<std::int64_t>(ay) - kind->cy;
    // Far outside the target (and outside int when offset by the sprite's size).
    constexpr std::int64_t kFar = std::int64_t(1) << 30;
    if (px < -kFar || px > kFar || py < -kFar || py > kFar) continue;
    if (i->hit == 0) {
      video::DrawSprite(target, sprite, static_cast<int>(px), static_cast<int>(py));
    } else {
      video::DrawSpriteSolid(target, sprite, static_cast<int>(px), static_cast<int>(py), i->hit);
      i->hit = 0;
    }
  }
}

}  // namespace

void Instance::Step() {
  if (disposed) return;
  if (life == 0) {
    Dispose(this);
    return;
  }
  if (has_updater) {
    const std::uint32_t own_life = generation;
    script::CallFunction(updater.c_str(), index);
    // Returned to the pool by the callback: nothing more to do for it.
    if (generation != own_life) return;
  }
  if (vel != 0) {
    const base::DirEntry& u = base::DirTable[dir % base::kDirections];
    const std::int32_t v = vel >> 8;
    x = WrapAdd(x, WrapMul(v, u.cos >> 8));
    y = WrapAdd(y, WrapMul(v, u.sin >> 8));
  }
  // An anim set out of range by a script: the instance is not animated (nor
  // drawn) until it names an entry again.
  if (const Object* kind = object.get())
    if (anim < kind->animsize) Animate(this, kind->anims[anim]);
  age = WrapAdd(age, 1);
  life = static_cast<std::int16_t>(life - 1);
}

void UpdateWorld() {
  StepList(kEnemy0);
  StepList(kEnemy1);
  StepEnemyBullets();
  StepPlayerBullets();
  StepList(kLayer0);
  StepList(kLayer1);
  StepList(kLayer2);
  StepList(kLayer3);
}

void RenderWorld() {
  video::Surface* target = video::BackBuffer;
  if (!target) return;
  for (List list : {kLayer0, kLayer1, kEnemy0, kLayer2, kEnemy1, kPBullet, kEBullet, kLayer3})
    DrawList(list, target);
}

}  // namespace object
