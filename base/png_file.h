// PNG reading and writing over libpng, for the frame recorder, lunashot-pack
// and the demo's art generator. Indexed images keep their indices (one byte
// per pixel whatever the bit depth); every other colour type is read as
// 8-bit RGBA. Output bytes depend only on the image and the compression
// level (no time or text chunks), so golden hashes of recorded frames hold.
// libpng's simplified API is not used: it adds an sRGB chunk, cannot choose
// the compression level, the bit depth or private chunks, and would change
// the bytes every golden hash depends on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/colour.h"

namespace base {

struct PngImage {
  enum class Format { kIndexed, kRgb, kRgba };
  Format format = Format::kRgba;
  int width = 0;
  int height = 0;
  // One byte per pixel (kIndexed), three (kRgb: R, G, B) or four (kRgba).
  std::vector<std::uint8_t> pixels;
  std::vector<Rgb> palette;                 // PLTE of an indexed image
  std::vector<std::uint8_t> palette_alpha;  // one alpha per palette entry (tRNS, else 255)
  int bit_depth = 8;                        // written indexed images: 1, 2, 4 or 8
  // Private chunks: written before the image data; read back only when named.
  struct Chunk {
    std::string name;  // four letters
    std::vector<std::uint8_t> data;
  };
  std::vector<Chunk> chunks;
};

// Largest image DecodePng accepts: each side and width x height.
constexpr long kMaxPngSide = 65535;
constexpr long kMaxPngPixels = 1L << 25;

// Decodes a PNG file image, keeping the private chunk named `keep_chunk`
// (nullptr: none). False with "not a PNG file", "too large: W x H pixels,
// the limit is ...", "the PNG has no image data ..." or "corrupt or
// unsupported PNG (...)". No chunk may take more memory than the file's size.
bool DecodePng(const std::uint8_t* bytes, std::size_t size, const char* keep_chunk, PngImage* image,
               std::string* error);
// Encodes at zlib `compression_level` (-1: libpng's default).
bool EncodePng(const PngImage& image, int compression_level, std::vector<std::uint8_t>* bytes,
               std::string* error);

}  // namespace base
