// lunashot-pack palettes: the blend table against mixes worked out by hand
// (which pins the colour distance and its ties), and the palette sources.
#include "tools/palette.h"

#include <gtest/gtest.h>

#include "tests/unit/pack_fixture.h"

namespace {

using tools::Rgb;
using tools_test::ExpectFail;
using tools_test::Ok;
using tools_test::RunPack;
using tools_test::ScratchDir;

// Eight colours; the other 248 entries are the black padding.
tools::Palette TinyPalette() {
  tools::Palette p;
  p.fill(Rgb{0, 0, 0});
  const Rgb kEight[] = {{128, 0, 0},     {255, 255, 255}, {64, 64, 64}, {128, 128, 128},
                        {191, 191, 191}, {255, 0, 0},     {0, 0, 0},    {0, 0, 255}};
  std::copy(std::begin(kEight), std::end(kEight), p.begin());
  return p;
}

int Entry(const std::vector<std::uint8_t>& pal, int d, int s, int level) {
  return pal[768 + (d * 256 + s) * 3 + level];
}

TEST(ToolsBlendTable, MixesOrAddsTheSourceByQuarters) {
  std::vector<std::uint8_t> mix = tools::BuildPalFile(TinyPalette(), tools::BlendMode::kMix);
  std::vector<std::uint8_t> add = tools::BuildPalFile(TinyPalette(), tools::BlendMode::kAdditive);
  ASSERT_EQ(mix.size(), base::kPalFileBytes);
  ASSERT_EQ(add.size(), base::kPalFileBytes);
  EXPECT_EQ(std::vector<std::uint8_t>(mix.begin(), mix.begin() + 9),
            (std::vector<std::uint8_t>{128, 0, 0, 255, 255, 255, 64, 64, 64}));
  struct Case {
    bool additive;
    int d, s, level, want;
  };
  // clang-format off
  const Case cases[] = {
      // White over black: 64, 128, 191 grey; black over white the other way round.
      {false, 6, 1, 0, 2}, {false, 6, 1, 1, 3}, {false, 6, 1, 2, 4}, {false, 1, 6, 0, 4}, {false, 1, 6, 2, 2},
      // White over 128 grey: level 0 is 160 (nearer 191 than 128); level 2 is 223,
      // as far from 191 (index 4) as from 255 (index 1): the lower index wins.
      {false, 3, 1, 0, 4}, {false, 3, 1, 2, 1},
      // Red over black, level 0: (64, 0, 0) is as far from black as from
      // (128, 0, 0) in plain RGB, but the redmean weight favours black (index 6).
      {false, 6, 5, 0, 6}, {false, 6, 5, 1, 0},
      // A colour over itself, and the padding: black resolves to its first index.
      {false, 7, 7, 1, 7}, {false, 200, 100, 2, 6},
      // Additive: 128 grey plus white is 192, then 256 and 319 clamped to 255;
      // not symmetric: black plus anything is a quarter of it.
      {true, 6, 1, 0, 2}, {true, 6, 1, 2, 4}, {true, 3, 1, 0, 4}, {true, 3, 1, 1, 1}, {true, 3, 1, 2, 1}, {true, 1, 6, 0, 1},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(Entry(c.additive ? add : mix, c.d, c.s, c.level), c.want)
        << (c.additive ? "add " : "mix ") << c.d << " " << c.s << " " << c.level;
  EXPECT_EQ(tools::BlendColour({128, 128, 128}, {255, 255, 255}, 0, tools::BlendMode::kAdditive),
            (Rgb{192, 192, 192}));
  EXPECT_EQ(tools::BlendColour({10, 20, 30}, {2, 2, 2}, 0, tools::BlendMode::kMix),
            (Rgb{8, 16, 23}));
}

TEST(ToolsPaletteSource, ReadsGimpPalettes) {
  tools::Palette p;
  int colours = 0;
  std::string error;
  ASSERT_TRUE(
      tools::ParseGimpPalette("GIMP Palette\r\nName: test\r\nColumns: 4\r\n# comment\r\n\r\n"
                              "255   0  10\tRed thing\r\n  1 2 3\r\n",
                              "a.gpl", &p, &colours, &error))
      << error;
  EXPECT_EQ(colours, 2);
  EXPECT_TRUE(p[0] == (Rgb{255, 0, 10}) && p[1] == (Rgb{1, 2, 3}) && p[2] == (Rgb{0, 0, 0}) &&
              p[255] == (Rgb{0, 0, 0}));

  EXPECT_FALSE(tools::ParseGimpPalette("JASC-PAL\n0 0 0\n", "b.gpl", &p, &colours, &error));
  EXPECT_EQ(error, "b.gpl, line 1: not a GIMP palette (no \"GIMP Palette\" header)");
  EXPECT_FALSE(tools::ParseGimpPalette("GIMP Palette\n1 2 256\n", "c.gpl", &p, &colours, &error));
  EXPECT_EQ(error, "c.gpl, line 2: expected three numbers 0-255 (red green blue)");
  EXPECT_FALSE(tools::ParseGimpPalette("GIMP Palette\n1 2\n", "c.gpl", &p, &colours, &error));
  EXPECT_FALSE(tools::ParseGimpPalette("GIMP Palette\nName: x\n", "d.gpl", &p, &colours, &error));
  EXPECT_EQ(error, "d.gpl: the palette has no colours");
  std::string many = "GIMP Palette\n";
  for (int i = 0; i < 257; ++i) many += "1 1 1\n";
  EXPECT_FALSE(tools::ParseGimpPalette(many, "e.gpl", &p, &colours, &error));
  EXPECT_EQ(error, "e.gpl, line 258: more than 256 colours");
}

TEST(ToolsPaletteSource, TakesAnIndexedPngsPaletteOnly) {
  ScratchDir dir;
  tools::Palette sixteen;
  sixteen.fill(Rgb{0, 0, 0});
  for (int i = 0; i < 16; ++i) sixteen[i] = Rgb{std::uint8_t(i * 16), 1, 2};
  tools::Image indexed = tools_test::IndexedImage(2, 1, {0, 15}, sixteen);
  indexed.palette.resize(16);
  indexed.bit_depth = 4;
  tools_test::SavePng(dir / "p.png", indexed);
  tools_test::SavePng(dir / "rgb.png", tools_test::RgbaImage(1, 1, {0x102030ff}));
  dir.Write("junk.txt", {'h', 'e', 'l', 'l', 'o'});

  tools::Palette p;
  p.fill(Rgb{9, 9, 9});
  int colours = 0;
  std::string error;
  ASSERT_TRUE(tools::ReadPaletteSource(dir / "p.png", &p, &colours, &error)) << error;
  EXPECT_EQ(colours, 16);
  EXPECT_EQ(p[15], (Rgb{240, 1, 2}));
  EXPECT_EQ(p[16], (Rgb{0, 0, 0}));

  EXPECT_FALSE(tools::ReadPaletteSource(dir / "rgb.png", &p, &colours, &error));
  EXPECT_EQ(error, dir / "rgb.png" + ": not an indexed PNG, so it has no palette to take");
  EXPECT_FALSE(tools::ReadPaletteSource(dir / "junk.txt", &p, &colours, &error));
  EXPECT_EQ(error, dir / "junk.txt" + ": neither a PNG nor a GIMP palette (.gpl)");
}

TEST(ToolsPaletteCommand, WritesTheTableOfTheChosenMode) {
  ScratchDir dir;
  std::string gpl = "GIMP Palette\n";
  for (int i = 0; i < 8; ++i) {
    Rgb c = TinyPalette()[i];
    gpl += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
  }
  dir.Write("p.gpl", std::vector<std::uint8_t>(gpl.begin(), gpl.end()));

  auto mix = RunPack({"palette", dir / "p.gpl", dir / "mix.pal"});
  ASSERT_EQ(mix.status, 0) << mix.err;
  EXPECT_EQ(dir.Read("mix.pal"), tools::BuildPalFile(TinyPalette(), tools::BlendMode::kMix));
  auto add = RunPack({"palette", dir / "p.gpl", dir / "add.pal", "--additive"});
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(dir.Read("add.pal"), tools::BuildPalFile(TinyPalette(), tools::BlendMode::kAdditive));

  // An output name that is a link is replaced; what it points to is not written.
  dir.Write("target", {'k'});
  std::filesystem::create_symlink(dir / "target", dir / "link.pal");
  ASSERT_TRUE(Ok({"palette", dir / "p.gpl", dir / "link.pal"}));
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.pal"));
  EXPECT_EQ(dir.Read("target"), std::vector<std::uint8_t>{'k'});

  ExpectFail({"palette", dir / "missing.gpl", dir / "out.pal"}, 1, "missing.gpl: cannot open");
  EXPECT_EQ(dir.Files(),
            (std::vector<std::string>{"add.pal", "link.pal", "mix.pal", "p.gpl", "target"}));
}

}  // namespace
