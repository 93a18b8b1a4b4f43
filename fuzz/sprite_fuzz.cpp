// Sprite-set loading, then drawing every loaded sprite with both operations
// at positions taken from the input, clipped on every edge.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "video/palette.h"
#include "video/sprite.h"
#include "video/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static video::Surface* target = video::CreateSurface(320, 240);
  std::string error;
  video::SpriteSet* set = video::ParseSpriteSet(data, size, &error);
  if (!set) return 0;
  std::memset(target->pixels, 0, static_cast<std::size_t>(target->size));
  // Positions walk through every clipping case, seeded by the data's bytes.
  static const int xs[] = {-1000, -17, -3, -1, 0, 1, 150, 300, 318, 319, 320, 1000};
  static const int ys[] = {-1000, -9, -1, 0, 1, 120, 230, 239, 240, 1000};
  for (int i = 0; i < set->count; ++i) {
    const video::Sprite* s = set->sprites[i];
    for (int k = 0; k < 6; ++k) {
      std::uint8_t b = size ? data[(i * 6 + k) % size] : 0;
      int x = xs[(b + k) % 12] + (b & 3), y = ys[(b >> 2) % 10] - ((b >> 6) & 1);
      video::DrawSprite(target, s, x, y);
      video::DrawSpriteSolid(target, s, x, y, b);
    }
    video::DrawSprite(target, s, 320 - s->width / 2, 240 - s->height / 2);
    video::DrawSpriteSolid(target, s, -s->width / 2, -s->height / 2, 7);
  }
  video::intrusive_ptr_add_ref(set);
  video::intrusive_ptr_release(set);
  return 0;
}
