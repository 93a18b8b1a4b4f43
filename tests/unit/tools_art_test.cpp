// lunashot-pack on art as people make it: true-colour pictures of any number
// of colours, indexed pictures with palettes of their own, key colours,
// irregular sheets, Aseprite exports and strip fonts. Every check packs, then
// unpacks, and compares the picture with its source pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "base/pal_file.h"
#include "tests/tools/test_support.h"

namespace {

using tools::Rgb;
using tools_test::RunPack;
using tools_test::SavePng;
using tools_test::ScratchDir;
using ByteVector = std::vector<std::uint8_t>;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

base::PalFile LoadPal(const std::string& path) {
  base::PalFile pal;
  std::string error;
  EXPECT_TRUE(base::ReadPalFile(path, &pal, &error)) << error;
  return pal;
}

// The set unpacked into one RGBA picture, `columns` sprites across.
tools::Image Unpack(const ScratchDir& dir, const std::string& set, const std::string& pal, int columns = 16) {
  auto run = RunPack({"unpack", dir / set, "-o", dir / "unpacked.png", "--palette", dir / pal, "--columns",
                      std::to_string(columns)});
  EXPECT_EQ(run.status, 0) << run.err;
  tools::Image image;
  std::string error;
  EXPECT_TRUE(tools::ReadPng(dir / "unpacked.png", &image, &error)) << error;
  return image;
}

std::uint32_t PixelAt(const tools::Image& image, int x, int y) {
  const std::uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Expects the picture's region at (ux, uy) to show `source`'s region at
// (sx, sy) of w x h: same RGB where opaque, alpha 0 where transparent.
void ExpectSame(const tools::Image& unpacked, int ux, int uy, const tools::Image& source, int sx, int sy, int w,
                int h, const std::string& label) {
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t got = PixelAt(unpacked, ux + x, uy + y), want = PixelAt(source, sx + x, sy + y);
      bool same = (want & 0xff) == 0 ? (got & 0xff) == 0 : got == want;
      if (!same && wrong++ < 3)
        ADD_FAILURE() << label << ": pixel (" << x << ", " << y << ") is " << std::hex << got << ", source " << want;
    }
}

// 48 x 48 pixels of 2304 different colours.
tools::Image ManyColours() {
  std::vector<std::uint32_t> rgba;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) rgba.push_back(std::uint32_t(x * 5) << 24 | std::uint32_t(y * 5) << 16 | 0x40ff);
  return tools_test::RgbaImage(48, 48, rgba);
}

TEST(ToolsArtPalette, TrueColourPicturesGiveExactOrReducedPalettes) {
  ScratchDir dir;
  SavePng(dir / "many.png", ManyColours());
  // 12 colours, an opaque and a half-transparent one among transparency.
  std::vector<std::uint32_t> few;
  for (int i = 0; i < 24; ++i) few.push_back(i % 2 ? 0 : std::uint32_t(i * 10) << 24 | 0x3000ff);
  few[1] = 0x112233ff, few[3] = 0x44556680;
  SavePng(dir / "few.png", tools_test::RgbaImage(6, 4, few));
  std::string gpl = "GIMP Palette\n255 0 255\n1 2 3\n";
  tools_test::WriteBytes(dir / "fixed.gpl", ByteVector(gpl.begin(), gpl.end()));

  auto exact = RunPack({"palette", dir / "few.png", dir / "few.pal"});
  ASSERT_EQ(exact.status, 0) << exact.err;
  EXPECT_TRUE(Contains(exact.out, "14 colours, exact")) << exact.out;
  ASSERT_EQ(RunPack({"sprites", dir / "few.png", dir / "few.spr", "--cell", "6x4", "--palette", dir / "few.pal"})
                .status, 0);
  tools::Image round = Unpack(dir, "few.spr", "few.pal");
  // Half alpha comes back as the blended level's 128.
  tools::Image source = tools_test::RgbaImage(6, 4, few);
  source.pixels[3 * 4 + 3] = 128;
  ExpectSame(round, 0, 0, source, 0, 0, 6, 4, "exact palette");

  auto reduced = RunPack({"palette", dir / "many.png", dir / "few.png", dir / "many.pal", "--fixed",
                          dir / "fixed.gpl", "--reserve", "4"});
  ASSERT_EQ(reduced.status, 0) << reduced.err;
  EXPECT_TRUE(Contains(reduced.out, "entries 0-3 kept (2 fixed), 2318 colours reduced to 252 (mean square error "))
      << reduced.out;
  base::PalFile pal = LoadPal(dir / "many.pal");
  EXPECT_TRUE((pal.colours[0] == Rgb{255, 0, 255}) && (pal.colours[1] == Rgb{1, 2, 3}) &&
              (pal.colours[2] == Rgb{0, 0, 0}) && (pal.colours[3] == Rgb{0, 0, 0}));
  std::set<std::uint32_t> distinct;
  for (int i = 4; i < 256; ++i) distinct.insert(pal.colours[i].r << 16 | pal.colours[i].g << 8 | pal.colours[i].b);
  EXPECT_EQ(distinct.size(), 252u);

  // Packed with the reduced palette, plain and dithered, every pixel stays
  // near its source; dithering spreads a flat area over more entries.
  for (bool dither : {false, true}) {
    std::vector<std::string> args = {"sprites", dir / "many.png", dir / "many.spr", "--cell", "48x48",
                                     "--palette", dir / "many.pal"};
    if (dither) args.push_back("--dither");
    ASSERT_EQ(RunPack(args).status, 0);
    tools::Image unpacked = Unpack(dir, "many.spr", "many.pal");
    tools::Image many = ManyColours();
    int worst = 0;
    for (std::size_t i = 0; i < many.pixels.size(); ++i)
      worst = std::max(worst, std::abs(int(many.pixels[i]) - int(unpacked.pixels[i])));
    EXPECT_LE(worst, dither ? 40 : 24) << "dither " << dither;
  }
  EXPECT_EQ(RunPack({"palette", dir / "many.png", dir / "none.pal", "--reserve", "255"}).status, 1);
}

// An indexed picture whose palette is the game's in another order: mapped by
// colour it looks the same in the game; with --keep-indices it keeps its
// indices, draws in the game's colours, and the tool says so.
TEST(ToolsArtPalette, IndexedPicturesAreMappedByTheirColours) {
  ScratchDir dir;
  tools::Palette game = tools_test::CubePalette();
  tools_test::WriteBytes(dir / "game.pal", tools::BuildPalFile(game, tools::BlendMode::kMix));
  tools::Palette reversed;
  for (int i = 0; i < 256; ++i) reversed[i] = game[255 - i];
  ByteVector indices;
  for (int i = 0; i < 32; ++i) indices.push_back(std::uint8_t(i * 7));
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[0] = 0;
  SavePng(dir / "own.png", tools_test::IndexedImage(8, 4, indices, reversed, alpha));
  tools::Image source;
  std::string error;
  ASSERT_TRUE(tools::ReadPng(dir / "own.png", &source, &error));
  std::vector<std::uint32_t> want;
  for (std::uint8_t i : indices)
    want.push_back(alpha[i] ? std::uint32_t(reversed[i].r) << 24 | reversed[i].g << 16 | reversed[i].b << 8 | 0xff
                            : 0);

  auto mapped = RunPack({"sprites", dir / "own.png", dir / "own.spr", "--cell", "8x4", "--palette", dir / "game.pal"});
  ASSERT_EQ(mapped.status, 0) << mapped.err;
  EXPECT_EQ(mapped.err, "");
  ExpectSame(Unpack(dir, "own.spr", "game.pal"), 0, 0, tools_test::RgbaImage(8, 4, want), 0, 0, 8, 4, "by colour");

  auto kept = RunPack({"sprites", dir / "own.png", dir / "kept.spr", "--cell", "8x4", "--palette", dir / "game.pal",
                       "--keep-indices"});
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_TRUE(Contains(kept.err, "warning: " + dir / "own.png" + ": 31 of the colours the picture uses differ"))
      << kept.err;
  std::vector<std::uint32_t> as_game;
  for (std::uint8_t i : indices)
    as_game.push_back(alpha[i] ? std::uint32_t(game[i].r) << 24 | game[i].g << 16 | game[i].b << 8 | 0xff : 0);
  ExpectSame(Unpack(dir, "kept.spr", "game.pal"), 0, 0, tools_test::RgbaImage(8, 4, as_game), 0, 0, 8, 4, "kept");
}

}  // namespace
