// Sprite sets (placeholder until the video work lands).
#include "video/sprite.h"

#include "engine/error.h"

namespace video {

void intrusive_ptr_add_ref(SpriteSet* set) { ++set->refs; }
void intrusive_ptr_release(SpriteSet* set) {
  if (--set->refs == 0) delete set;
}

SpriteSet* ParseSpriteSet(const std::uint8_t*, std::size_t, std::string* error) {
  *error = "not implemented";
  return nullptr;
}
SpriteSet* ReadSpriteSet(const char*, std::string* error) {
  *error = "not implemented";
  return nullptr;
}
bool ValidateSprite(const Sprite&, std::string*) { return false; }
boost::intrusive_ptr<SpriteSet> LoadSpriteSet(const char*) { engine::Fail("LoadSpriteSet", "not implemented"); }
void ReleaseSpriteSet(SpriteSet*) {}
void CheckSpriteSet(const SpriteSet*, const char*) {}
void DrawSprite(Surface*, const Sprite*, int, int) {}
void DrawSpriteSolid(Surface*, const Sprite*, int, int, std::uint8_t) {}

}  // namespace video
