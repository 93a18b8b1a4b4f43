// Sprite sets and a palette that changes under them: which sets use colours
// that move, and moving a set's indices to a new palette so that every pixel
// keeps the nearest colour the new palette has.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/sprite_file.h"
#include "tools/palette.h"

namespace tools {

// For every index: itself where the new palette keeps its colour, else the
// new palette's nearest colour to the old one (ties to the lowest index).
std::array<std::uint8_t, 256> RemapTable(const Palette& old_colours, const Palette& new_colours);

// The set's sprites with every visible pixel's index put through `table`;
// `moved` counts the pixels whose index changed.
bool RemapSet(const std::vector<std::uint8_t>& bytes, const std::array<std::uint8_t, 256>& table,
              std::vector<base::SpriteData>* sprites, std::size_t* moved, std::string* error);

// The sprite sets (*.spr, by path) in `dir` that draw pixels whose colour
// differs between the two palettes, with the number of such pixels. Sets
// that cannot be read are not counted (the engine would not load them).
std::vector<std::pair<std::string, std::size_t>> SetsHitByPalette(const std::string& dir,
                                                                  const Palette& old_colours,
                                                                  const Palette& new_colours);

}  // namespace tools
