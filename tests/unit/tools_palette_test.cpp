// lunashot-pack palettes: the blend table against mixes worked out by hand
// (which pins the colour distance and its ties), and the palette sources.
#include "tools/palette.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/unit/pack_fixture.h"

namespace {

using namespace tools_test;

// Eight colours; the other 248 entries are the black padding.
// clang-format off
const tools::Palette kTiny = {{{128, 0, 0}, {255, 255, 255}, {64, 64, 64}, {128, 128, 128},
                               {191, 191, 191}, {255, 0, 0}, {0, 0, 0}, {0, 0, 255}}};
// clang-format on

TEST(ToolsBlendTable, MixesOrAddsTheSourceByQuarters) {
  ByteVector mix = tools::BuildPalFile(kTiny, tools::BlendMode::kMix);
  ByteVector add = tools::BuildPalFile(kTiny, tools::BlendMode::kAdditive);
  ASSERT_TRUE(mix.size() == base::kPalFileBytes && add.size() == base::kPalFileBytes);
  EXPECT_EQ(ByteVector(mix.begin(), mix.begin() + 9), Hex("800000 ffffff 404040"));
  // Each row: additive, destination, source, level, the entry it gives.
  // clang-format off
  const std::array<int, 5> cases[] = {
      // White over black: 64, 128, 191 grey; black over white the other way round.
      {0, 6, 1, 0, 2}, {0, 6, 1, 1, 3}, {0, 6, 1, 2, 4}, {0, 1, 6, 0, 4}, {0, 1, 6, 2, 2},
      // White over 128 grey: level 0 is 160 (nearer 191 than 128); level 2 is 223,
      // as far from 191 (index 4) as from 255 (index 1): the lower index wins.
      {0, 3, 1, 0, 4}, {0, 3, 1, 2, 1},
      // Red over black, level 0: (64, 0, 0) is as far from black as from
      // (128, 0, 0) in plain RGB, but the redmean weight favours black (index 6).
      {0, 6, 5, 0, 6}, {0, 6, 5, 1, 0},
      // A colour over itself, and the padding: black resolves to its first index.
      {0, 7, 7, 1, 7}, {0, 200, 100, 2, 6},
      // Additive: 128 grey plus white is 192, then 256 and 319 clamped to 255;
      // not symmetric: black plus anything is a quarter of it.
      {1, 6, 1, 0, 2}, {1, 6, 1, 2, 4}, {1, 3, 1, 0, 4}, {1, 3, 1, 1, 1}, {1, 3, 1, 2, 1}, {1, 1, 6, 0, 1},
  };
  // clang-format on
  for (auto [additive, d, s, level, want] : cases)
    EXPECT_EQ((additive ? add : mix)[768 + (d * 256 + s) * 3 + level], want)
        << (additive ? "add " : "mix ") << d << " " << s << " " << level;
  EXPECT_EQ(tools::BlendColour({128, 128, 128}, {255, 255, 255}, 0, tools::BlendMode::kAdditive),
            (Rgb{192, 192, 192}));
  EXPECT_EQ(tools::BlendColour({10, 20, 30}, {2, 2, 2}, 0, tools::BlendMode::kMix),
            (Rgb{8, 16, 23}));
}

TEST(ToolsPaletteSource, ReadsGimpPalettesAndIndexedPngs) {
  tools::Palette p;
  p.fill(Rgb{9, 9, 9});
  int colours = 0;
  std::string error, many = "GIMP Palette\n";
  ASSERT_TRUE(
      tools::ParseGimpPalette("GIMP Palette\r\nName: test\r\nColumns: 4\r\n# comment\r\n\r\n"
                              "255   0  10\tRed thing\r\n  1 2 3\r\n",
                              "a.gpl", &p, &colours, &error))
      << error;
  EXPECT_EQ(colours, 2);
  EXPECT_TRUE(p[0] == (Rgb{255, 0, 10}) && p[1] == (Rgb{1, 2, 3}) && p[2] == (Rgb{0, 0, 0}) &&
              p[255] == (Rgb{0, 0, 0}));
  for (int i = 0; i < 257; ++i) many += "1 1 1\n";
  const std::pair<std::string, std::string> bad[] = {
      {"JASC-PAL\n0 0 0\n", ", line 1: not a GIMP palette (no \"GIMP Palette\" header)"},
      {"GIMP Palette\n1 2 256\n", ", line 2: expected three numbers 0-255 (red green blue)"},
      {"GIMP Palette\n1 2\n", ", line 2: expected three numbers 0-255 (red green blue)"},
      {"GIMP Palette\nName: x\n", ": the palette has no colours"},
      {many, ", line 258: more than 256 colours"},
  };
  for (const auto& [text, message] : bad) {
    EXPECT_FALSE(tools::ParseGimpPalette(text, "b.gpl", &p, &colours, &error));
    EXPECT_EQ(error, "b.gpl" + message);
  }

  // Of a PNG, only an indexed one's palette: here 16 colours at 4 bits.
  ScratchDir dir;
  ByteVector sixteen;
  for (int i = 0; i < 16; ++i) sixteen.insert(sixteen.end(), {std::uint8_t(i * 16), 1, 2});
  dir.Write("p.png", RawPng(2, 1, 4, 3, sixteen, {0, 0x0f}));
  SavePng(dir / "rgb.png", RgbaImage(1, 1, {0x102030ff}));
  WriteText(dir, "junk.txt", "hello");
  p.fill(Rgb{9, 9, 9});
  ASSERT_TRUE(tools::ReadPaletteSource(dir / "p.png", &p, &colours, &error)) << error;
  EXPECT_EQ(colours, 16);
  EXPECT_TRUE(p[15] == (Rgb{240, 1, 2}) && p[16] == (Rgb{0, 0, 0}));
  EXPECT_FALSE(tools::ReadPaletteSource(dir / "rgb.png", &p, &colours, &error));
  EXPECT_EQ(error, dir / "rgb.png" + ": not an indexed PNG, so it has no palette to take");
  EXPECT_FALSE(tools::ReadPaletteSource(dir / "junk.txt", &p, &colours, &error));
  EXPECT_EQ(error, dir / "junk.txt" + ": neither a PNG nor a GIMP palette (.gpl)");
}

TEST(ToolsPaletteCommand, WritesTheTableOfTheChosenMode) {
  ScratchDir dir;
  WriteText(dir, "p.gpl",
            "GIMP Palette\n128 0 0\n255 255 255\n64 64 64\n128 128 128\n191 191 191\n"
            "255 0 0\n0 0 0\n0 0 255\n");
  ASSERT_TRUE(Ok({"palette", dir / "p.gpl", dir / "mix.pal"}));
  EXPECT_EQ(dir.Read("mix.pal"), tools::BuildPalFile(kTiny, tools::BlendMode::kMix));
  ASSERT_TRUE(Ok({"palette", dir / "p.gpl", dir / "add.pal", "--additive"}));
  EXPECT_EQ(dir.Read("add.pal"), tools::BuildPalFile(kTiny, tools::BlendMode::kAdditive));

  // An output name that is a link is replaced; what it points to is not written.
  dir.Write("target", {'k'});
  std::filesystem::create_symlink(dir / "target", dir / "link.pal");
  ASSERT_TRUE(Ok({"palette", dir / "p.gpl", dir / "link.pal"}));
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.pal"));
  EXPECT_EQ(dir.Read("target"), ByteVector{'k'});

  ExpectFail({"palette", dir / "missing.gpl", dir / "out.pal"}, 1, "missing.gpl: cannot open");
  EXPECT_EQ(dir.Files(), (Strings{"add.pal", "link.pal", "mix.pal", "p.gpl", "target"}));
}

}  // namespace
