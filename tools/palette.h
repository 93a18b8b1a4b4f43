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
// The .gpl parser on its own; `name` labels messages ("NAME, line 4: ...").
bool ParseGimpPalette(const std::string& text, const std::string& name, Palette* palette,
                      int* colours, std::string* error);

}  // namespace tools
