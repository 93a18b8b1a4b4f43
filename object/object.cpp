// Object kinds (placeholder until the objects work lands).
#include "object/object.h"

namespace object {

void Object::SetSpriteSet(video::SpriteSet* set) { spriteset = set; }
void Object::SetAnimSize(std::uint8_t) {}
void Object::SetAnim(std::uint8_t, int, int, std::uint8_t, bool) {}
void Object::Release() { released = true; }
Object::~Object() { delete[] anims; }

void intrusive_ptr_add_ref(Object* kind) { ++kind->refs; }
void intrusive_ptr_release(Object* kind) {
  if (--kind->refs == 0) delete kind;
}

boost::intrusive_ptr<Object> NewObject() { return boost::intrusive_ptr<Object>(new Object); }
void CheckObject(const Object*, const char*) {}
int GetCx(const Object& k) { return k.cx; }
void SetCx(Object& k, int v) { k.cx = v; }
int GetCy(const Object& k) { return k.cy; }
void SetCy(Object& k, int v) { k.cy = v; }
int GetObjectHp(const Object& k) { return k.hp; }
void SetObjectHp(Object& k, int v) { k.hp = v; }
int GetSize(const Object& k) { return k.size; }
void SetSize(Object& k, int v) { k.size = v; }
std::uint8_t GetDelay(const Object& k) { return k.delay; }
void SetDelay(Object& k, std::uint8_t v) { k.delay = v; }

}  // namespace object
