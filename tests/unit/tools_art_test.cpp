// lunashot-pack on art as people make it: true-colour pictures of any number
// of colours, indexed pictures with palettes of their own, key colours,
// irregular sheets and Aseprite exports. Every check packs, then unpacks,
// and compares the picture with its source pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "base/gif_file.h"
#include "base/sound_file.h"
#include "tests/unit/lua_fixture.h"
#include "tests/unit/pack_fixture.h"
#include "tools/aseprite.h"
#include "tools/json.h"

// The test's JPEG, BMP and TGA files come from stb's writer (tests only).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

using namespace tools_test;

// The set unpacked into one RGBA picture, `columns` sprites across.
tools::Image Unpack(const std::string& set, const std::string& pal, int columns = 16) {
  EXPECT_TRUE(Ok({"unpack", set, "-o", "unpacked.png", "--palette", pal, "--columns",
                  std::to_string(columns)}));
  return LoadPng("unpacked.png");
}

TEST(ToolsArtPalette, PicturesGiveExactOrReducedPalettesOrMapByColour) {
  ScratchDir dir;
  std::vector<std::uint32_t> rgba;  // 48 x 48 pixels of 2304 different colours
  for (int i = 0; i < 48 * 48; ++i)
    rgba.push_back(std::uint32_t(i % 48 * 5) << 24 | std::uint32_t(i / 48 * 5) << 16 | 0x40ff);
  tools::Image many = RgbaImage(48, 48, rgba);
  SavePng("many.png", many);
  // 12 colours, an opaque and a half-transparent one among transparency.
  std::vector<std::uint32_t> few;
  for (int i = 0; i < 24; ++i) few.push_back(i % 2 ? 0 : std::uint32_t(i * 10) << 24 | 0x3000ff);
  few[1] = 0x112233ff, few[3] = 0x44556680;
  SavePng("few.png", RgbaImage(6, 4, few));
  WriteText(dir, "fixed.gpl", "GIMP Palette\n255 0 255\n1 2 3\n");

  EXPECT_TRUE(Has(RunPack({"palette", "few.png", "few.pal"}).out, "14 colours, exact"));
  ASSERT_TRUE(Ok({"sprites", "few.png", "few.spr", "--cell", "6x4", "--palette", "few.pal"}));
  // Half alpha comes back as the blended level's 128.
  EXPECT_EQ(ShowRgba(Unpack("few.spr", "few.pal")), ShowRgba(RgbaImage(6, 4, few)));

  auto reduced = RunPack(
      {"palette", "many.png", "few.png", "many.pal", "--fixed", "fixed.gpl", "--reserve", "4"});
  EXPECT_TRUE(Has(reduced.out,
                  "entries 0-3 kept (2 fixed), 2318 colours reduced to 252 (mean square error "));
  ByteVector pal = dir.Read("many.pal");  // the colours first, 3 bytes each
  EXPECT_EQ(ByteVector(pal.begin(), pal.begin() + 12), Hex("ff00ff 010203 000000 000000"));
  std::set<ByteVector> distinct;
  for (int i = 4; i < 256; ++i) distinct.insert(ByteVector(&pal[i * 3], &pal[i * 3 + 3]));
  EXPECT_EQ(distinct.size(), 252u);
  // Packed with the reduced palette, plain and dithered, every pixel stays near its source.
  for (bool dither : {false, true}) {
    Strings args = {"sprites", "many.png", "many.spr", "--cell", "48x48", "--palette", "many.pal"};
    if (dither) args.push_back("--dither");
    ASSERT_TRUE(Ok(args));
    tools::Image unpacked = Unpack("many.spr", "many.pal");
    int worst = 0;
    for (std::size_t i = 0; i < many.pixels.size(); ++i)
      worst = std::max(worst, std::abs(int(many.pixels[i]) - int(unpacked.pixels[i])));
    EXPECT_LE(worst, dither ? 40 : 24) << "dither " << dither;
  }
  ExpectFail({"palette", "many.png", "none.pal", "--reserve", "255"}, 1, "none.pal: no room left");
  // Every 24-bit colour once, 4096 x 4096, each row stored as differences
  // from the pixel before (filter 1): boxed before the quantiser, so it fits
  // in well under 600 MB more than this process.
  ByteVector rows;
  rows.reserve(4096 * (1 + 4096 * 3));
  for (int y = 0; y < 4096; ++y) {
    rows.insert(rows.end(), {1, std::uint8_t(y >> 4), std::uint8_t(y << 4), 0});
    for (int x = 1; x < 4096; ++x) rows.insert(rows.end(), {0, std::uint8_t(x % 256 == 0), 1});
  }
  dir.Write("all.png", RawPng(4096, 4096, 8, 2, {}, rows));
  auto all = RunPackLimited({"palette", "all.png", "all.pal"}, std::size_t{600} << 20);
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(Has(all.out, "16777216 colours reduced to 256"));

  // An indexed picture whose palette is the game's in another order: mapped
  // by colour it looks the same in the game; with --keep-indices it keeps its
  // indices, draws in the game's colours, and the tool says so.
  tools::Palette game = CubePalette(), reversed;
  SavePal(dir, game, "game.pal");
  for (int i = 0; i < 256; ++i) reversed[i] = game[255 - i];
  ByteVector indices, alpha(256, 255);
  for (int i = 0; i < 32; ++i) indices.push_back(std::uint8_t(i * 7));
  alpha[0] = 0;
  SavePng("own.png", IndexedImage(8, 4, indices, reversed, alpha));
  // The picture the indices make in `palette`'s colours.
  auto drawn = [&](const tools::Palette& palette) {
    std::vector<std::uint32_t> rgba;
    for (std::uint8_t i : indices) rgba.push_back(alpha[i] ? Rgba(palette[i]) : 0);
    return ShowRgba(RgbaImage(8, 4, rgba));
  };
  // Packs the picture and gives the warnings.
  auto pack = [&](const std::string& png, Strings options = {}) {
    options.insert(options.begin(),
                   {"sprites", png, "-o", "out.spr", "--cell", "8x4", "--palette", "game.pal"});
    RunResult run = RunPack(options);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.err;
  };

  EXPECT_EQ(pack("own.png"), "");  // every colour is the game's, at another index
  EXPECT_EQ(ShowRgba(Unpack("out.spr", "game.pal")), drawn(reversed));
  EXPECT_TRUE(Has(pack("own.png", {"--keep-indices"}),
                  "warning: own.png: 31 of the colours the picture uses differ"));
  EXPECT_EQ(ShowRgba(Unpack("out.spr", "game.pal")), drawn(game));
  // A colour the game does not have is mapped, and the tool says so.
  reversed[7] = Rgb{1, 2, 250};
  SavePng("odd.png", IndexedImage(8, 4, indices, reversed, alpha));
  EXPECT_TRUE(
      Has(pack("odd.png"), "odd.png: 1 of the colours the picture uses are not in the game"));
}

TEST(ToolsArtSheets, KeyColourMarginAndSpacingCutTheCellsTheArtistDrew) {
  ScratchDir dir;
  tools::Palette cube = CubePalette();
  SavePal(dir, cube, "cube.pal");
  // A 3 x 2 grid of 4 x 3 cells with a 2-pixel margin and 1-pixel grid lines,
  // on magenta: the cells show colours from the cube palette, the last one a
  // single black pixel at (3, 2).
  std::vector<std::uint32_t> rgba(18 * 11, 0xff00ffff);
  for (int y = 2; y < 9; ++y)
    for (int x = 2; x < 16; ++x) {
      int cx = x - 2, cy = y - 2;  // within the grid
      rgba[y * 18 + x] = cx % 5 == 4 || cy % 4 == 3 ? 0xffffffff
                         : cx >= 10 && cy >= 4      ? (cx == 13 && cy == 6 ? 0xff : 0xff00ffff)
                         : (x + y) % 3              ? Rgba(cube[(x * 37 + y * 11) & 0xff])
                                                    : 0xff00ffff;
    }
  tools::Image sheet = RgbaImage(18, 11, rgba), keyed = sheet;  // keyed: magenta made clear
  SavePng("rgb.png", sheet);
  ByteVector indices;  // the same sheet indexed: magenta is cube entry 0xe3
  for (std::size_t i = 0; i < sheet.pixels.size(); i += 4) {
    const std::uint8_t* p = &sheet.pixels[i];
    indices.push_back(tools::NearestColour(cube).Find({p[0], p[1], p[2]}));
    if (p[0] == 0xff && p[1] == 0 && p[2] == 0xff) keyed.pixels[i + 3] = 0;
  }
  SavePng("indexed.png", IndexedImage(18, 11, indices, cube));

  for (const char* source : {"rgb.png", "indexed.png"})
    for (const char* key : {"ff00ff", "auto"}) {
      SCOPED_TRACE(std::string(source) + " --key " + key);
      ASSERT_TRUE(Ok({"sprites", source, "cells.spr", "--cell", "4x3", "--margin", "2", "--spacing",
                      "1", "--key", key, "--palette", "cube.pal"}));
      tools::Image unpacked = Unpack("cells.spr", "cube.pal", 3);
      ASSERT_EQ(unpacked.width, 12);
      for (int cell = 0; cell < 6; ++cell)
        EXPECT_EQ(ShowRgba(unpacked, cell % 3 * 4, cell / 3 * 3, 4, 3),
                  ShowRgba(keyed, 2 + cell % 3 * 5, 2 + cell / 3 * 4, 4, 3))
            << "cell " << cell;
    }
  // Trimmed, each sprite is its visible box and says where it was.
  auto trim = RunPack({"sprites", "rgb.png", "trim.spr", "--cell", "4x3", "--margin", "2",
                       "--spacing", "1", "--key", "auto", "--palette", "cube.pal", "--trim"});
  for (const char* line :
       {"sprite 0: 4x3 from (0, 0) of its cell; the cell's centre is its hotspot (2, 1)",
        "sprite 5: 1x1 from (3, 2) of its cell; the cell's centre is its hotspot (-1, -1)"})
    EXPECT_TRUE(Has(trim.out, line));
}

// An export as Aseprite writes it: four 5 x 4 frames side by side, the third
// trimmed to 3 x 2, two tags and a pivot that moves at the third frame.
std::string AsepriteJson(bool hash) {
  std::string frames;
  for (int i = 0; i < 4; ++i) {
    frames += i ? ",\n" : "";
    if (hash) frames += "\"walk " + std::to_string(i) + ".aseprite\": ";
    frames += "{\"frame\": {\"x\":" + std::to_string(i * 5) +
              ",\"y\":0,\"w\":" + (i == 2 ? "3,\"h\":2" : "5,\"h\":4") +
              "}, \"rotated\": false, \"trimmed\": " + (i == 2 ? "true" : "false") +
              ", \"spriteSourceSize\": {\"x\":" + (i == 2 ? "1,\"y\":1" : "0,\"y\":0") +
              ",\"w\":5,\"h\":4}, \"sourceSize\": {\"w\":5,\"h\":4}, \"duration\": " +
              (i < 2 ? "100" : "50") + "}";
  }
  return std::string("{ \"frames\": ") + (hash ? "{" : "[") + frames + (hash ? "}" : "]") +
         R"(,
 "meta": {"app": "https://www.aseprite.org/", "version": "1.3", "image": "walk.png", "format": "RGBA8888",
  "size": {"w": 20, "h": 4}, "scale": "1",
  "frameTags": [{"name": "walk", "from": 0, "to": 1, "direction": "forward", "color": "#000000ff"},
                {"name": "hit", "from": 2, "to": 3, "direction": "reverse", "repeat": "1"}],
  "layers": [{"name": "Layer 1", "opacity": 255, "blendMode": "normal"}],
  "slices": [{"name": "feet", "color": "#0000ffff",
              "keys": [{"frame": 0, "bounds": {"x": 0, "y": 0, "w": 5, "h": 4}, "pivot": {"x": 2, "y": 3}},
                       {"frame": 2, "bounds": {"x": 1, "y": 0, "w": 3, "h": 4}, "pivot": {"x": 0, "y": 1}}]}]
 }
})";
}

class ToolsArtAseprite : public test_support::LuaFixture {};

TEST_F(ToolsArtAseprite, FramesTagsAndPivotBecomeSpritesAndAnimations) {
  ScratchDir dir;
  SavePal(dir, CubePalette(), "cube.pal");
  std::vector<std::uint32_t> rgba(20 * 4, 0), want(20 * 4, 0);
  for (int i = 0; i < 80; ++i)
    if ((i % 20 < 12 || i % 20 >= 15) && i % 7) rgba[i] = Rgba(CubePalette()[(i * 29) & 0xff]);
  // Unpacked, the trimmed frame is back at (1, 1) of its 5 x 4 frame.
  for (int i = 0; i < 80; ++i) {
    int x = i % 20 - 10, y = i / 20;  // within frame 2
    want[i] = x < 0 || x >= 5 ? rgba[i] : x >= 1 && x < 4 && y >= 1 && y < 3 ? rgba[i - 21] : 0;
  }
  SavePng("walk.png", RgbaImage(20, 4, rgba));
  auto pack = [&](const std::string& json, const std::string& out) {
    WriteText(dir, "walk.json", json);
    return Strings{"sprites", "walk.png", out, "--aseprite", "walk.json", "--palette", "cube.pal"};
  };
  // The second run replaces the script the first wrote.
  for (bool hash : {false, true}) {
    auto run = RunPack(pack(AsepriteJson(hash), "walk.spr"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "walk.lua: 2 animations, hotspot (2, 3)"));
    EXPECT_EQ(ShowRgba(Unpack("walk.spr", "cube.pal")), ShowRgba(RgbaImage(20, 4, want)));
    ByteVector lua = dir.Read("walk.lua");
    std::string script(lua.begin(), lua.end());
    for (const char* line :
         {"kind:SetAnimSize(2)\n", "kind:SetAnim(0, 0, 1, 5, true)  -- walk\n",
          "kind:SetAnim(1, 3, 2, 2, false)  -- hit\n", "kind.cx = 2\nkind.cy = 3\n",
          "hotspots = {[0] = {2, 3}, {2, 3}, {1, 1}, {1, 1}}\n"})
      EXPECT_TRUE(Has(script, line));
    EXPECT_EQ(Run("kind = NewObject()\n" + script + "assert(kind.cy == 3 and #hotspots == 3)"), "");
  }
  const std::string vast =
      R"({"frame": {"x": 0, "y": 0, "w": 1, "h": 1}, "sourceSize": {"w": 16384, "h": 16384}})";
  const std::string one = R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 5, "h": 4}}], "meta": )";
  std::string tags;
  for (int i = 0; i < 256; ++i) tags += std::string(i ? "," : "") + R"({"from": 0, "to": 0})";
  std::string zeros(2 * tools::kMaxJsonValues + 1, '0');
  for (std::size_t i = 1; i < zeros.size(); i += 2) zeros[i] = ',';
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"{\"frames\": [}", "line 1: expected a value"},
      {"{\"frames\": []}", "the export has no frames"},
      {"[1, 2]", "not an Aseprite export"},
      {R"({"frames": [{"frame": {"x": 18, "y": 0, "w": 5, "h": 4}}]})", "frame 0: 5x4 at (18, 0) reaches outside the 20x4 sheet"},
      {R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 5, "h": 4}}], "meta": {"frameTags": [{"from": 0, "to": 3}]}})", "frame tag 0: \"to\" must be a whole number from 0 to 0"},
      {std::string(100, '[') + std::string(100, ']'), "line 1: nested more than 64 deep"},
      {"{\"frames\": [" + vast + ", " + vast + "]}", "the untrimmed frames hold 536870912 pixels in all"},
      {one + R"({"frameTags": [)" + tags + "]}}", "256 frame tags, more than the 255 animations a kind holds"},
      {one + R"({"slices": [{"keys": [{"frame": 0, "bounds": {"x": -65535, "y": 0}, "pivot": {"x": -65535, "y": 0}}]}]}})",
       "slice 0: the pivot puts the hotspot at (-131070, 0), farther than 16384 pixels"},
      {one + R"({"slices": [{"keys": [{"frame": 0, "bounds": {"x": 16000, "y": 0}, "pivot": {"x": 385, "y": 2}}]}]}})",
       "slice 0: the pivot puts the hotspot at (16385, 2), farther than 16384 pixels"},
      {"[" + zeros + "]", "line 1: more than 1048576 values"},
      {std::string(tools::kMaxAsepriteBytes, ' ') + "{}", "too large: more than 8388608 bytes"},
  };
  // clang-format on
  for (const auto& [json, message] : cases)
    ExpectFail(pack(json, "bad.spr"), 1, "walk.json: " + message);
}

// The picture's bytes in a format stb writes (BMP, TGA, JPEG at quality 100).
ByteVector Written(const char* format, const tools::Image& rgba) {
  ByteVector bytes;
  auto append = [](void* to, void* data, int size) {
    auto* p = static_cast<std::uint8_t*>(data);
    static_cast<ByteVector*>(to)->insert(static_cast<ByteVector*>(to)->end(), p, p + size);
  };
  const void* px = rgba.pixels.data();
  int w = rgba.width, h = rgba.height;
  std::string f = format;
  int ok = f == "bmp"   ? stbi_write_bmp_to_func(append, &bytes, w, h, 4, px)
           : f == "tga" ? stbi_write_tga_to_func(append, &bytes, w, h, 4, px)
                        : stbi_write_jpg_to_func(append, &bytes, w, h, 4, px, 100);
  EXPECT_TRUE(ok);
  return bytes;
}

// Each format packs to the pixels of the same picture saved as PNG, told by
// its bytes (a BMP named .png is a BMP); a GIF gives its first frame to a
// sheet and every frame to --files.
TEST(ToolsArtFormats, JpegBmpTgaAndGifPackAsThePngDoes) {
  ScratchDir dir;
  tools::Palette cube = CubePalette();
  SavePal(dir, cube, "cube.pal");
  // Flat 8 x 8 blocks, which a quality-100 JPEG keeps to within a step or two.
  std::vector<std::uint32_t> blocks;
  for (int i = 0; i < 16 * 8; ++i) blocks.push_back(Rgba(cube[i % 16 < 8 ? 0xe0 : 0x4d]));
  // Every level of alpha and colours from all over the cube.
  std::vector<std::uint32_t> soft;
  for (int i = 0; i < 24; ++i) soft.push_back(Rgba(cube[i * 11], std::uint8_t(i % 6 * 51)));
  const tools::Image flat = RgbaImage(16, 8, blocks), alpha = RgbaImage(6, 4, soft);
  SavePng("flat.png", flat);
  SavePng("alpha.png", alpha);
  dir.Write("flat.jpg", Written("jpg", flat));
  dir.Write("alpha.bmp", Written("bmp", alpha));
  dir.Write("alpha.tga", Written("tga", alpha));
  dir.Write("bmp.png", Written("bmp", alpha));
  base::GifWriter gif;
  ByteVector first(16 * 8), second(16 * 8), bytes;
  for (int i = 0; i < 16 * 8; ++i) first[i] = i % 16 < 8 ? 0xe0 : 0x4d, second[i] = std::uint8_t(i * 2);
  std::string error;
  ASSERT_TRUE(gif.Begin(16, 8, &error) && gif.AddFrame(first.data(), cube.data(), 2, &error) &&
              gif.AddFrame(second.data(), cube.data(), 2, &error) && gif.Finish(&bytes, &error));
  dir.Write("anim.gif", bytes);
  SavePng("second.png", IndexedImage(16, 8, second));
  auto pack = [&](Strings files) {
    files.insert(files.begin(), {"sprites", "--files"});
    files.insert(files.end(), {"-o", "out.spr", "--palette", "cube.pal"});
    EXPECT_TRUE(Ok(files));
    return Show(ReadSet(dir, "out.spr"));
  };
  EXPECT_EQ(pack({"flat.jpg"}), pack({"flat.png"}));
  for (const char* picture : {"alpha.bmp", "alpha.tga", "bmp.png"})
    EXPECT_EQ(pack({picture}), pack({"alpha.png"})) << picture;
  EXPECT_EQ(pack({"anim.gif"}), pack({"flat.png", "second.png"}));
  ASSERT_TRUE(Ok({"sprites", "anim.gif", "out.spr", "--cell", "16x8", "--palette", "cube.pal"}));
  EXPECT_EQ(Show(ReadSet(dir, "out.spr")), pack({"flat.png"}));
  EXPECT_TRUE(Has(RunPack({"palette", "flat.jpg", "alpha.tga", "p.pal"}).out, "colours, exact"));
}

// A soft shadow: its faint pixels would all be drawn at 1/4, and the tool
// says so; --alpha-floor clears those below it and keeps the others' levels.
TEST(ToolsArtFormats, AlphaFloorClearsTheFaintEdgeOfAShadow) {
  ScratchDir dir;
  SavePal(dir);
  SavePng("shadow.png", RgbaImage(10, 1, {0xffffffff, 0xffffffff, 0xc8, 0x64, 0x3c, 0x28, 0x14,
                                          0x0a, 0x05, 0}));
  auto pack = [&](Strings options) {
    options.insert(options.begin(), {"sprites", "--files", "shadow.png", "-o", "s.spr",
                                     "--palette", "pal.pal"});
    RunResult run = RunPack(options);
    EXPECT_EQ(run.status, 0) << run.err;
    return Show(ReadSet(dir, "s.spr")) + " " + run.err;
  };
  EXPECT_EQ(pack({}),
            "ff ff 00/2 00/1 00/0 00/0 00/0 00/0 00/0 . lunashot-pack: warning: shadow.png: 56% of "
            "the visible pixels (5 of 9) have alpha below 64 and are drawn at the faintest blend "
            "level, 1/4; --alpha-floor N makes the pixels below alpha N transparent\n");
  EXPECT_EQ(pack({"--alpha-floor", "32"}), "ff ff 00/2 00/1 00/0 00/0 . . . . ");
}

// A ProTracker module: sample 1 is a looped cycle of a 32-byte square wave,
// played at `notes` (Amiga periods) on row 0 of each pattern at `speed`
// ticks a row; each pattern ends after row 7, the last one jumping back to
// order `loop`, or with `orders` the patterns are played that many times over.
ByteVector TrackerModule(const std::vector<int>& notes, int loop, int speed = 3, int orders = 0) {
  ByteVector m(20, 0);
  auto put16 = [&](int v) { m.insert(m.end(), {std::uint8_t(v >> 8), std::uint8_t(v)}); };
  for (int s = 0; s < 31; ++s) {
    m.insert(m.end(), 22, 0);
    put16(s ? 0 : 16), m.insert(m.end(), {0, std::uint8_t(s ? 0 : 64)}), put16(0), put16(s ? 1 : 16);
  }
  int n = int(notes.size()), length = orders ? orders : n;
  m.insert(m.end(), {std::uint8_t(length), 127});
  for (int o = 0; o < 128; ++o) m.push_back(std::uint8_t(o < length ? o % n : 0));
  m.insert(m.end(), {'M', '.', 'K', '.'});
  for (int p = 0; p < n; ++p)
    for (int cell = 0; cell < 64 * 4; ++cell) {
      int period = cell == 0 ? notes[p] : 0, effect = 0, value = 0;
      if (cell == 0) effect = 0xf, value = speed;
      if (cell == 7 * 4 + 1) effect = p < n - 1 || orders ? 0xd : 0xb, value = p < n - 1 ? 0 : loop;
      m.insert(m.end(), {std::uint8_t(period >> 8), std::uint8_t(period),
                         std::uint8_t((cell == 0) << 4 | effect), std::uint8_t(value)});
    }
  for (int i = 0; i < 32; ++i) m.push_back(i < 16 ? 100 : 156);
  return m;
}

// Upward zero crossings a second in samples [from, to).
double Pitch(const std::vector<std::int8_t>& s, std::size_t from, std::size_t to) {
  int ups = 0;
  for (std::size_t i = from + 1; i < to; ++i) ups += s[i - 1] < 0 && s[i] >= 0;
  return ups * double(base::kNativeSoundRate) / double(to - from);
}

// A module plays once through, its notes at their pitch, and keeps the row
// it loops back to; the tool's WAV keeps that loop; damaged, too long or
// WavPack files are refused with the reason.
TEST(ToolsArtMusic, ModulesPlayOnceAndKeepTheirLoopPoint) {
  ScratchDir dir;
  dir.Write("song.mod", TrackerModule({428, 214}, 1));  // an intro, then the second pattern again
  std::vector<std::int8_t> samples, again;
  base::SoundSource source;
  std::string error;
  ASSERT_TRUE(base::DecodeSoundFile("song.mod", &samples, &source, &error)) << error;
  // 2 patterns of 8 rows of 3 ticks of 20 ms: 0.96 s; the loop from 0.48 s.
  EXPECT_EQ(samples.size(), 10584u);
  EXPECT_EQ(source.loop_start, 5292);
  // Period 428 plays the 32-sample cycle at 8287 Hz: 259 Hz; 214 an octave up.
  EXPECT_NEAR(Pitch(samples, 200, 5000), 259, 5);
  EXPECT_NEAR(Pitch(samples, 5500, 10400), 518, 10);
  RunResult run = RunPack({"sound", "song.mod", "song.wav"});
  EXPECT_TRUE(Has(run.out, "song.mod: Tracker module (MOD, Protracker M.K.), 4 channels played by "
                           "libxmp, 44100 Hz, 1 channel, 0.960 s"));
  EXPECT_TRUE(Has(run.out, "song.wav: 10584 samples, 11025 Hz 8-bit mono, 0.960 s, looping from "
                           "sample 5292 (0.480 s)"));
  ASSERT_TRUE(base::DecodeSoundFile("song.wav", &again, &source, &error)) << error;
  EXPECT_TRUE(again == samples && source.native && source.loop_start == 5292);
  // The same loop written by another program (no mark) plays whole, as on the handheld.
  ByteVector foreign = dir.Read("song.wav");
  const std::string bytes(foreign.begin(), foreign.end());
  ASSERT_NE(bytes.find("LSLT"), std::string::npos);
  std::fill_n(foreign.begin() + bytes.find("LSLT"), 4, 0);
  dir.Write("foreign.wav", foreign);
  ASSERT_TRUE(base::DecodeSoundFile("foreign.wav", &again, &source, &error)) << error;
  EXPECT_TRUE(again == samples && source.loop_start == 0);
  ByteVector cut = dir.Read("song.mod");
  cut.resize(1500);
  dir.Write("cut.mod", cut);
  dir.Write("long.mod", TrackerModule({428}, 0, 31, 127));  // 127 x 8 rows of 0.62 s
  dir.Write("song.wv", Hex("7776706b 20000000"));
  const std::pair<const char*, const char*> refused[] = {
      {"cut.mod", "a damaged or unsupported MOD module"},
      {"long.mod", "it plays for 629 seconds, longer than 600"},
      {"song.wv", "a WavPack file: WavPack cannot be read; convert it to FLAC or WAV"},
  };
  for (const auto& [file, why] : refused)
    ExpectFail({"sound", "--check", file}, 1, std::string(file) + ": cannot be used: " + why);
}

}  // namespace
