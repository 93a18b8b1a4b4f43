// Colour distance, nearest-colour search and the blend table of pal.pal.
#include "base/blend_table.h"

#include "base/pal_file.h"

namespace base {

int ColourDistance(Rgb a, Rgb b) {
  int rsum = a.r + b.r;
  int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return (1024 + rsum) * dr * dr + 2048 * dg * dg + (1534 - rsum) * db * db;
}

std::uint8_t NearestColour::Find(Rgb colour) {
  std::uint32_t key = colour.Packed();
  auto found = cache_.find(key);
  if (found != cache_.end()) return found->second;
  int best = 0;
  int best_distance = ColourDistance(colour, palette_[0]);
  for (int i = 1; i < 256 && best_distance > 0; ++i) {
    int distance = ColourDistance(colour, palette_[i]);
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  cache_.emplace(key, std::uint8_t(best));
  return std::uint8_t(best);
}

Rgb BlendColour(Rgb d, Rgb s, int level, BlendMode mode) {
  int a = level + 1;
  auto mix = [&](int dc, int sc) {
    int v = mode == BlendMode::kMix ? (sc * a + dc * (4 - a) + 2) / 4 : dc + (sc * a + 2) / 4;
    return std::uint8_t(v > 255 ? 255 : v);
  };
  return {mix(d.r, s.r), mix(d.g, s.g), mix(d.b, s.b)};
}

std::vector<std::uint8_t> BuildPalFile(const Palette& palette, BlendMode mode) {
  PalFile pal;
  pal.colours = palette;
  NearestColour nearest(palette);
  std::uint8_t* out = pal.blend.data();
  for (int d = 0; d < 256; ++d)
    for (int s = 0; s < 256; ++s)
      for (int level = 0; level < 3; ++level)
        *out++ = nearest.Find(BlendColour(palette[d], palette[s], level, mode));
  return EncodePalFile(pal);
}

}  // namespace base
