// Picture <-> pixel conversions, cell cutting, font building and sheet drawing.
#include "tools/sheet.h"

#include <algorithm>

namespace tools {

Pixel PixelFromAlpha(std::uint8_t alpha, std::uint8_t index) {
  if (alpha == 0) return Pixel{};
  if (alpha == 255) return Pixel{Pixel::kOpaque, index, 0};
  // Nearest of 255/4, 255/2 and 3*255/4, compared in units of 1/4.
  int a4 = 4 * alpha;
  std::uint8_t level = a4 < 255 + 128 ? 0 : a4 < 510 + 128 ? 1 : 2;
  return Pixel{Pixel::kBlended, index, level};
}

bool ImageToPixels(const Image& image, const std::string& name, const Palette* palette,
                   PixelImage* pixels, std::string* error) {
  *pixels = PixelImage(image.width, image.height);
  std::size_t count = std::size_t(image.width) * image.height;
  if (image.format == Image::Format::kIndexed) {
    for (std::size_t i = 0; i < count; ++i) {
      std::uint8_t index = image.pixels[i];
      if (index >= image.palette.size()) {
        *error = name + ": pixel (" + std::to_string(i % image.width) + ", " + std::to_string(i / image.width) +
                 ") has colour index " + std::to_string(index) + ", which is not in the PNG's " +
                 std::to_string(image.palette.size()) + "-colour palette";
        return false;
      }
      pixels->pixels[i] = PixelFromAlpha(image.palette_alpha[index], index);
    }
    return true;
  }
  if (!palette) {
    *error = name + ": an RGB picture has no palette indices; give --palette pal.pal to map its colours "
                    "to the nearest palette colour (or save it as an indexed PNG)";
    return false;
  }
  NearestColour nearest(*palette);
  bool plane = image.index_plane.size() == count;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = &image.pixels[i * 4];
    if (p[3] == 0) continue;
    Rgb colour{p[0], p[1], p[2]};
    std::uint8_t index = plane && (*palette)[image.index_plane[i]] == colour ? image.index_plane[i]
                                                                           : nearest.Find(colour);
    pixels->pixels[i] = PixelFromAlpha(p[3], index);
  }
  return true;
}

bool CheckCellGrid(int sheet_width, int sheet_height, const std::string& name, int w, int h, int count,
                   std::string* error) {
  std::string cell = std::to_string(w) + "x" + std::to_string(h);
  std::string size = std::to_string(sheet_width) + "x" + std::to_string(sheet_height);
  if (w < 1 || h < 1 || w > sheet_width || h > sheet_height) {
    *error = name + ": a " + cell + " cell does not fit the " + size + " sheet";
    return false;
  }
  if (sheet_width % w != 0 || sheet_height % h != 0) {
    *error = name + ": the " + size + " sheet is not a whole number of " + cell + " cells";
    return false;
  }
  long available = long(sheet_width / w) * (sheet_height / h);
  if (count > available) {
    *error = name + ": --count " + std::to_string(count) + " but the sheet has only " + std::to_string(available) +
             " cells of " + cell;
    return false;
  }
  long take = count < 0 ? available : count;
  if (take > kMaxSprites) {
    *error = name + ": " + std::to_string(take) + " cells of " + cell + ", more than a sprite set can hold (65535)";
    return false;
  }
  return true;
}

bool CutCells(const PixelImage& sheet, const std::string& name, int w, int h, int count,
              std::vector<PixelImage>* cells, std::string* error) {
  cells->clear();
  if (!CheckCellGrid(sheet.width, sheet.height, name, w, h, count, error)) return false;
  long across = sheet.width / w;
  long take = count < 0 ? across * (sheet.height / h) : count;
  cells->reserve(std::size_t(take));
  for (long i = 0; i < take; ++i)
    cells->push_back(sheet.Crop(int(i % across) * w, int(i / across) * h, w, h));
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

bool BuildFont(const std::vector<PixelImage>& cells, int first, int space, int line, bool fixed,
               std::vector<SpriteData>* sprites, std::string* error) {
  if (first < 1 || first > 255) {
    *error = "the first character must be a byte from 1 to 255 (byte 0 holds the metrics)";
    return false;
  }
  if (first + long(cells.size()) - 1 > 255) {
    *error = std::to_string(cells.size()) + " glyphs from byte " + std::to_string(first) + " pass byte 255";
    return false;
  }
  sprites->assign(256, SpriteData());
  if (!base::EncodeSprite(PixelImage(space, line), &(*sprites)[0], error)) return false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!base::EncodeSprite(fixed ? cells[i] : TrimGlyph(cells[i]), &(*sprites)[first + i], error)) {
      *error = "glyph " + std::to_string(first + i) + ": " + *error;
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
  long across = options.columns > 0 ? std::min<long>(options.columns, count) : std::min<long>(count, 16);
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
      if (cell < count && sx < pixels[cell].width && sy < pixels[cell].height) pixel = pixels[cell].at(sx, sy);
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
