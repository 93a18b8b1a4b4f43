// Helpers for the lunashot-pack unit tests: PNG fixtures made with the tools'
// own writer, and in-process runs of the command line.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/unit/scratch_dir.h"
#include "tools/commands.h"
#include "tools/palette.h"
#include "tools/png_io.h"

namespace tools_test {

using test_support::ScratchDir;

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

inline RunResult RunPack(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = tools::Run(args, out, err);
  return {status, out.str(), err.str()};
}

// Runs the command and expects it to succeed.
inline ::testing::AssertionResult Ok(const std::vector<std::string>& args) {
  RunResult run = RunPack(args);
  if (run.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << run.status << ": " << run.err;
}

// Runs the command and expects `status` and an error containing `message`.
inline void ExpectFail(const std::vector<std::string>& args, int status,
                       const std::string& message) {
  RunResult run = RunPack(args);
  EXPECT_EQ(run.status, status) << run.err;
  EXPECT_TRUE(Contains(run.err, message)) << message << "\n" << run.err;
}

// The test palette of the game tests: colour i is a 3-3-2 RGB cube entry.
inline tools::Palette CubePalette() {
  tools::Palette p;
  for (int i = 0; i < 256; ++i)
    p[i] = tools::Rgb{std::uint8_t((i >> 5) * 255 / 7), std::uint8_t(((i >> 2) & 7) * 255 / 7),
                      std::uint8_t((i & 3) * 255 / 3)};
  return p;
}

inline tools::Image IndexedImage(int w, int h, std::vector<std::uint8_t> indices,
                                 const tools::Palette& palette,
                                 std::vector<std::uint8_t> alpha = {}) {
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

// A PNG assembled chunk by chunk, for pictures the writer will not make
// (grey, 16-bit, indices beyond the palette). `scanlines` include their
// filter bytes.
inline std::vector<std::uint8_t> RawPng(int w, int h, int bit_depth, int colour_type,
                                        const std::vector<std::uint8_t>& plte,
                                        const std::vector<std::uint8_t>& scanlines) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  auto put32 = [&](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
  };
  auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
    put32(std::uint32_t(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
  };
  std::vector<std::uint8_t> ihdr;
  for (std::uint32_t v : {std::uint32_t(w), std::uint32_t(h)})
    for (int shift = 24; shift >= 0; shift -= 8) ihdr.push_back(std::uint8_t(v >> shift));
  ihdr.insert(ihdr.end(), {std::uint8_t(bit_depth), std::uint8_t(colour_type), 0, 0, 0});
  chunk("IHDR", ihdr);
  if (!plte.empty()) chunk("PLTE", plte);
  uLongf length = compressBound(uLong(scanlines.size()));
  std::vector<std::uint8_t> idat(length);
  compress(idat.data(), &length, scanlines.data(), uLong(scanlines.size()));
  idat.resize(length);
  chunk("IDAT", idat);
  chunk("IEND", {});
  return out;
}

}  // namespace tools_test
