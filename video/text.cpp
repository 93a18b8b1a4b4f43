// Draw and DrawFont: script drawing into BackBuffer with DrawSprite; the
// sizes scripts lay text and sprites out with. The pen is kept in 64 bits so
// that long texts or far-off positions never overflow; glyphs beyond the int
// range are simply off the screen.
#include "video/text.h"

#include <climits>
#include <cstdint>

#include "base/error.h"
#include "video/display.h"

namespace video {

namespace {

constexpr std::int64_t kFar = 1 << 30;

bool OnInt(std::int64_t v) { return v > -kFar && v < kFar; }

// Walks the text as DrawFont places it, calling glyph(sprite, x, y) for each
// glyph drawn and line_end(pen x) at the end of every line, the last
// included. At most `count` bytes (count < 0: all).
template <class Glyph, class LineEnd>
void WalkText(const SpriteSet* font, std::int64_t x, std::int64_t y, const char* text, int count,
              Glyph glyph, LineEnd line_end) {
  const std::int64_t space = font->sprites[0]->width, line = font->sprites[0]->height;
  std::int64_t pen_x = x, pen_y = y;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c && count != 0;
       ++c) {
    if (count > 0) --count;
    if (*c == '\n') {
      line_end(pen_x);
      pen_x = x;
      pen_y += line;
    } else if (*c == ' ' || *c >= font->count) {
      // A glyph the font lacks is skipped like a space.
      pen_x += space;
    } else {
      const Sprite* sprite = font->sprites[*c];
      glyph(sprite, pen_x, pen_y);
      pen_x += sprite->width;
    }
  }
  line_end(pen_x);
}

void CheckFont(const SpriteSet* font, const char* function) {
  CheckSpriteSet(font, function);
  if (font->count == 0) base::Fail(function, "the font has no sprite 0 (it is empty)");
}

const Sprite* SpriteOf(const SpriteSet* set, int index, const char* function) {
  CheckSpriteSet(set, function);
  if (index < 0 || index >= set->count)
    base::Fail(function, "index %d is outside the set (%d sprites)", index, set->count);
  return set->sprites[index];
}

int Clamped(std::int64_t v) { return v > INT_MAX ? INT_MAX : static_cast<int>(v); }

}  // namespace

void Draw(SpriteSet* set, int x, int y, int index) {
  DrawSprite(BackBuffer, SpriteOf(set, index, "Draw"), x, y);
}

void DrawFont(SpriteSet* font, int x, int y, const char* text, int count) {
  CheckFont(font, "DrawFont");
  if (!text) return;
  WalkText(
      font, x, y, text, count,
      [](const Sprite* glyph, std::int64_t pen_x, std::int64_t pen_y) {
        if (OnInt(pen_x) && OnInt(pen_y))
          DrawSprite(BackBuffer, glyph, static_cast<int>(pen_x), static_cast<int>(pen_y));
      },
      [](std::int64_t) {});
}

int TextWidth(SpriteSet* font, const char* text) {
  CheckFont(font, "TextWidth");
  std::int64_t widest = 0;
  if (text)
    WalkText(
        font, 0, 0, text, -1, [](const Sprite*, std::int64_t, std::int64_t) {},
        [&](std::int64_t pen_x) { widest = pen_x > widest ? pen_x : widest; });
  return Clamped(widest);
}

int TextHeight(SpriteSet* font, const char* text) {
  CheckFont(font, "TextHeight");
  std::int64_t lines = 0;
  if (text)
    WalkText(
        font, 0, 0, text, -1, [](const Sprite*, std::int64_t, std::int64_t) {},
        [&](std::int64_t) { ++lines; });
  return Clamped(lines * font->sprites[0]->height);
}

int SpriteWidth(SpriteSet* set, int index) { return SpriteOf(set, index, "SpriteWidth")->width; }

int SpriteHeight(SpriteSet* set, int index) { return SpriteOf(set, index, "SpriteHeight")->height; }

int SpriteCount(SpriteSet* set) {
  CheckSpriteSet(set, "SpriteCount");
  return set->count;
}

}  // namespace video
