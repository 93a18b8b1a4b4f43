// A small PNG reader and writer over libpng for lunashot-pack. Indexed images
// keep their indices (one byte per pixel whatever the bit depth); every other
// colour type is read as 8-bit RGBA.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Image {
  enum class Format { kIndexed, kRgba, kRgb };
  Format format = Format::kRgba;
  int width = 0;
  int height = 0;
  // kIndexed: one index per pixel. kRgba and kRgb: four bytes R, G, B, A per
  // pixel (a kRgb image is written without its alpha; read images are kRgba).
  std::vector<std::uint8_t> pixels;
  std::vector<Rgb> palette;                 // PLTE of an indexed image
  std::vector<std::uint8_t> palette_alpha;  // one alpha per palette entry (tRNS, else 255)
  // Exact palette indices that lunashot-pack stores beside an RGBA sheet it
  // wrote (private chunk "lsIX"); empty when the image carries none.
  std::vector<std::uint8_t> index_plane;
  int bit_depth = 8;  // written indexed images only: 1, 2, 4 or 8
};

// Decodes a PNG file image. `name` only labels the message: "NAME: not a PNG
// file", "NAME: corrupt PNG (...)". Images of more than kMaxPixels are refused.
bool DecodePng(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error);
constexpr long kMaxPixels = 1L << 25;

// ReadFile plus DecodePng.
bool ReadPng(const std::string& path, Image* image, std::string* error);

// Encodes an image; an RGBA image with a non-empty index_plane carries it.
bool EncodePng(const Image& image, std::vector<std::uint8_t>* bytes, std::string* error);
// EncodePng plus WriteFileAtomic.
bool WritePng(const std::string& path, const Image& image, std::string* error);

}  // namespace tools
