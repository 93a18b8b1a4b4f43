// World update and render: Instance::Step, the walks of UpdateWorld with
// their culls and the player-bullet hit test, and the drawing of the lists.
// Integer arithmetic only; nothing here allocates.
#include "object/world.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/fixed.h"
#include "base/log.h"
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
    const std::uint32_t seen = i->generation;
    i->Step();
    ListWalk::Finish(i, seen);
  }
}

void StepEnemyBullets() {
  for (ListWalk walk(kEBullet); Instance* b = walk.Next();) {
    const std::uint32_t seen = b->generation;
    b->Step();
    if (b->generation == seen) {
      std::int32_t x, y;
      AbsolutePosition(b, &x, &y);
      if (x < kLeft || x > kRight || y < kTop || y > kBottom) Dispose(b);
    }
    ListWalk::Finish(b, seen);
  }
}

// The enemies as the hit test sees them, gathered into arrays once and kept
// while LayoutVersion stays the same, so that testing a bullet reads no
// instance. `usable` is false when a listed enemy is disposed (the walk
// must return it to the pool, which the pointer walk does).
struct EnemyPack {
  std::uint32_t version = 0;
  bool gathered = false;
  bool usable = false;
  int count = 0;
  // Positions and squared sizes as unsigned, so the test wraps as TouchAt.
  std::uint32_t x[kPoolSize], y[kPoolSize], size2[kPoolSize];
  Instance* who[kPoolSize];
};
EnemyPack pack;

void GatherEnemies() {
  pack.gathered = true;
  pack.version = LayoutVersion;
  pack.usable = false;
  int n = 0;
  for (List list : {kEnemy0, kEnemy1}) {
    for (Instance* e = ListFront(list); e; e = e->next, ++n) {
      if (e->disposed) return;
      std::int32_t ex, ey;
      AbsolutePosition(e, &ex, &ey);
      const std::uint32_t s = static_cast<std::uint32_t>(SizeOf(e));
      pack.x[n] = static_cast<std::uint32_t>(ex);
      pack.y[n] = static_cast<std::uint32_t>(ey);
      pack.size2[n] = s * s;
      pack.who[n] = e;
    }
  }
  pack.count = n;
  pack.usable = true;
}

// Tests one player bullet against the enemies from `from` (of list `first`)
// to the end of the enemy lists, reporting hits to "e_col". Stops when the
// bullet leaves its list during a callback.
void HitEnemiesFrom(Instance* b, std::uint32_t bullet_seen, List first, Instance* from) {
  std::int32_t bx, by;
  AbsolutePosition(b, &bx, &by);
  std::int32_t bs = SizeOf(b);
  for (List list : {kEnemy0, kEnemy1}) {
    if (list < first) continue;
    for (ListWalk walk(list, list == first ? from : ListFront(list)); Instance* e = walk.Next();) {
      const std::uint32_t seen = e->generation;
      std::int32_t ex, ey;
      AbsolutePosition(e, &ex, &ey);
      if (TouchAt(ex, ey, SizeOf(e), bx, by, bs)) {
        script::CallFunction("e_col", e->index, b->index);
        ListWalk::Finish(e, seen);
        if (b->generation != bullet_seen) return;
        // The callback may have moved the bullet or changed its kind.
        AbsolutePosition(b, &bx, &by);
        bs = SizeOf(b);
      } else {
        ListWalk::Finish(e, seen);
      }
    }
  }
}

// The scan below is also built for AVX2 (eight circle tests an instruction)
// where the compiler can choose the build at run time, so the binary still
// runs on any x86-64.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define LUNASHOT_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef LUNASHOT_AVX2_CLONES
#define LUNASHOT_AVX2_CLONES
#endif

// The first gathered enemy that a bullet at (bx, by) with squared size bs2
// touches, or pack.count. TouchAt over a block at a time, without branches,
// so that it vectorises; only a block with a hit is looked at pair by pair.
LUNASHOT_AVX2_CLONES int FirstTouch(std::uint32_t bx, std::uint32_t by, std::uint32_t bs2) {
  constexpr int kBlock = 32;
  auto touches = [&](int k) {
    const std::uint32_t dx = pack.x[k] - bx, dy = pack.y[k] - by;
    return static_cast<std::int32_t>(dx * dx + dy * dy) <
           static_cast<std::int32_t>(pack.size2[k] + bs2);
  };
  for (int start = 0; start < pack.count; start += kBlock) {
    const int end = start + kBlock < pack.count ? start + kBlock : pack.count;
    int any = 0;
    for (int k = start; k < end; ++k) any |= touches(k) ? 1 : 0;
    if (!any) continue;
    for (int k = start;; ++k)
      if (touches(k)) return k;
  }
  return pack.count;
}

// Tests one player bullet against every enemy, in list order. Up to the
// first hit nothing can change the world, so the gathered arrays serve;
// from the first hit on (its callback may change anything) the pointer walk
// takes over.
void HitEnemies(Instance* b, std::uint32_t bullet_seen) {
  if (!pack.gathered || pack.version != LayoutVersion) GatherEnemies();
  if (!pack.usable) return HitEnemiesFrom(b, bullet_seen, kEnemy0, ListFront(kEnemy0));
  std::int32_t sbx, sby;
  AbsolutePosition(b, &sbx, &sby);
  const std::uint32_t bx = static_cast<std::uint32_t>(sbx), by = static_cast<std::uint32_t>(sby);
  const std::uint32_t bs = static_cast<std::uint32_t>(SizeOf(b));
  const int k = FirstTouch(bx, by, bs * bs);
  if (k == pack.count) return;
  Instance* e = pack.who[k];
  HitEnemiesFrom(b, bullet_seen, static_cast<List>(e->list), e);
}

void StepPlayerBullets() {
  for (ListWalk walk(kPBullet); Instance* b = walk.Next();) {
    const std::uint32_t seen = b->generation;
    b->Step();
    if (b->generation == seen) {
      std::int32_t x, y;
      AbsolutePosition(b, &x, &y);
      // No bottom edge: a player bullet below the screen stays.
      if (x < kLeft || x > kRight || y < kTop) Dispose(b);
    }
    if (b->generation == seen) HitEnemies(b, seen);
    ListWalk::Finish(b, seen);
  }
}

// An animation that names a sprite its kind's set lacks draws nothing, as it
// always has; the author hears of it once for each kind and animation (the
// drawing runs outside any script line, so that is its place).
void NoteMissingSprite(const Object* kind, int anim, int frame, int count) {
  if (!base::NoticesOn()) return;
  char key[64];
  std::snprintf(key, sizeof key, "missing sprite %p %d", static_cast<const void*>(kind), anim);
  const AnimEntry& e = kind->anims[anim];
  base::NoticeAt(key, "",
                 "SetAnim: animation " + std::to_string(anim) + " of a kind shows sprites " +
                     std::to_string(e.start) + " to " + std::to_string(e.end) +
                     ", but the kind's sprite set has " + std::to_string(count) + " sprites" +
                     ": sprite " + std::to_string(frame) + " draws nothing");
}

void DrawList(List list, video::Surface* target) {
  for (ListWalk walk(list); Instance* i = walk.Next();) {
    if (i->disposed) continue;
    const Object* kind = i->object.get();
    if (!kind || i->anim >= kind->animsize) continue;
    const video::SpriteSet* set = kind->spriteset.get();
    if (!set) continue;
    if (i->frame < 0 || i->frame >= set->count) {
      NoteMissingSprite(kind, i->anim, i->frame, set->count);
      continue;
    }
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
    const std::uint32_t seen = generation;
    script::CallFunction(UpdaterSlot(this), updater.c_str(), index);
    // Returned to the pool by the callback: nothing more to do for it.
    if (generation != seen) return;
  }
  if (vel != 0) {
    const base::DirEntry& u = base::DirTable[dir % base::kDirections];
    const std::int32_t v = vel >> 8;
    x = WrapAdd(x, WrapMul(v, u.cos >> 8));
    y = WrapAdd(y, WrapMul(v, u.sin >> 8));
    NoteLayoutChange(this);
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
