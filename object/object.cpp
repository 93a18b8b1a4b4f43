// Object kinds: the animation table and the script's access to a kind. A
// released kind stays in memory while instances or events hold it; only the
// script's own uses of it fail from then on.
#include "object/object.h"

#include "base/error.h"
#include "base/memory_budget.h"
#include "object/instance.h"

namespace object {

void Object::SetSpriteSet(video::SpriteSet* set) {
  CheckObject(this, "SetSpriteSet");
  if (set) video::CheckSpriteSet(set, "SetSpriteSet");
  spriteset = set;
}

void Object::SetAnimSize(std::uint8_t n) {
  CheckObject(this, "SetAnimSize");
  const std::size_t bytes = n ? n * sizeof(AnimEntry) + base::kBlockOverhead : 0;
  base::Charge("SetAnimSize", bytes);
  AnimEntry* table = n ? new AnimEntry[n]() : nullptr;
  const std::size_t old = animsize ? animsize * sizeof(AnimEntry) + base::kBlockOverhead : 0;
  base::Release(old);
  charged = charged - old + bytes;
  delete[] anims;
  anims = table;
  animsize = n;
}

void Object::SetAnim(std::uint8_t i, int start, int end, std::uint8_t hold, bool loop) {
  CheckObject(this, "SetAnim");
  if (i >= animsize)
    base::Fail("SetAnim", "animation %d does not exist (the kind has %d)", i, animsize);
  anims[i] = {static_cast<std::uint8_t>(start), static_cast<std::uint8_t>(end), hold, loop};
}

void Object::Release() {
  CheckObject(this, "Release");
  released = true;
}

Object::~Object() {
  delete[] anims;
  base::Release(charged);
}

void intrusive_ptr_add_ref(Object* kind) { ++kind->refs; }
void intrusive_ptr_release(Object* kind) {
  if (--kind->refs == 0) delete kind;
}

boost::intrusive_ptr<Object> NewObject() {
  constexpr std::size_t kBytes = sizeof(Object) + base::kBlockOverhead;
  base::Charge("NewObject", kBytes);
  auto kind = new Object;
  kind->charged = kBytes;
  return boost::intrusive_ptr<Object>(kind);
}

void CheckObject(const Object* kind, const char* function) {
  if (!kind) base::Fail(function, "no kind given (nil)");
  if (kind->released) base::Fail(function, "the kind was released");
}

int GetCx(const Object& k) {
  CheckObject(&k, "Object.cx");
  return k.cx;
}
void SetCx(Object& k, int v) {
  CheckObject(&k, "Object.cx");
  k.cx = v;
}
int GetCy(const Object& k) {
  CheckObject(&k, "Object.cy");
  return k.cy;
}
void SetCy(Object& k, int v) {
  CheckObject(&k, "Object.cy");
  k.cy = v;
}
int GetObjectHp(const Object& k) {
  CheckObject(&k, "Object.hp");
  return k.hp;
}
void SetObjectHp(Object& k, int v) {
  CheckObject(&k, "Object.hp");
  k.hp = v;
}
int GetSize(const Object& k) {
  CheckObject(&k, "Object.size");
  return k.size;
}
void SetSize(Object& k, int v) {
  CheckObject(&k, "Object.size");
  k.size = v;
  ++LayoutVersion;
}
std::uint8_t GetDelay(const Object& k) {
  CheckObject(&k, "Object.delay");
  return k.delay;
}
void SetDelay(Object& k, std::uint8_t v) {
  CheckObject(&k, "Object.delay");
  k.delay = v;
}

}  // namespace object
