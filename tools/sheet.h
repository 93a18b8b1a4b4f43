// Between pictures and sprites: turning a PNG into palette pixels, cutting a
// sheet into cells, building a font, and drawing a sprite set back into a
// sheet for inspection.
#pragma once
#include <string>
#include <vector>

#include "base/sprite_file.h"
#include "tools/palette.h"
#include "tools/png_io.h"

namespace tools {

using base::kMaxSprites;
using base::Pixel;
using base::PixelImage;
using base::SpriteData;

// The pixel kind an alpha value gives: 0 transparent, 255 opaque, anything
// else blended at the nearest of 1/4, 1/2 and 3/4 (levels 0, 1, 2).
Pixel PixelFromAlpha(std::uint8_t alpha, std::uint8_t index);

// Converts a decoded PNG. An indexed image keeps its indices, with the alpha
// of each palette entry (tRNS). An RGBA image needs `palette` (else an error
// naming the problem) and takes the nearest colour; where the image carries
// an index plane that agrees with its colours, that plane's index is kept
// (so that equal colours at different indices survive a round trip).
bool ImageToPixels(const Image& image, const std::string& name, const Palette* palette,
                   PixelImage* pixels, std::string* error);

// Checks that a sheet of that size is a whole number of w x h cells, has at
// least `count` of them (count < 0: all), and gives at most 65535 sprites.
bool CheckCellGrid(int sheet_width, int sheet_height, const std::string& name, int w, int h, int count,
                   std::string* error);

// Cuts the sheet into cells of w x h, left to right, top to bottom; the first
// `count` of them, or all when count < 0. The sheet must be a whole number
// of cells and give at most 65535.
bool CutCells(const PixelImage& sheet, const std::string& name, int w, int h, int count,
              std::vector<PixelImage>* cells, std::string* error);

// Glyph trimming: the columns from the first to the last one with a visible
// pixel, plus one transparent spacing column. A cell with no visible pixel
// gives an empty 0 x 0 glyph.
PixelImage TrimGlyph(const PixelImage& cell);

// A 256-sprite font: cell i is the glyph of byte first + i, trimmed by
// TrimGlyph (or, when `fixed`, the whole cell, so every glyph is as wide as a
// cell); sprite 0 is an empty sprite of space x line (its width is the space
// width, its height the line height); every byte without a cell gets an
// empty 0 x 0 sprite.
bool BuildFont(const std::vector<PixelImage>& cells, int first, int space, int line, bool fixed,
               std::vector<SpriteData>* sprites, std::string* error);

struct UnpackOptions {
  int columns = 0;       // 0: min(count, 16)
  int background = -1;   // -1: checkerboard
  bool view = false;     // opaque RGB as the engine would draw it
};

// Draws every sprite at the top-left of its own cell of a grid (cells the
// size of the largest sprite). Default: RGBA where alpha 0 / 64 / 128 / 192 /
// 255 means transparent / blended level 0 / 1 / 2 / opaque, the colour is the
// pixel's own (a blended pixel's source colour; the background for
// transparent ones), and the index plane holds the exact indices. With
// `view`: RGB of the sprites drawn over the background through the blend table.
// The sprites come from base::DecodeSpriteSet.
bool RenderSheet(const std::vector<base::SpriteView>& sprites, const PalFile& pal,
                 const UnpackOptions& options, Image* image, int* cell_width, int* cell_height,
                 int* columns, std::string* error);

}  // namespace tools
