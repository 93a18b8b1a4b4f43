// lunashot-pack palettes: the blend table against mixes worked out by hand
// (which pins the colour distance and its ties), and the palette sources.
#include "tools/palette.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "tests/unit/pack_fixture.h"

namespace {

using namespace tools_test;

// Eight colours; the other 248 entries are the black padding.
const tools::Palette kTiny = {Rgb{128, 0, 0},     Rgb{255, 255, 255}, Rgb{64, 64, 64},
                              Rgb{128, 128, 128}, Rgb{191, 191, 191}, Rgb{255, 0, 0},
                              Rgb{0, 0, 0},       Rgb{0, 0, 255}};

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

// A source is a .gpl file (any spacing, comments, CRLF) or an indexed PNG:
// its colours, the rest of the 256 black. The command writes a table.
TEST(ToolsPaletteCommand, ReadsGimpPalettesOrIndexedPngsAndWritesTheTable) {
  ScratchDir dir;
  ByteVector sixteen;  // 16 colours at 4 bits
  for (int i = 0; i < 16; ++i) sixteen.insert(sixteen.end(), {std::uint8_t(i * 16), 1, 2});
  dir.Write("p.png", RawPng(2, 1, 4, 3, sixteen, {0, 0x0f}));
  dir.Write("rgb.png", RawPng(1, 1, 8, 2, {}, {0, 16, 32, 48}));
  std::string many = "GIMP Palette\n";
  for (int i = 0; i < 257; ++i) many += "1 1 1\n";
  // Each source: the file, its text (none for a PNG), and the number of
  // colours with entries 0, the last given, the next and 255; or the error.
  // clang-format off
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"p.png", "", "16: 000102ff f00102ff 000000ff 000000ff"},
      {"a.gpl", "GIMP Palette\r\nName: test\r\nColumns: 4\r\n# comment\r\n\r\n255   0  10\tRed thing\r\n  1 2 3\r\n", "2: ff000aff 010203ff 000000ff 000000ff"},
      {"tiny.gpl", "GIMP Palette\n128 0 0\n255 255 255\n64 64 64\n128 128 128\n191 191 191\n255 0 0\n0 0 0\n0 0 255\n", "8: 800000ff 0000ffff 000000ff 000000ff"},
      {"rgb.png", "", "rgb.png: not an indexed PNG, so it has no palette to take"},
      {"junk.txt", "hello", "junk.txt: neither a PNG nor a GIMP palette (.gpl)"},
      {"b.gpl", "GIMP Palette\n1 2 256\n", "b.gpl, line 2: expected three numbers 0-255 (red green blue)"},
      {"c.gpl", "GIMP Palette\n1 2\n", "c.gpl, line 2: expected three numbers 0-255 (red green blue)"},
      {"d.gpl", "GIMP Palette\nName: x\n", "d.gpl: the palette has no colours"},
      {"e.gpl", many, "e.gpl, line 258: more than 256 colours"},
  };
  // clang-format on
  tools::Palette p;
  int n = 0;
  std::string error;
  for (const auto& [name, text, want] : cases) {
    if (!text.empty()) WriteText(dir, name, text);
    p.fill(Rgb{9, 9, 9});
    auto at = [&](int i) { return " " + Word(Rgba(p[i])); };
    bool read = tools::ReadPaletteSource(name, &p, &n, &error);
    EXPECT_EQ(read ? std::to_string(n) + ":" + at(0) + at(n - 1) + at(n) + at(255) : error, want);
  }
  // The parser on its own also checks the header.
  EXPECT_FALSE(tools::ParseGimpPalette("JASC-PAL\n0 0 0\n", "j.gpl", &p, &n, &error));
  EXPECT_EQ(error, "j.gpl, line 1: not a GIMP palette (no \"GIMP Palette\" header)");

  // The command writes the table of the chosen mode.
  ASSERT_TRUE(Ok({"palette", "tiny.gpl", "mix.pal"}));
  EXPECT_EQ(dir.Read("mix.pal"), tools::BuildPalFile(kTiny, tools::BlendMode::kMix));
  ASSERT_TRUE(Ok({"palette", "tiny.gpl", "add.pal", "--additive"}));
  EXPECT_EQ(dir.Read("add.pal"), tools::BuildPalFile(kTiny, tools::BlendMode::kAdditive));
  // An output name that is a link is replaced; what it points to is not written.
  dir.Write("target", {'k'});
  std::filesystem::create_symlink("target", "link.pal");
  ASSERT_TRUE(Ok({"palette", "tiny.gpl", "link.pal"}));
  EXPECT_FALSE(std::filesystem::is_symlink("link.pal"));
  EXPECT_EQ(dir.Read("target"), ByteVector{'k'});
  ExpectFail({"palette", "missing.gpl", "out.pal"}, 1, "missing.gpl: cannot open");
  EXPECT_EQ(dir.Files(),
            (Strings{"a.gpl", "add.pal", "b.gpl", "c.gpl", "d.gpl", "e.gpl", "junk.txt", "link.pal",
                     "mix.pal", "p.png", "rgb.png", "target", "tiny.gpl"}));
}

}  // namespace
