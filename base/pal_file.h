// pal.pal: 256 colours (red, green, blue), then the 65536 x 3 blend table
// whose entry (d, s) at (d * 256 + s) * 3 holds the indices drawn for blend
// levels 0-2 when source colour s lands on destination d. A file must hold
// at least these 197376 bytes; bytes after them are ignored (the engine has
// always run such files, so the tool reads them too).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/colour.h"

namespace base {

constexpr std::size_t kPalBlendBytes = 65536 * 3;
constexpr std::size_t kPalFileBytes = 768 + kPalBlendBytes;

struct PalFile {
  std::array<Rgb, 256> colours{};
  std::vector<std::uint8_t> blend = std::vector<std::uint8_t>(kPalBlendBytes);
  std::uint8_t Blend(int d, int s, int level) const { return blend[(d * 256 + s) * 3 + level]; }
};

// False with "only N bytes; a palette file has 197376" for a file image too
// short to be one; any longer image is a palette file.
bool CheckPalFile(std::size_t length, std::string* error);
// From a file image; false as CheckPalFile.
bool DecodePalFile(const std::uint8_t* bytes, std::size_t length, PalFile* pal, std::string* error);
// Reads the file's first kPalFileBytes; messages start with `path`.
bool ReadPalFile(const std::string& path, PalFile* pal, std::string* error);
std::vector<std::uint8_t> EncodePalFile(const PalFile& pal);

}  // namespace base
