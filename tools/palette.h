// The 256-colour game palette, the perceptual colour distance the tools use,
// the blend table of pal.pal (base/pal_file.h) and the palette sources.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/pal_file.h"
#include "tools/png_io.h"

namespace tools {

using Palette = std::array<Rgb, 256>;
using base::PalFile;

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

// Reads the colours of a palette source: the PLTE of an indexed PNG or a
// GIMP .gpl file. Up to 256 colours; the rest are black. `colours` gets the
// number the file gave.
bool ReadPaletteSource(const std::string& path, Palette* palette, int* colours, std::string* error);
// The .gpl parser on its own; `name` labels messages ("NAME, line 4: ...").
bool ParseGimpPalette(const std::string& text, const std::string& name, Palette* palette,
                      int* colours, std::string* error);

// The colours of a set of pictures, in the order first seen, with counts.
class ColourCounts {
 public:
  void Add(Rgb colour, unsigned count = 1);
  // Every visible pixel (alpha > 0) of the picture.
  void AddImage(const Image& image);
  const std::vector<Rgb>& colours() const { return order_; }
  unsigned CountOf(Rgb colour) const;

 private:
  std::vector<Rgb> order_;
  std::unordered_map<std::uint32_t, unsigned> counts_;
};

struct PaletteReport {
  int distinct = 0;      // colours in the pictures, the fixed ones excepted
  int placed = 0;        // entries the pictures' colours took
  bool reduced = false;  // more colours than room: quantised
  double error = 0;      // the quantiser's mean square error (0-255 scale), when reduced
};

// A palette whose entries 0..fixed-1 are `fixed`, then black up to
// `reserve`, then the pictures' colours: exactly, in the order first seen,
// when they fit; else reduced by libimagequant (the fixed colours steer it).
bool BuildPalette(const ColourCounts& colours, const std::vector<Rgb>& fixed, int reserve, Palette* palette,
                  PaletteReport* report, std::string* error);

}  // namespace tools
