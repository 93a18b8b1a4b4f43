// pal.pal decoding and encoding.
#include "base/pal_file.h"

#include <cstring>

#include "base/file.h"

namespace base {

bool CheckPalFile(std::size_t length, std::string* error) {
  if (length >= kPalFileBytes) return true;
  *error = "only " + std::to_string(length) + " bytes; a palette file has " +
           std::to_string(kPalFileBytes);
  return false;
}

bool DecodePalFile(const std::uint8_t* bytes, std::size_t length, PalFile* pal,
                   std::string* error) {
  if (!CheckPalFile(length, error)) return false;
  for (int c = 0; c < 256; ++c)
    pal->colours[c] = {bytes[c * 3], bytes[c * 3 + 1], bytes[c * 3 + 2]};
  pal->blend.assign(bytes + 768, bytes + kPalFileBytes);
  return true;
}

bool ReadPalFile(const std::string& path, PalFile* pal, std::string* error) {
  std::vector<std::uint8_t> bytes;
  FileError failure;
  if (!ReadFile(path, kPalFileBytes, &bytes, &failure, true)) {
    *error = path + ": " + failure.Text();
    return false;
  }
  if (!DecodePalFile(bytes.data(), bytes.size(), pal, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

std::vector<std::uint8_t> EncodePalFile(const PalFile& pal) {
  std::vector<std::uint8_t> out;
  out.reserve(kPalFileBytes);
  for (const Rgb& c : pal.colours) out.insert(out.end(), {c.r, c.g, c.b});
  out.insert(out.end(), pal.blend.begin(), pal.blend.end());
  return out;
}

}  // namespace base
