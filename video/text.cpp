// Draw and DrawFont: script drawing into BackBuffer with DrawSprite.
// The pen is kept in 64 bits so that long texts or far-off positions never
// overflow; glyphs beyond the int range are simply off the screen.
#include "video/text.h"

#include <cstdint>

#include "base/error.h"
#include "video/display.h"

namespace video {

namespace {

constexpr std::int64_t kFar = 1 << 30;

bool OnInt(std::int64_t v) { return v > -kFar && v < kFar; }

}  // namespace

void Draw(SpriteSet* set, int x, int y, int index) {
  CheckSpriteSet(set, "Draw");
  if (index < 0 || index >= set->count)
    base::Fail("Draw", "index %d is outside the set (%d sprites)", index, set->count);
  DrawSprite(BackBuffer, set->sprites[index], x, y);
}

void DrawFont(SpriteSet* font, int x, int y, const char* text, int count) {
  CheckSpriteSet(font, "DrawFont");
  if (font->count == 0) base::Fail("DrawFont", "the font has no sprite 0 (it is empty)");
  if (!text) return;
  const std::int64_t space = font->sprites[0]->width, line = font->sprites[0]->height;
  std::int64_t pen_x = x, pen_y = y;
  // A negative count sets no limit.
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c && count != 0;
       ++c) {
    if (count > 0) --count;
    if (*c == '\n') {
      pen_x = x;
      pen_y += line;
    } else if (*c == ' ' || *c >= font->count) {
      // A glyph the font lacks is skipped like a space.
      pen_x += space;
    } else {
      const Sprite* glyph = font->sprites[*c];
      if (OnInt(pen_x) && OnInt(pen_y))
        DrawSprite(BackBuffer, glyph, static_cast<int>(pen_x), static_cast<int>(pen_y));
      pen_x += glyph->width;
    }
  }
}

}  // namespace video
