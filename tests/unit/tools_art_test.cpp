// lunashot-pack on art as people make it: true-colour pictures of any number
// of colours, indexed pictures with palettes of their own, key colours,
// irregular sheets, Aseprite exports and strip fonts. Every check packs, then
// unpacks, and compares the picture with its source pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "base/pal_file.h"
#include "base/sprite_file.h"
#include "tests/unit/pack_fixture.h"
#include "tests/unit/lua_fixture.h"

namespace {

using tools::Rgb;
using tools_test::ExpectFail;
using tools_test::Ok;
using tools_test::RunPack;
using tools_test::SavePng;
using tools_test::ScratchDir;
using ByteVector = std::vector<std::uint8_t>;

using tools_test::Contains;

// The set unpacked into one RGBA picture, `columns` sprites across.
tools::Image Unpack(const ScratchDir& dir, const std::string& set, const std::string& pal,
                    int columns = 16) {
  auto run = RunPack({"unpack", dir / set, "-o", dir / "unpacked.png", "--palette", dir / pal,
                      "--columns", std::to_string(columns)});
  EXPECT_EQ(run.status, 0) << run.err;
  tools::Image image;
  std::string error;
  EXPECT_TRUE(tools::ReadPng(dir / "unpacked.png", &image, &error)) << error;
  return image;
}

std::uint32_t PixelAt(const tools::Image& image, int x, int y) {
  const std::uint8_t* p = &image.pixels[(std::size_t(y) * image.width + x) * 4];
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// Expects the picture's region at (ux, uy) to show `source`'s region at
// (sx, sy) of w x h: same RGB where opaque, alpha 0 where transparent.
void ExpectSame(const tools::Image& unpacked, int ux, int uy, const tools::Image& source, int sx,
                int sy, int w, int h, const std::string& label) {
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t got = PixelAt(unpacked, ux + x, uy + y), want = PixelAt(source, sx + x, sy + y);
      bool same = (want & 0xff) == 0 ? (got & 0xff) == 0 : got == want;
      if (!same && wrong++ < 3)
        ADD_FAILURE() << label << ": pixel (" << x << ", " << y << ") is " << std::hex << got
                      << ", source " << want;
    }
}

// 48 x 48 pixels of 2304 different colours.
tools::Image ManyColours() {
  std::vector<std::uint32_t> rgba;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      rgba.push_back(std::uint32_t(x * 5) << 24 | std::uint32_t(y * 5) << 16 | 0x40ff);
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
  dir.Write("fixed.gpl", ByteVector(gpl.begin(), gpl.end()));

  auto exact = RunPack({"palette", dir / "few.png", dir / "few.pal"});
  EXPECT_TRUE(Contains(exact.out, "14 colours, exact")) << exact.out;
  ASSERT_TRUE(Ok({"sprites", dir / "few.png", dir / "few.spr", "--cell", "6x4", "--palette",
                  dir / "few.pal"}));
  tools::Image round = Unpack(dir, "few.spr", "few.pal");
  // Half alpha comes back as the blended level's 128.
  tools::Image source = tools_test::RgbaImage(6, 4, few);
  source.pixels[3 * 4 + 3] = 128;
  ExpectSame(round, 0, 0, source, 0, 0, 6, 4, "exact palette");

  auto reduced = RunPack({"palette", dir / "many.png", dir / "few.png", dir / "many.pal", "--fixed",
                          dir / "fixed.gpl", "--reserve", "4"});
  EXPECT_TRUE(Contains(
      reduced.out, "entries 0-3 kept (2 fixed), 2318 colours reduced to 252 (mean square error "))
      << reduced.out;
  base::PalFile pal;
  std::string error;
  ASSERT_TRUE(base::ReadPalFile(dir / "many.pal", &pal, &error)) << error;
  EXPECT_TRUE((pal.colours[0] == Rgb{255, 0, 255}) && (pal.colours[1] == Rgb{1, 2, 3}) &&
              (pal.colours[2] == Rgb{0, 0, 0}) && (pal.colours[3] == Rgb{0, 0, 0}));
  std::set<std::uint32_t> distinct;
  for (int i = 4; i < 256; ++i)
    distinct.insert(pal.colours[i].r << 16 | pal.colours[i].g << 8 | pal.colours[i].b);
  EXPECT_EQ(distinct.size(), 252u);

  // Packed with the reduced palette, plain and dithered, every pixel stays
  // near its source; dithering spreads a flat area over more entries.
  for (bool dither : {false, true}) {
    std::vector<std::string> args = {"sprites", dir / "many.png", dir / "many.spr", "--cell",
                                     "48x48",   "--palette",      dir / "many.pal"};
    if (dither) args.push_back("--dither");
    ASSERT_EQ(RunPack(args).status, 0);
    tools::Image unpacked = Unpack(dir, "many.spr", "many.pal");
    tools::Image many = ManyColours();
    int worst = 0;
    for (std::size_t i = 0; i < many.pixels.size(); ++i)
      worst = std::max(worst, std::abs(int(many.pixels[i]) - int(unpacked.pixels[i])));
    EXPECT_LE(worst, dither ? 40 : 24) << "dither " << dither;
  }
  ExpectFail({"palette", dir / "many.png", dir / "none.pal", "--reserve", "255"}, 1, "");
}

// An indexed picture whose palette is the game's in another order: mapped by
// colour it looks the same in the game; with --keep-indices it keeps its
// indices, draws in the game's colours, and the tool says so.
TEST(ToolsArtPalette, IndexedPicturesAreMappedByTheirColours) {
  ScratchDir dir;
  tools::Palette game = tools_test::CubePalette();
  dir.Write("game.pal", tools::BuildPalFile(game, tools::BlendMode::kMix));
  tools::Palette reversed;
  for (int i = 0; i < 256; ++i) reversed[i] = game[255 - i];
  ByteVector indices;
  for (int i = 0; i < 32; ++i) indices.push_back(std::uint8_t(i * 7));
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[0] = 0;
  SavePng(dir / "own.png", tools_test::IndexedImage(8, 4, indices, reversed, alpha));
  // The picture the indices make in `palette`'s colours.
  auto drawn = [&](const tools::Palette& palette) {
    std::vector<std::uint32_t> rgba;
    for (std::uint8_t i : indices)
      rgba.push_back(alpha[i] ? std::uint32_t(palette[i].r) << 24 | palette[i].g << 16 |
                                    palette[i].b << 8 | 0xff
                              : 0);
    return tools_test::RgbaImage(8, 4, rgba);
  };

  auto mapped = RunPack({"sprites", dir / "own.png", dir / "own.spr", "--cell", "8x4", "--palette",
                         dir / "game.pal"});
  ASSERT_EQ(mapped.status, 0) << mapped.err;
  EXPECT_EQ(mapped.err, "");  // every colour is the game's, at another index
  ExpectSame(Unpack(dir, "own.spr", "game.pal"), 0, 0, drawn(reversed), 0, 0, 8, 4, "by colour");

  auto kept = RunPack({"sprites", dir / "own.png", dir / "kept.spr", "--cell", "8x4", "--palette",
                       dir / "game.pal", "--keep-indices"});
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_TRUE(Contains(
      kept.err, "warning: " + dir / "own.png" + ": 31 of the colours the picture uses differ"))
      << kept.err;
  ExpectSame(Unpack(dir, "kept.spr", "game.pal"), 0, 0, drawn(game), 0, 0, 8, 4, "kept");
  // A colour the game does not have is mapped, and the tool says so.
  reversed[7] = Rgb{1, 2, 250};
  SavePng(dir / "odd.png", tools_test::IndexedImage(8, 4, indices, reversed, alpha));
  auto odd = RunPack({"sprites", dir / "odd.png", dir / "odd.spr", "--cell", "8x4", "--palette",
                      dir / "game.pal"});
  ASSERT_EQ(odd.status, 0) << odd.err;
  EXPECT_TRUE(Contains(odd.err, "odd.png: 1 of the colours the picture uses are not in the game"))
      << odd.err;
}

// A 3 x 2 grid of 4 x 3 cells with a 2-pixel margin and 1-pixel grid lines,
// on magenta: the cells show colours from the cube palette, the last one a
// single black pixel at (3, 2).
tools::Image KeyedSheet() {
  std::vector<std::uint32_t> rgba(18 * 11, 0xff00ffff);
  tools::Palette cube = tools_test::CubePalette();
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 18; ++x) {
      int cx = x - 2, cy = y - 2;
      if (cx < 0 || cy < 0 || cx >= 14 || cy >= 7) continue;
      bool line = cx % 5 == 4 || cy % 4 == 3;
      Rgb c = cube[(x * 37 + y * 11) & 0xff];
      if (line)
        rgba[y * 18 + x] = 0xffffffff;
      else if (cx / 5 == 2 && cy / 4 == 1)
        rgba[y * 18 + x] = cx % 5 == 3 && cy % 4 == 2 ? 0x000000ff : 0xff00ffff;
      else if ((x + y) % 3)
        rgba[y * 18 + x] = std::uint32_t(c.r) << 24 | c.g << 16 | c.b << 8 | 0xff;
    }
  return tools_test::RgbaImage(18, 11, rgba);
}

TEST(ToolsArtSheets, KeyColourMarginAndSpacingCutTheCellsTheArtistDrew) {
  ScratchDir dir;
  tools::Palette cube = tools_test::CubePalette();
  dir.Write("cube.pal", tools::BuildPalFile(cube, tools::BlendMode::kMix));
  tools::Image sheet = KeyedSheet();
  SavePng(dir / "rgb.png", sheet);
  // The same sheet indexed: magenta is cube entry 0xe3.
  ByteVector indices;
  tools::NearestColour nearest(cube);
  for (std::size_t i = 0; i < sheet.pixels.size(); i += 4)
    indices.push_back(nearest.Find({sheet.pixels[i], sheet.pixels[i + 1], sheet.pixels[i + 2]}));
  SavePng(dir / "indexed.png", tools_test::IndexedImage(18, 11, indices, cube));
  tools::Image keyed = sheet;  // what the cells should become: magenta transparent
  for (std::size_t i = 0; i < keyed.pixels.size(); i += 4)
    if (keyed.pixels[i] == 0xff && keyed.pixels[i + 1] == 0 && keyed.pixels[i + 2] == 0xff)
      keyed.pixels[i + 3] = 0;

  for (const char* source : {"rgb.png", "indexed.png"})
    for (const char* key : {"ff00ff", "auto"}) {
      std::string label = std::string(source) + " --key " + key;
      auto run = RunPack({"sprites", dir / source, dir / "cells.spr", "--cell", "4x3", "--margin",
                          "2", "--spacing", "1", "--key", key, "--palette", dir / "cube.pal"});
      ASSERT_EQ(run.status, 0) << label << run.err;
      tools::Image unpacked = Unpack(dir, "cells.spr", "cube.pal", 3);
      ASSERT_EQ(unpacked.width, 12) << label;
      for (int cell = 0; cell < 6; ++cell)
        ExpectSame(unpacked, cell % 3 * 4, cell / 3 * 3, keyed, 2 + cell % 3 * 5, 2 + cell / 3 * 4,
                   4, 3, label + " cell " + std::to_string(cell));
    }

  // Trimmed, each sprite is its visible box and says where it was.
  auto trim =
      RunPack({"sprites", dir / "rgb.png", dir / "trim.spr", "--cell", "4x3", "--margin", "2",
               "--spacing", "1", "--key", "auto", "--palette", dir / "cube.pal", "--trim"});
  ASSERT_EQ(trim.status, 0) << trim.err;
  EXPECT_TRUE(Contains(
      trim.out, "sprite 0: 4x3 from (0, 0) of its cell; the cell's centre is its hotspot (2, 1)"))
      << trim.out;
  EXPECT_TRUE(Contains(
      trim.out, "sprite 5: 1x1 from (3, 2) of its cell; the cell's centre is its hotspot (-1, -1)"))
      << trim.out;

  ExpectFail({"sprites", dir / "rgb.png", dir / "x.spr", "--cell", "4x3", "--spacing", "1"}, 1,
             "rgb.png: the 18x11 sheet is not a whole number of 4x3 cells, spacing 1");
}

// An export as Aseprite writes it: four 5 x 4 frames side by side, the third
// trimmed to 3 x 2, two tags and a pivot.
std::string AsepriteJson(bool hash) {
  std::string frames;
  const char* rects[] = {R"({"x":0,"y":0,"w":5,"h":4})", R"({"x":5,"y":0,"w":5,"h":4})",
                         R"({"x":10,"y":0,"w":3,"h":2})", R"({"x":15,"y":0,"w":5,"h":4})"};
  const char* source[] = {"0,\"y\":0", "0,\"y\":0", "1,\"y\":1", "0,\"y\":0"};
  int durations[] = {100, 100, 50, 50};
  for (int i = 0; i < 4; ++i) {
    frames += i ? ",\n" : "";
    if (hash) frames += "\"walk " + std::to_string(i) + ".aseprite\": ";
    frames += std::string("{\"frame\": ") + rects[i] +
              ", \"rotated\": false, \"trimmed\": " + (i == 2 ? "true" : "false") +
              ", \"spriteSourceSize\": {\"x\":" + source[i] +
              ",\"w\":5,\"h\":4}, \"sourceSize\": {\"w\":5,\"h\":4}, \"duration\": " +
              std::to_string(durations[i]) + "}";
  }
  return std::string("{ \"frames\": ") + (hash ? "{" : "[") + frames + (hash ? "}" : "]") +
         R"(,
 "meta": {"app": "https://www.aseprite.org/", "version": "1.3", "image": "walk.png", "format": "RGBA8888",
  "size": {"w": 20, "h": 4}, "scale": "1",
  "frameTags": [{"name": "walk", "from": 0, "to": 1, "direction": "forward", "color": "#000000ff"},
                {"name": "hit", "from": 2, "to": 3, "direction": "reverse", "repeat": "1"}],
  "layers": [{"name": "Layer 1", "opacity": 255, "blendMode": "normal"}],
  "slices": [{"name": "feet", "color": "#0000ffff",
              "keys": [{"frame": 0, "bounds": {"x": 0, "y": 0, "w": 5, "h": 4}, "pivot": {"x": 2, "y": 3}}]}]
 }
})";
}

class ToolsArtAseprite : public test_support::LuaFixture {};

TEST_F(ToolsArtAseprite, FramesTagsAndPivotBecomeSpritesAndAnimations) {
  ScratchDir dir;
  tools::Palette cube = tools_test::CubePalette();
  dir.Write("cube.pal", tools::BuildPalFile(cube, tools::BlendMode::kMix));
  std::vector<std::uint32_t> rgba(20 * 4, 0);
  for (int i = 0; i < 80; ++i)
    if (i % 20 < 13 || i % 20 >= 15) {
      Rgb c = cube[(i * 29) & 0xff];
      if (i % 7) rgba[i] = std::uint32_t(c.r) << 24 | c.g << 16 | c.b << 8 | 0xff;
    }
  for (int i : {12, 32, 52, 53, 54, 72, 73, 74}) rgba[i] = 0;  // outside the trimmed frame 2
  tools::Image sheet = tools_test::RgbaImage(20, 4, rgba);
  SavePng(dir / "walk.png", sheet);

  for (bool hash : {false, true}) {
    std::string json = AsepriteJson(hash);
    dir.Write("walk.json", ByteVector(json.begin(), json.end()));
    auto run = RunPack({"sprites", dir / "walk.png", dir / "walk.spr", "--aseprite",
                        dir / "walk.json", "--palette", dir / "cube.pal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "walk.lua: 2 animations, hotspot (2, 3)")) << run.out;
    tools::Image unpacked = Unpack(dir, "walk.spr", "cube.pal");
    ASSERT_EQ(unpacked.width, 20);
    for (int f : {0, 1, 3})
      ExpectSame(unpacked, f * 5, 0, sheet, f * 5, 0, 5, 4, "frame " + std::to_string(f));
    // The trimmed frame is back at (1, 1) of its 5 x 4 frame.
    ExpectSame(unpacked, 11, 1, sheet, 10, 0, 3, 2, "trimmed frame");
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        if (x < 1 || x > 3 || y < 1 || y > 2)
          EXPECT_EQ(PixelAt(unpacked, 10 + x, y) & 0xff, 0u) << x << "," << y;

    ByteVector lua = dir.Read("walk.lua");
    std::string script(lua.begin(), lua.end());
    for (const char* line :
         {"kind:SetAnimSize(2)\n", "kind:SetAnim(0, 0, 1, 5, true)  -- walk\n",
          "kind:SetAnim(1, 3, 2, 2, false)  -- hit\n", "kind.cx = 2\nkind.cy = 3\n",
          "hotspots = {[0] = {2, 3}, {2, 3}, {2, 3}, {2, 3}}\n"})
      EXPECT_TRUE(Contains(script, line)) << line << "\n" << script;
    EXPECT_EQ(Run("kind = NewObject()\n" + script +
                  "assert(kind.cx == 2 and kind.cy == 3 and #hotspots == 3)"),
              "");
  }

  struct Case {
    std::string json;
    std::string message;
  };
  std::vector<Case> cases = {
      {"{\"frames\": [}", "walk.json: line 1: expected a value"},
      {"{\"frames\": []}", "walk.json: the export has no frames"},
      {"[1, 2]", "walk.json: not an Aseprite export"},
      {R"({"frames": [{"frame": {"x": 18, "y": 0, "w": 5, "h": 4}}]})",
       "walk.json: frame 0: 5x4 at (18, 0) reaches outside the 20x4 sheet"},
      {R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 5, "h": 4}}], "meta": {"frameTags": [{"from": 0, "to": 3}]}})",
       "walk.json: frame tag 0: \"to\" must be a whole number from 0 to 0"},
      {std::string(100, '[') + std::string(100, ']'),
       "walk.json: line 1: nested more than 64 deep"},
  };
  for (const Case& c : cases) {
    dir.Write("walk.json", ByteVector(c.json.begin(), c.json.end()));
    auto run = RunPack({"sprites", dir / "walk.png", dir / "bad.spr", "--aseprite",
                        dir / "walk.json", "--palette", dir / "cube.pal"});
    EXPECT_EQ(run.status, 1) << c.json;
    EXPECT_TRUE(Contains(run.err, c.message)) << c.message << "\n" << run.err;
  }
}

// A font sheet in the order the artist chose, and a strip font whose glyphs
// are divided by columns of a separator colour.
TEST(ToolsArtFont, CharsOrderAndStripFonts) {
  ScratchDir dir;
  tools::Palette cube = tools_test::CubePalette();
  dir.Write("cube.pal", tools::BuildPalFile(cube, tools::BlendMode::kMix));
  // Strip: separator (red) | 2 columns | red | 3 columns | red | 1 column | red.
  const std::uint32_t s = 0xff0000ff, o = 0x00ff00ff, t = 0;
  std::vector<std::uint32_t> strip = {s, o, t, s, o, o, o, s, t, s,  //
                                      s, t, o, s, o, t, o, s, o, s};
  SavePng(dir / "strip.png", tools_test::RgbaImage(10, 2, strip));
  ASSERT_TRUE(Ok({"font", dir / "strip.png", dir / "strip.spr", "--separator", "auto", "--chars",
                  "iMj", "--palette", dir / "cube.pal"}));
  // Glyphs in the game font: trimmed plus a spacing column, side by side.
  ASSERT_TRUE(Ok({"font", dir / "strip.png", dir / "hex.spr", "--separator", "#FF0000", "--chars",
                  "iMj", "--palette", dir / "cube.pal"}));
  EXPECT_EQ(dir.Read("hex.spr"), dir.Read("strip.spr"));

  std::vector<std::uint32_t> i = {o, t, t, t, o, t}, m = {o, o, o, t, o, t, o, t}, j = {t, t, o, t};
  struct Glyph {
    int byte, width;
    std::vector<std::uint32_t> pixels;
  };
  for (const Glyph& g : std::vector<Glyph>{{'i', 3, i}, {'M', 4, m}, {'j', 2, j}}) {
    ByteVector bytes = dir.Read("strip.spr");
    std::vector<base::SpriteView> views;
    std::string error;
    ASSERT_TRUE(base::DecodeSpriteSet(bytes.data(), bytes.size(), &views, &error)) << error;
    base::PixelImage glyph = base::DecodeSprite(views[g.byte]);
    ASSERT_EQ(glyph.width, g.width) << char(g.byte);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < g.width; ++x)
        EXPECT_EQ(glyph.at(x, y).kind == base::Pixel::kOpaque, g.pixels[y * g.width + x] != 0)
            << char(g.byte) << " " << x << "," << y;
  }
  ExpectFail({"font", dir / "strip.png", dir / "x.spr", "--separator", "auto", "--chars", "aba"}, 2,
             "--chars: 'a' is given twice");
  ExpectFail({"font", dir / "strip.png", dir / "x.spr", "--separator", "auto", "--chars", "abcd",
              "--palette", dir / "cube.pal"},
             1, "--chars names 4 characters but the sheet has only 3 glyphs");
}

}  // namespace
