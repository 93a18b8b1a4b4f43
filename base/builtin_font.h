// A 5x7 font built into the engine, for messages that must show even when
// the game's own sprites are unusable (the script error screen).
#pragma once
#include <cstdint>

namespace base {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Rows of the glyph for byte c (32..126), bit 4 the leftmost column; other
// bytes get the glyph of '?'.
const std::uint8_t* BuiltinGlyph(unsigned char c);

}  // namespace base
