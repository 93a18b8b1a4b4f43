// A 5x7 font built into the engine, for messages that must show even when
// the game's own sprites are unusable (the script error screen).
#pragma once
#include <cstdint>
#include <vector>

#include "base/sprite_file.h"

namespace base {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Rows of the glyph for byte c (32..126), bit 4 the leftmost column; other
// bytes get the glyph of '?'.
const std::uint8_t* BuiltinGlyph(unsigned char c);

// The font as a sprite set for DrawFont, laid out like the sets of
// `lunashot-pack font --fixed`: 256 sprites; bytes 33..126 are 6 x 9 cells
// (the glyph in `colour` at the top left, one column and two rows of
// spacing, as the error screen spaces it); sprite 0 is an empty 6 x 9 (the
// space and the line height); every other byte is an empty 0 x 0 sprite.
constexpr int kFontSetAdvance = kGlyphWidth + 1;
constexpr int kFontSetLine = kGlyphHeight + 2;
std::vector<SpriteData> BuiltinFontSprites(std::uint8_t colour);

}  // namespace base
