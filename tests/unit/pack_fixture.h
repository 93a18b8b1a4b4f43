// Helpers for the lunashot-pack unit tests: pictures made with the tools' own
// writer or chunk by chunk, in-process runs of the command line, and sprites
// and pictures read back as text that one assertion can compare.
#pragma once
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "base/sprite_file.h"
#include "tests/unit/scratch_dir.h"
#include "tools/commands.h"
#include "tools/palette.h"
#include "tools/png_io.h"

namespace tools_test {

using base::Pixel;
using base::PixelImage;
using test_support::ScratchDir;
using tools::Rgb;
using ByteVector = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;
using SpriteSet = std::vector<base::SpriteData>;

struct RunResult {
  int status;
  std::string out, err;
};

inline ::testing::AssertionResult Has(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

inline RunResult RunPack(const Strings& args) {
  std::ostringstream out, err;
  int status = tools::Run(args, out, err);
  return {status, out.str(), err.str()};
}

// Runs the command while this process's address space may grow by at most
// `bytes`, so a command that takes far too much fails ("out of memory")
// instead of starving the machine. No fork: the quantiser's thread pool
// would not survive one.
inline RunResult RunPackLimited(const Strings& args, std::size_t bytes) {
  long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  rlimit before, limit;
  getrlimit(RLIMIT_AS, &before);
  limit = before;
  limit.rlim_cur = std::min(before.rlim_max, rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + bytes);
  setrlimit(RLIMIT_AS, &limit);
  RunResult run = RunPack(args);
  setrlimit(RLIMIT_AS, &before);
  return run;
}

inline ::testing::AssertionResult Ok(const Strings& args) {
  RunResult run = RunPack(args);
  if (run.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << run.status << ": " << run.err;
}

// Runs the command and expects `status` and an error containing `message`.
inline void ExpectFail(const Strings& args, int status, const std::string& message) {
  RunResult run = RunPack(args);
  EXPECT_EQ(run.status, status) << run.err;
  EXPECT_TRUE(Has(run.err, message));
}

inline void WriteText(const ScratchDir& dir, const std::string& name, const std::string& text) {
  dir.Write(name, ByteVector(text.begin(), text.end()));
}

// Bytes given as hex digits; spaces only group them for the reader.
inline ByteVector Hex(const std::string& digits) {
  ByteVector bytes;
  for (std::size_t i = 0; i < digits.size(); ++i)
    if (digits[i] != ' ') bytes.push_back(std::uint8_t(std::stoi(digits.substr(i++, 2), 0, 16)));
  return bytes;
}

// The test palette of the game tests: colour i is a 3-3-2 RGB cube entry.
inline tools::Palette CubePalette() {
  tools::Palette p;
  for (int i = 0; i < 256; ++i)
    p[i] = tools::Rgb{std::uint8_t((i >> 5) * 255 / 7), std::uint8_t(((i >> 2) & 7) * 255 / 7),
                      std::uint8_t((i & 3) * 255 / 3)};
  return p;
}

// Writes the palette's pal.pal (mixing blend table) as `name`; returns the name.
inline std::string SavePal(const ScratchDir& dir, const tools::Palette& palette = CubePalette(),
                           const std::string& name = "pal.pal") {
  dir.Write(name, tools::BuildPalFile(palette, tools::BlendMode::kMix));
  return name;
}

inline std::uint32_t Rgba(Rgb c, std::uint8_t alpha = 255) {
  return std::uint32_t(c.r) << 24 | c.g << 16 | c.b << 8 | alpha;
}

inline tools::Image IndexedImage(int w, int h, ByteVector indices,
                                 const tools::Palette& palette = CubePalette(),
                                 ByteVector alpha = {}) {
  tools::Image image;
  image.format = tools::Image::Format::kIndexed;
  image.width = w, image.height = h;
  image.pixels = std::move(indices);
  image.palette.assign(palette.begin(), palette.end());
  image.palette_alpha = std::move(alpha);
  image.palette_alpha.resize(256, 255);
  return image;
}

// RGBA pixels given as 0xRRGGBBAA values.
inline tools::Image RgbaImage(int w, int h, const std::vector<std::uint32_t>& rgba) {
  tools::Image image;
  image.format = tools::Image::Format::kRgba;
  image.width = w, image.height = h;
  for (std::uint32_t v : rgba)
    for (int shift = 24; shift >= 0; shift -= 8) image.pixels.push_back(std::uint8_t(v >> shift));
  return image;
}

inline void SavePng(const std::string& path, const tools::Image& image) {
  std::string error;
  ASSERT_TRUE(tools::WritePng(path, image, &error)) << error;
}

inline tools::Image LoadPng(const std::string& path) {
  tools::Image image;
  std::string error;
  EXPECT_TRUE(tools::ReadPng(path, &image, &error)) << error;
  return image;
}

// A PNG assembled chunk by chunk, for pictures the writer will not make
// (grey, 16-bit, indices beyond the palette). `scanlines` include their
// filter bytes.
inline ByteVector RawPng(int w, int h, int bit_depth, int colour_type, const ByteVector& plte,
                         const ByteVector& scanlines, const ByteVector& trns = {}) {
  ByteVector out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  auto put32 = [](ByteVector* to, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) to->push_back(std::uint8_t(v >> shift));
  };
  auto chunk = [&](const char* type, const ByteVector& data) {
    put32(&out, std::uint32_t(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(&out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
  };
  ByteVector ihdr;
  put32(&ihdr, std::uint32_t(w)), put32(&ihdr, std::uint32_t(h));
  ihdr.insert(ihdr.end(), {std::uint8_t(bit_depth), std::uint8_t(colour_type), 0, 0, 0});
  chunk("IHDR", ihdr);
  if (!plte.empty()) chunk("PLTE", plte);
  if (!trns.empty()) chunk("tRNS", trns);
  uLongf length = compressBound(uLong(scanlines.size()));
  ByteVector idat(length);
  compress(idat.data(), &length, scanlines.data(), uLong(scanlines.size()));
  idat.resize(length);
  chunk("IDAT", idat);
  chunk("IEND", {});
  return out;
}

inline SpriteSet ReadSet(const ScratchDir& dir, const std::string& name) {
  ByteVector bytes = dir.Read(name);
  std::vector<base::SpriteView> views;
  std::string error;
  EXPECT_TRUE(base::DecodeSpriteSet(bytes.data(), bytes.size(), &views, &error)) << error;
  SpriteSet sprites;
  for (const base::SpriteView& v : views)
    sprites.push_back({v.width, v.height, ByteVector(v.rows, v.rows + v.size)});
  return sprites;
}

inline std::string Size(const base::SpriteData& sprite) {
  return std::to_string(sprite.width) + "x" + std::to_string(sprite.height);
}

// A pixel as text: "." clear, "1c" opaque index 0x1c, "e0/2" blended at level 2.
inline std::string Show(const Pixel& p) {
  char text[8] = ".";
  if (p.kind != Pixel::kTransparent)
    std::snprintf(text, sizeof text, p.kind == Pixel::kOpaque ? "%02x" : "%02x/%d", p.index,
                  p.level);
  return text;
}

// A sprite's pixels row by row, rows divided by " | "; a set's sprites by "; ".
inline std::string Show(const PixelImage& image) {
  std::string text;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) text += (x ? " " : y ? " | " : "") + Show(image.at(x, y));
  return text;
}
inline std::string Show(const base::SpriteData& sprite) {
  return Show(base::DecodeSprite(base::View(sprite)));
}
inline std::string Show(const SpriteSet& sprites) {
  std::string text;
  for (const base::SpriteData& s : sprites) text += (text.empty() ? "" : "; ") + Show(s);
  return text;
}

// A 0xRRGGBBAA value as "rrggbbaa".
inline std::string Word(std::uint32_t rgba) {
  char word[9];
  std::snprintf(word, sizeof word, "%08x", unsigned(rgba));
  return word;
}

// The w x h region at (x, y) of an RGBA picture as words, rows divided by
// " | "; a pixel of alpha 0 shows as "." whatever its colour.
inline std::string ShowRgba(const tools::Image& rgba, int x0 = 0, int y0 = 0, int w = -1,
                            int h = -1) {
  std::string text;
  for (int y = y0; y < y0 + (h < 0 ? rgba.height : h); ++y)
    for (int x = x0; x < x0 + (w < 0 ? rgba.width : w); ++x) {
      const std::uint8_t* p = &rgba.pixels[(std::size_t(y) * rgba.width + x) * 4];
      std::string word =
          p[3] ? Word(std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]) : ".";
      text += (x > x0 ? " " : y > y0 ? " | " : "") + word;
    }
  return text;
}

}  // namespace tools_test
