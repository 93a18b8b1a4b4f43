// lunashot-pack's picture reader on arbitrary bytes (stb_image's JPEG, BMP,
// TGA and GIF decoders, libpng): a picture within the limits or a reason,
// and every picture read maps to palette pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/picture.h"
#include "tools/sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tools::Palette palette = [] {
    tools::Palette p;
    for (int i = 0; i < 256; ++i) p[i] = tools::Rgb{std::uint8_t(i), std::uint8_t(i * 7), std::uint8_t(i * 13)};
    return p;
  }();
  std::vector<std::uint8_t> bytes(data, data + size);
  std::vector<tools::Image> frames;
  std::string error;
  if (!tools::DecodeFrames(bytes, "in", &frames, &error)) {
    if (error.empty() || !frames.empty()) std::abort();
    return 0;
  }
  long pixels = 0;
  for (const tools::Image& f : frames) {
    pixels += long(f.width) * f.height;
    std::size_t channels = f.format == tools::Image::Format::kIndexed ? 1
                           : f.format == tools::Image::Format::kRgb   ? 3
                                                                      : 4;
    if (f.pixels.size() != std::size_t(f.width) * f.height * channels) std::abort();
    tools::MapOptions options;
    options.palette = &palette;
    options.dither = size & 1;
    options.alpha_floor = size & 2 ? 40 : -1;
    base::PixelImage out;
    std::string warning;
    tools::ImageToPixels(f, "in", options, &out, &warning, &error);
  }
  if (frames.empty() || pixels > base::kMaxPngPixels) std::abort();
  return 0;
}
