// Direct drawing for scripts: one sprite, or a string with a sprite-set font
// (glyph for byte c at index c; sprite 0 gives the space width and line height).
#pragma once

#include "video/sprite.h"

namespace video {

void Draw(SpriteSet* set, int x, int y, int index);
void DrawFont(SpriteSet* font, int x, int y, const char* text, int count);

}  // namespace video
