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

// The colours of a set of pictures with their pixel counts: exactly, in the
// order first seen, up to kExactColours distinct ones. Past that the colours
// are gathered into boxes of 6 bits a channel, each keeping the mean of its
// pixels, so memory and the quantiser's work stay bounded (a picture may
// hold all 16.7 million colours); the distinct count stays exact.
class ColourCounts {
 public:
  static constexpr std::size_t kExactColours = 65536;
  struct Entry {
    Rgb colour;
    std::uint64_t count;
  };

  void Add(Rgb colour, std::uint64_t count = 1);
  // Every visible pixel (alpha > 0) of the picture.
  void AddImage(const Image& image);
  std::size_t distinct() const { return distinct_; }
  bool boxed() const { return !boxes_.empty(); }
  bool Seen(Rgb colour) const;
  // The exact colours in the order first seen, or else the boxes' means.
  std::vector<Entry> Entries() const;

 private:
  struct Box {
    std::uint64_t r = 0, g = 0, b = 0, n = 0;
  };
  void AddToBox(Rgb colour, std::uint64_t count);

  std::vector<Rgb> order_;
  std::unordered_map<std::uint32_t, std::uint64_t> counts_;
  std::vector<Box> boxes_;           // 2^18 of them once boxed
  std::vector<std::uint64_t> seen_;  // once boxed, a bit for each of the 2^24 colours
  std::size_t distinct_ = 0;
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
// Boxed colours always take the second way.
bool BuildPalette(const ColourCounts& colours, const std::vector<Rgb>& fixed, int reserve,
                  Palette* palette, PaletteReport* report, std::string* error);

}  // namespace tools
