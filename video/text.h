// Direct drawing for scripts: one sprite, or a string with a sprite-set font
// (glyph for byte c at index c; sprite 0 gives the space width and line
// height); and the sizes a script lays them out with.
#pragma once

#include "video/sprite.h"

namespace video {

void Draw(SpriteSet* set, int x, int y, int index);
void DrawFont(SpriteSet* font, int x, int y, const char* text, int count);
// The width DrawFont's pen covers for the whole text (the widest line), and
// its height: (line feeds + 1) x the line height. nil text: 0.
int TextWidth(SpriteSet* font, const char* text);
int TextHeight(SpriteSet* font, const char* text);
int SpriteWidth(SpriteSet* set, int index);
int SpriteHeight(SpriteSet* set, int index);
int SpriteCount(SpriteSet* set);

}  // namespace video
