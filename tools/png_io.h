// lunashot-pack's files: reading inputs and writing outputs with messages
// that name the file, and pictures (base/png_file.h) with the private chunk
// "lsIX" that keeps the exact palette indices beside an RGBA sheet.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/png_file.h"

namespace tools {

using base::Rgb;

// Largest input file read (a PNG or a .gpl).
constexpr std::size_t kMaxInputBytes = std::size_t{256} << 20;

// The whole file, at most max_bytes; false with "PATH: cannot open: REASON".
bool ReadInput(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>* bytes,
               std::string* error);
// All or nothing (base::WriteFileAtomic); false with "PATH: cannot write: REASON".
bool WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::string* error);

struct Image : base::PngImage {
  // Exact palette indices stored beside an RGBA sheet (one per pixel); empty
  // when the picture carries none or they do not fit it.
  std::vector<std::uint8_t> index_plane;
};

// Decodes a PNG file image; messages start with `name`.
bool DecodePng(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error);
// ReadInput plus DecodePng.
bool ReadPng(const std::string& path, Image* image, std::string* error);
// Encodes (an RGBA image with an index plane carries it) and writes all or
// nothing. The chunk is added to `image` itself, so a caller done with the
// picture moves it in rather than copy it.
bool WritePng(const std::string& path, Image image, std::string* error);

}  // namespace tools
