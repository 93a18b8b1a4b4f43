// The blend table of pal.pal (base/pal_file.h) built from 256 colours: every
// mix of two palette colours matched to the nearest palette colour. Shared by
// lunashot-pack and `lunashot new`, so both write the same bytes for the same
// palette.
#pragma once
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/colour.h"

namespace base {

using Palette = std::array<Rgb, 256>;

// "Redmean" weighted RGB distance, scaled by 512 so that it stays exact in
// integers: (1024 + r1 + r2) dr^2 + 2048 dg^2 + (1534 - r1 - r2) db^2.
int ColourDistance(Rgb a, Rgb b);

// Nearest palette colour by ColourDistance, ties to the lowest index.
// Remembers every colour it has looked up.
class NearestColour {
 public:
  explicit NearestColour(const Palette& palette) : palette_(palette) {}
  std::uint8_t Find(Rgb colour);

 private:
  Palette palette_;
  std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

enum class BlendMode {
  kMix,       // level k: (k+1)/4 of the source over (3-k)/4 of the destination
  kAdditive,  // level k: destination + (k+1)/4 of the source, clamped to 255
};

// The colour that level `level` of mode makes from destination d and source s,
// each channel rounded to nearest (halves up).
Rgb BlendColour(Rgb d, Rgb s, int level, BlendMode mode);

// A complete pal.pal image for the palette.
std::vector<std::uint8_t> BuildPalFile(const Palette& palette, BlendMode mode);

}  // namespace base
