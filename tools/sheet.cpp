// Picture <-> pixel conversions, cell cutting, font building and sheet drawing.
#include "tools/sheet.h"

#include <algorithm>
#include <cstdio>

namespace tools {

Pixel PixelFromAlpha(std::uint8_t alpha, std::uint8_t index) {
  if (alpha == 0) return Pixel{};
  if (alpha == 255) return Pixel{Pixel::kOpaque, index, 0};
  // Nearest of 255/4, 255/2 and 3*255/4, compared in units of 1/4.
  int a4 = 4 * alpha;
  std::uint8_t level = a4 < 255 + 128 ? 0 : a4 < 510 + 128 ? 1 : 2;
  return Pixel{Pixel::kBlended, index, level};
}

namespace {

// The indexed picture as RGBA whose index plane is its own indices, so the
// colour path keeps index i wherever the game's colour i is the picture's.
// PixelFromAlpha with the floor: fainter pixels are transparent.
Pixel FloorPixel(std::uint8_t alpha, std::uint8_t index, int floor) {
  return alpha < floor ? Pixel{} : PixelFromAlpha(alpha, index);
}

// The soft-shadow warning: counts visible pixels and those fainter than
// the faintest level, by their alpha (a keyed pixel is not visible).
void NoteFaintPixels(const Image& image, const std::string& name, const MapOptions& options,
                     const PixelImage& pixels, std::string* warning) {
  if (options.alpha_floor >= 0) return;
  std::size_t visible = 0, faint = 0;
  for (std::size_t i = 0; i < pixels.pixels.size(); ++i) {
    if (pixels.pixels[i].kind == Pixel::kTransparent) continue;
    ++visible;
    std::uint8_t alpha = image.format == Image::Format::kIndexed
                             ? image.palette_alpha[image.pixels[i]]
                             : image.pixels[i * 4 + 3];
    if (alpha < kFaintAlpha) ++faint;
  }
  if (visible == 0 || double(faint) <= kFaintShare * double(visible)) return;
  char share[16];
  std::snprintf(share, sizeof share, "%.0f%%", 100.0 * double(faint) / double(visible));
  *warning += std::string(warning->empty() ? "" : "; ") + name + ": " + share +
              " of the visible pixels (" + std::to_string(faint) + " of " +
              std::to_string(visible) + ") have alpha below " + std::to_string(kFaintAlpha) +
              " and are drawn at the faintest blend level, 1/4; --alpha-floor N makes the "
              "pixels below alpha N transparent";
}

Image IndexedAsRgba(const Image& image) {
  Image rgba;
  rgba.format = Image::Format::kRgba;
  rgba.width = image.width;
  rgba.height = image.height;
  rgba.index_plane = image.pixels;
  rgba.pixels.resize(image.pixels.size() * 4);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    std::uint8_t index = image.pixels[i];
    Rgb c = image.palette[index];
    std::uint8_t* out = &rgba.pixels[i * 4];
    out[0] = c.r, out[1] = c.g, out[2] = c.b, out[3] = image.palette_alpha[index];
  }
  return rgba;
}

std::uint8_t Clamp(int v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

bool MapPixels(const Image& image, const std::string& name, const MapOptions& options,
               PixelImage* pixels, std::string* warning, std::string* error) {
  *pixels = PixelImage(image.width, image.height);
  std::size_t count = std::size_t(image.width) * image.height;
  const Palette* palette = options.palette;
  if (image.format == Image::Format::kIndexed) {
    std::vector<bool> used(256, false);
    for (std::size_t i = 0; i < count; ++i) {
      std::uint8_t index = image.pixels[i];
      if (index >= image.palette.size()) {
        *error = name + ": pixel (" + std::to_string(i % image.width) + ", " +
                 std::to_string(i / image.width) + ") has colour index " + std::to_string(index) +
                 ", which is not in the PNG's " + std::to_string(image.palette.size()) +
                 "-colour palette";
        return false;
      }
      used[index] = true;
    }
    if (palette && !options.keep_indices) {
      if (!MapPixels(IndexedAsRgba(image), name, options, pixels, warning, error)) return false;
      int missing = 0;
      for (int i = 0; i < int(image.palette.size()); ++i)
        if (used[i] && image.palette_alpha[i] != 0 &&
            std::find(palette->begin(), palette->end(), image.palette[i]) == palette->end())
          ++missing;
      if (missing)
        *warning = name + ": " + std::to_string(missing) +
                   " of the colours the picture uses are not in the " +
                   "game palette; they take the nearest game colour";
      return true;
    }
    int differ = 0;
    for (int i = 0; palette && i < int(image.palette.size()); ++i)
      if (used[i] && image.palette_alpha[i] != 0 && !((*palette)[i] == image.palette[i])) ++differ;
    if (differ)
      *warning = name + ": " + std::to_string(differ) +
                 " of the colours the picture uses differ from the game " +
                 "palette's at the same index; --keep-indices draws them in the game's colours";
    Rgb key_colour = image.palette[image.pixels.empty() ? 0 : image.pixels[0]];
    for (std::size_t i = 0; i < count; ++i) {
      std::uint8_t index = image.pixels[i];
      Rgb c = image.palette[index];
      bool keyed = (options.key_auto && c == key_colour) || int(c.Packed()) == options.key;
      pixels->pixels[i] =
          keyed ? Pixel{} : FloorPixel(image.palette_alpha[index], index, options.alpha_floor);
    }
    return true;
  }
  if (!palette) {
    *error = name +
             ": an RGB picture has no palette indices; give --palette pal.pal to map its colours "
             "to the nearest palette colour (or save it as an indexed PNG)";
    return false;
  }
  NearestColour nearest(*palette);
  bool plane = image.index_plane.size() == count;
  int key = options.key;
  if (options.key_auto && count > 0)
    key = int(Rgb{image.pixels[0], image.pixels[1], image.pixels[2]}.Packed());
  // Floyd-Steinberg: each row's error, in 1/16ths, for this row and the next.
  std::vector<int> here, below;
  if (options.dither) {
    here.assign((std::size_t(image.width) + 2) * 3, 0);
    below = here;
  }
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::size_t i = std::size_t(y) * image.width + x;
      const std::uint8_t* p = &image.pixels[i * 4];
      if (p[3] == 0 || p[3] < options.alpha_floor) continue;
      Rgb colour{p[0], p[1], p[2]};
      if (key >= 0 && int(colour.Packed()) == key) continue;
      if (plane && (*palette)[image.index_plane[i]] == colour) {
        pixels->pixels[i] = PixelFromAlpha(p[3], image.index_plane[i]);
        continue;
      }
      int* e = options.dither ? &here[(std::size_t(x) + 1) * 3] : nullptr;
      if (e)
        colour = Rgb{Clamp(p[0] + e[0] / 16), Clamp(p[1] + e[1] / 16), Clamp(p[2] + e[2] / 16)};
      std::uint8_t index = nearest.Find(colour);
      pixels->pixels[i] = PixelFromAlpha(p[3], index);
      if (!e) continue;
      const Rgb& got = (*palette)[index];
      int err[3] = {colour.r - got.r, colour.g - got.g, colour.b - got.b};
      for (int c = 0; c < 3; ++c) {
        e[3 + c] += 7 * err[c];
        below[std::size_t(x) * 3 + c] += 3 * err[c];
        below[(std::size_t(x) + 1) * 3 + c] += 5 * err[c];
        below[(std::size_t(x) + 2) * 3 + c] += err[c];
      }
    }
    if (options.dither) {
      here.swap(below);
      std::fill(below.begin(), below.end(), 0);
    }
  }
  return true;
}

}  // namespace

bool ImageToPixels(const Image& image, const std::string& name, const MapOptions& options,
                   PixelImage* pixels, std::string* warning, std::string* error) {
  warning->clear();
  MapOptions inner = options;
  inner.alpha_floor = std::max(options.alpha_floor, 0);  // the note is made once, here
  if (!MapPixels(image, name, inner, pixels, warning, error)) return false;
  NoteFaintPixels(image, name, options, *pixels, warning);
  return true;
}

namespace {

// Cells along one side, or -1 when the side is not a whole number of them.
long CellsAlong(long side, int cell, int margin, int spacing) {
  long inner = side - 2L * margin + spacing;
  if (inner < cell + spacing || inner % (cell + spacing) != 0) return -1;
  return inner / (cell + spacing);
}

}  // namespace

bool CheckCellGrid(int sheet_width, int sheet_height, const std::string& name, const Grid& grid,
                   std::string* error) {
  std::string cell = std::to_string(grid.w) + "x" + std::to_string(grid.h);
  std::string size = std::to_string(sheet_width) + "x" + std::to_string(sheet_height);
  std::string gaps;
  if (grid.margin) gaps += ", margin " + std::to_string(grid.margin);
  if (grid.spacing) gaps += ", spacing " + std::to_string(grid.spacing);
  if (grid.w < 1 || grid.h < 1 || grid.w + 2L * grid.margin > sheet_width ||
      grid.h + 2L * grid.margin > sheet_height) {
    *error = name + ": a " + cell + " cell" + gaps + " does not fit the " + size + " sheet";
    return false;
  }
  long across = CellsAlong(sheet_width, grid.w, grid.margin, grid.spacing);
  long down = CellsAlong(sheet_height, grid.h, grid.margin, grid.spacing);
  if (across < 0 || down < 0) {
    *error = name + ": the " + size + " sheet is not a whole number of " + cell + " cells" + gaps;
    return false;
  }
  long available = across * down;
  if (grid.count > available) {
    *error = name + ": --count " + std::to_string(grid.count) + " but the sheet has only " +
             std::to_string(available) + " cells of " + cell;
    return false;
  }
  long take = grid.count < 0 ? available : grid.count;
  if (take > kMaxSprites) {
    *error = name + ": " + std::to_string(take) + " cells of " + cell +
             ", more than a sprite set can hold (65535)";
    return false;
  }
  return true;
}

bool CutCells(const PixelImage& sheet, const std::string& name, const Grid& grid,
              std::vector<PixelImage>* cells, std::string* error) {
  cells->clear();
  if (!CheckCellGrid(sheet.width, sheet.height, name, grid, error)) return false;
  long across = CellsAlong(sheet.width, grid.w, grid.margin, grid.spacing);
  long take = grid.count < 0 ? across * CellsAlong(sheet.height, grid.h, grid.margin, grid.spacing)
                             : grid.count;
  cells->reserve(std::size_t(take));
  for (long i = 0; i < take; ++i)
    cells->push_back(sheet.Crop(grid.margin + int(i % across) * (grid.w + grid.spacing),
                                grid.margin + int(i / across) * (grid.h + grid.spacing), grid.w,
                                grid.h));
  return true;
}

PixelImage TrimCell(const PixelImage& cell, int* x, int* y) {
  int left = cell.width, right = -1, top = cell.height, bottom = -1;
  for (int j = 0; j < cell.height; ++j)
    for (int i = 0; i < cell.width; ++i)
      if (cell.at(i, j).kind != Pixel::kTransparent) {
        left = std::min(left, i), right = std::max(right, i);
        top = std::min(top, j), bottom = std::max(bottom, j);
      }
  *x = right < 0 ? 0 : left;
  *y = right < 0 ? 0 : top;
  return right < 0 ? PixelImage(0, 0) : cell.Crop(left, top, right - left + 1, bottom - top + 1);
}

bool SplitStrip(const Image& image, const std::string& name, int separator,
                std::vector<std::pair<int, int>>* runs, std::string* error) {
  runs->clear();
  auto colour = [&](int x, int y) -> int {
    std::size_t i = std::size_t(y) * image.width + x;
    if (image.format != Image::Format::kIndexed) {
      const std::uint8_t* p = &image.pixels[i * 4];
      return int(Rgb{p[0], p[1], p[2]}.Packed());
    }
    std::uint8_t index = image.pixels[i] < image.palette.size() ? image.pixels[i] : 0;
    return int(image.palette[index].Packed());
  };
  if (separator < 0) separator = colour(0, 0);
  int start = -1;
  for (int x = 0; x <= image.width; ++x) {
    bool line = x == image.width;
    for (int y = 0; !line && y < image.height && colour(x, y) == separator; ++y)
      line = y == image.height - 1;
    if (line && start >= 0) runs->push_back({start, x - start});
    if (line)
      start = -1;
    else if (start < 0)
      start = x;
  }
  if (runs->empty()) {
    *error = name + ": no glyphs between separator columns of colour " + [&] {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%06x", separator);
      return std::string(hex);
    }();
    return false;
  }
  return true;
}

PixelImage TrimGlyph(const PixelImage& cell) {
  int first = cell.width, last = -1;
  for (int y = 0; y < cell.height; ++y)
    for (int x = 0; x < cell.width; ++x)
      if (cell.at(x, y).kind != Pixel::kTransparent) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  if (last < 0) return PixelImage(0, 0);
  PixelImage glyph(last - first + 2, cell.height);
  for (int y = 0; y < cell.height; ++y)
    for (int x = first; x <= last; ++x) glyph.at(x - first, y) = cell.at(x, y);
  return glyph;
}

bool BuildFont(const std::vector<PixelImage>& cells, int first, const std::string& chars, int space,
               int line, bool fixed, std::vector<SpriteData>* sprites, std::string* error) {
  if (chars.empty() && (first < 0 || first > 255)) {
    *error = "the first character must be a byte from 0 to 255";
    return false;
  }
  if (chars.empty() && first + long(cells.size()) - 1 > 255) {
    *error = std::to_string(cells.size()) + " glyphs from byte " + std::to_string(first) +
             " pass byte 255";
    return false;
  }
  if (!chars.empty() && chars.size() > cells.size()) {
    *error = "--chars names " + std::to_string(chars.size()) +
             " characters but the sheet has only " + std::to_string(cells.size()) + " glyphs";
    return false;
  }
  sprites->assign(256, SpriteData());
  if (!base::EncodeSprite(PixelImage(space, line), &(*sprites)[0], error)) return false;
  std::size_t glyphs = chars.empty() ? cells.size() : chars.size();
  for (std::size_t i = 0; i < glyphs; ++i) {
    int byte = chars.empty() ? first + int(i) : static_cast<unsigned char>(chars[i]);
    if (byte == 0) continue;
    if (!base::EncodeSprite(fixed ? cells[i] : TrimGlyph(cells[i]), &(*sprites)[byte], error)) {
      *error = "glyph " + std::to_string(byte) + ": " + *error;
      return false;
    }
  }
  return true;
}

bool RenderSheet(const std::vector<base::SpriteView>& sprites, const PalFile& pal,
                 const UnpackOptions& options, Image* image, int* cell_width, int* cell_height,
                 int* columns, std::string* error) {
  if (sprites.empty()) {
    *error = "the set holds no sprites, so there is nothing to draw";
    return false;
  }
  int cw = 1, ch = 1;
  for (const base::SpriteView& s : sprites) {
    cw = std::max(cw, s.width);
    ch = std::max(ch, s.height);
  }
  long count = long(sprites.size());
  long across =
      options.columns > 0 ? std::min<long>(options.columns, count) : std::min<long>(count, 16);
  long down = (count + across - 1) / across;
  if (across * cw > 65535 || down * ch > 65535 || across * cw * down * ch > base::kMaxPngPixels) {
    *error = "a sheet of " + std::to_string(across) + " x " + std::to_string(down) + " cells of " +
             std::to_string(cw) + "x" + std::to_string(ch) + " is too large for a PNG here";
    return false;
  }
  *cell_width = cw;
  *cell_height = ch;
  *columns = int(across);

  // Checkerboard of 8-pixel squares in the palette colours nearest to two greys.
  NearestColour nearest(pal.colours);
  std::uint8_t light = nearest.Find(Rgb{0xc0, 0xc0, 0xc0});
  std::uint8_t dark = nearest.Find(Rgb{0x80, 0x80, 0x80});
  auto background = [&](int x, int y) -> std::uint8_t {
    if (options.background >= 0) return std::uint8_t(options.background);
    return ((x / 8 + y / 8) & 1) ? dark : light;
  };

  *image = Image();
  image->width = int(across * cw);
  image->height = int(down * ch);
  image->format = options.view ? Image::Format::kRgb : Image::Format::kRgba;
  std::size_t total = std::size_t(image->width) * image->height;
  const int channels = options.view ? 3 : 4;
  image->pixels.assign(total * channels, 0);
  if (!options.view) image->index_plane.assign(total, 0);
  // The layout fits kMaxPngPixels, so every sprite expands to less than that.
  std::vector<PixelImage> pixels;
  pixels.reserve(sprites.size());
  for (const base::SpriteView& s : sprites) pixels.push_back(base::DecodeSprite(s));
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      long cell = (y / ch) * across + x / cw;
      int sx = x % cw, sy = y % ch;
      Pixel pixel;
      if (cell < count && sx < pixels[cell].width && sy < pixels[cell].height)
        pixel = pixels[cell].at(sx, sy);
      std::uint8_t back = background(x, y);
      std::uint8_t index = back, alpha = 0;
      if (pixel.kind == Pixel::kOpaque) {
        index = pixel.index;
        alpha = 255;
      } else if (pixel.kind == Pixel::kBlended) {
        index = options.view ? pal.Blend(back, pixel.index, pixel.level) : pixel.index;
        alpha = std::uint8_t(64 * (pixel.level + 1));
      }
      std::size_t i = std::size_t(y) * image->width + x;
      std::uint8_t* out = &image->pixels[i * channels];
      out[0] = pal.colours[index].r;
      out[1] = pal.colours[index].g;
      out[2] = pal.colours[index].b;
      if (!options.view) {
        out[3] = alpha;
        image->index_plane[i] = index;
      }
    }
  }
  return true;
}

}  // namespace tools
