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

// How picture colours become game palette indices.
struct MapOptions {
  const Palette* palette = nullptr;  // the game's colours (--palette)
  bool keep_indices = false;         // an indexed picture's indices are the game's
  bool dither = false;               // Floyd-Steinberg over the colours mapped
  bool key_auto = false;             // the top-left pixel's colour is transparent
  int key = -1;                      // 0xRRGGBB made transparent, or -1
  int alpha_floor = -1;  // alpha below it is transparent (--alpha-floor); -1: not given
};

// Pixels fainter than this (alpha 1-63, under the faintest blend level, 1/4)
// are still drawn at 1/4; past kFaintShare of a picture's visible pixels the
// tool names --alpha-floor.
constexpr int kFaintAlpha = 64;
constexpr double kFaintShare = 0.05;

// Converts a decoded PNG. Colours go to the nearest palette colour; where
// the picture carries an index plane that agrees with its colours, that
// plane's index is kept (so that equal colours at different indices survive
// a round trip). An indexed picture is mapped by its colours the same way
// (index i stays i where the game's colour i is the picture's), or keeps its
// indices with keep_indices or without a palette; the alpha of its pixels is
// its entries' alpha (tRNS). An RGB picture without a palette is an error.
// `warning` gets a note (or stays empty) when kept indices name colours
// other than the game's, or an indexed picture's colours are not all the
// game's, or (without alpha_floor) more than kFaintShare of the visible
// pixels are fainter than kFaintAlpha.
bool ImageToPixels(const Image& image, const std::string& name, const MapOptions& options,
                   PixelImage* pixels, std::string* warning, std::string* error);

// A sheet's cells: w x h each, `margin` pixels around the whole grid and
// `spacing` between neighbours; the first `count` of them (count < 0: all).
struct Grid {
  int w = 0, h = 0;
  int margin = 0, spacing = 0;
  int count = -1;
};

// Checks that a sheet of that size is a whole number of cells (with the
// margin on every side and the spacing between them), has at least `count`
// of them, and gives at most 65535 sprites.
bool CheckCellGrid(int sheet_width, int sheet_height, const std::string& name, const Grid& grid,
                   std::string* error);

// Cuts the sheet into the grid's cells, left to right, top to bottom.
bool CutCells(const PixelImage& sheet, const std::string& name, const Grid& grid,
              std::vector<PixelImage>* cells, std::string* error);

// The smallest rectangle holding every visible pixel (0 x 0 for a blank
// cell); `x`, `y` get its corner in the cell.
PixelImage TrimCell(const PixelImage& cell, int* x, int* y);

// A strip font's glyphs: the runs of columns between separator columns
// (columns whose every pixel has the separator colour, 0xRRGGBB, or with
// -1 the colour of the top-left pixel). `runs` gets (first column, width).
bool SplitStrip(const Image& image, const std::string& name, int separator,
                std::vector<std::pair<int, int>>* runs, std::string* error);

// Glyph trimming: the columns from the first to the last one with a visible
// pixel, plus one transparent spacing column. A cell with no visible pixel
// gives an empty 0 x 0 glyph.
PixelImage TrimGlyph(const PixelImage& cell);

// A 256-sprite font: cell i is the glyph of byte first + i, trimmed by
// TrimGlyph (or, when `fixed`, the whole cell, so every glyph is as wide as a
// cell); sprite 0 is an empty sprite of space x line (its width is the space
// width, its height the line height); every byte without a cell gets an
// empty 0 x 0 sprite.
// With `chars`, cell i is instead the glyph of byte chars[i]. first = 0 or
// a chars byte 0 skips that cell: byte 0 holds the metrics.
bool BuildFont(const std::vector<PixelImage>& cells, int first, const std::string& chars, int space,
               int line, bool fixed, std::vector<SpriteData>* sprites, std::string* error);

struct UnpackOptions {
  int columns = 0;      // 0: min(count, 16)
  int background = -1;  // -1: checkerboard
  bool view = false;    // opaque RGB as the engine would draw it
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
