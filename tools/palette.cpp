// The palette sources of lunashot-pack: indexed PNG and GIMP .gpl.
#include "tools/palette.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "base/pal_file.h"

namespace tools {

bool ParseGimpPalette(const std::string& text, const std::string& name, Palette* palette,
                      int* colours, std::string* error) {
  palette->fill(Rgb{0, 0, 0});
  *colours = 0;
  std::istringstream in(text);
  std::string line;
  int line_number = 0;
  bool header = false;
  auto fail = [&](const std::string& problem) {
    *error = name + ", line " + std::to_string(line_number) + ": " + problem;
    return false;
  };
  while (std::getline(in, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    if (!header) {
      if (line.compare(0, 12, "GIMP Palette") != 0) return fail("not a GIMP palette (no \"GIMP Palette\" header)");
      header = true;
      continue;
    }
    if (line[0] == '#' || line.compare(0, 5, "Name:") == 0 || line.compare(0, 8, "Columns:") == 0) continue;
    int value[3];
    const char* p = line.c_str();
    for (int i = 0; i < 3; ++i) {
      char* end;
      long v = std::strtol(p, &end, 10);
      if (end == p || v < 0 || v > 255 || (*end && !std::isspace(static_cast<unsigned char>(*end))))
        return fail("expected three numbers 0-255 (red green blue)");
      value[i] = int(v);
      p = end;
    }
    if (*colours == 256) return fail("more than 256 colours");
    (*palette)[*colours] = Rgb{std::uint8_t(value[0]), std::uint8_t(value[1]), std::uint8_t(value[2])};
    ++*colours;
  }
  if (!header) {
    *error = name + ": not a GIMP palette (empty file)";
    return false;
  }
  if (*colours == 0) {
    *error = name + ": the palette has no colours";
    return false;
  }
  return true;
}

bool ReadPaletteSource(const std::string& path, Palette* palette, int* colours, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (!ReadInput(path, kMaxInputBytes, &bytes, error)) return false;
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin())) {
    Image image;
    if (!DecodePng(bytes, path, &image, error)) return false;
    if (image.format != Image::Format::kIndexed) {
      *error = path + ": not an indexed PNG, so it has no palette to take";
      return false;
    }
    palette->fill(Rgb{0, 0, 0});
    *colours = int(image.palette.size());
    for (int i = 0; i < *colours; ++i) (*palette)[i] = image.palette[i];
    return true;
  }
  std::string text(bytes.begin(), bytes.end());
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || (text.compare(start, 12, "GIMP Palette") != 0 &&
                                     text.compare(start, 15, "\xEF\xBB\xBFGIMP Palette") != 0)) {
    *error = path + ": neither a PNG nor a GIMP palette (.gpl)";
    return false;
  }
  return ParseGimpPalette(text, path, palette, colours, error);
}

}  // namespace tools
