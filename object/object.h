// Object kinds: sprite set, hotspot, collision size, starting hit points and
// the animation table. A kind is shared by the script's handle, its live
// instances and pending spawn events (intrusive count `refs`); Release only
// marks it released, so instances keep a valid kind until the last of them
// lets go. Any script use of a released kind is a script error.
#pragma once
#include <cstddef>
#include <cstdint>

#include <boost/intrusive_ptr.hpp>

#include "video/sprite.h"

namespace object {

struct AnimEntry {
  std::uint8_t start;
  std::uint8_t end;
  std::uint8_t hold;
  bool loop;
};

struct Object {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  std::int32_t hp = 0;
  std::int32_t size = 0;
  std::uint8_t animsize = 0;
  std::uint8_t delay = 0;
  boost::intrusive_ptr<video::SpriteSet> spriteset;
  AnimEntry* anims = nullptr;
  int refs = 0;
  bool released = false;
  std::size_t charged = 0;  // bytes charged to the memory budget, given back with the kind

  // nil stores none; a released set is a script error.
  void SetSpriteSet(video::SpriteSet* set);
  // Replaces the table by n zeroed entries (instances bound-check `anim`);
  // a table that does not fit in the memory budget is a script error.
  void SetAnimSize(std::uint8_t n);
  // Index at or above animsize: a script error naming SetAnim.
  void SetAnim(std::uint8_t i, int start, int end, std::uint8_t hold, bool loop);
  // A second Release is a script error.
  void Release();
  ~Object();
};

void intrusive_ptr_add_ref(Object* kind);
void intrusive_ptr_release(Object* kind);

// Not enough memory is a script error naming NewObject.
boost::intrusive_ptr<Object> NewObject();

// Throws a script error naming `function` when the kind is nil or released.
void CheckObject(const Object* kind, const char* function);

// Property access for scripts (each checks that the kind is not released;
// errors name "Object.cx" and so on).
int GetCx(const Object& kind);
void SetCx(Object& kind, int v);
int GetCy(const Object& kind);
void SetCy(Object& kind, int v);
int GetObjectHp(const Object& kind);
void SetObjectHp(Object& kind, int v);
int GetSize(const Object& kind);
void SetSize(Object& kind, int v);
std::uint8_t GetDelay(const Object& kind);
void SetDelay(Object& kind, std::uint8_t v);

}  // namespace object
