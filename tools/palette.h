// The 256-colour game palette and the palette sources; the colour distance
// and blend table come from base/blend_table.h.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/blend_table.h"
#include "base/pal_file.h"
#include "tools/png_io.h"

namespace tools {

using base::Palette;
using base::PalFile;

// The blend-table builder lives in base/ so that `lunashot new` shares it.
using base::BlendColour;
using base::BlendMode;
using base::BuildPalFile;
using base::ColourDistance;
using base::NearestColour;

// Reads the colours of a palette source: the PLTE of an indexed PNG or a
// GIMP .gpl file. Up to 256 colours; the rest are black. `colours` gets the
// number the file gave.
bool ReadPaletteSource(const std::string& path, Palette* palette, int* colours, std::string* error);
// The PLTE of a decoded indexed PNG, the rest black; `colours` gets its size.
void TakePalette(const Image& image, Palette* palette, int* colours);
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
bool BuildPalette(const ColourCounts& colours, const std::vector<Rgb>& fixed, int reserve,
                  Palette* palette, PaletteReport* report, std::string* error);

}  // namespace tools
