// lunashot-pack commands run in-process: sheets and file lists to sprite
// sets, fonts, unpacking and the round trip, and every kind of bad input
// (exit status, message, and no output file left behind).
#include "tools/sheet.h"

#include <gtest/gtest.h>

#include <map>

#include <boost/intrusive_ptr.hpp>

#include "base/sprite_file.h"
#include "tests/unit/pack_fixture.h"
#include "video/palette.h"
#include "video/sprite.h"

namespace {

using tools::Pixel;
using tools::Rgb;
using tools_test::Contains;
using tools_test::ExpectFail;
using tools_test::Ok;
using tools_test::RunPack;
using tools_test::SavePng;
using tools_test::ScratchDir;
using ByteVector = std::vector<std::uint8_t>;
using Files = std::vector<std::string>;

std::vector<base::SpriteData> ReadSet(const ScratchDir& dir, const std::string& name) {
  ByteVector bytes = dir.Read(name);
  std::vector<base::SpriteView> views;
  std::string error;
  EXPECT_TRUE(base::DecodeSpriteSet(bytes.data(), bytes.size(), &views, &error)) << error;
  std::vector<base::SpriteData> sprites;
  for (const base::SpriteView& v : views)
    sprites.push_back({v.width, v.height, ByteVector(v.rows, v.rows + v.size)});
  return sprites;
}

std::string Size(const base::SpriteData& sprite) {
  return std::to_string(sprite.width) + "x" + std::to_string(sprite.height);
}

tools::PixelImage Pixels(const base::SpriteData& sprite) {
  return base::DecodeSprite(base::View(sprite));
}

// Writes pal.pal for the palette into the directory.
std::string SavePal(const ScratchDir& dir, const tools::Palette& palette) {
  dir.Write("pal.pal", tools::BuildPalFile(palette, tools::BlendMode::kMix));
  return dir / "pal.pal";
}

TEST(ToolsAlpha, PartialAlphaTakesTheNearestQuarter) {
  EXPECT_EQ(tools::PixelFromAlpha(0, 9).kind, Pixel::kTransparent);
  EXPECT_TRUE(tools::PixelFromAlpha(255, 9) == (Pixel{Pixel::kOpaque, 9, 0}));
  for (auto [alpha, level] : std::vector<std::pair<int, int>>{
           {1, 0}, {64, 0}, {95, 0}, {96, 1}, {128, 1}, {159, 1}, {160, 2}, {192, 2}, {254, 2}}) {
    EXPECT_TRUE(tools::PixelFromAlpha(std::uint8_t(alpha), 9) ==
                (Pixel{Pixel::kBlended, 9, std::uint8_t(level)}))
        << "alpha " << alpha;
  }
}

TEST(ToolsSpritesCommand, IndexedSheetKeepsIndicesAndEntryAlpha) {
  ScratchDir dir;
  // Entry 10 is fully transparent, 11 half, 12 near a quarter, 13 near three quarters.
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[10] = 0, alpha[11] = 128, alpha[12] = 60, alpha[13] = 200;
  SavePng(dir / "sheet.png", tools_test::IndexedImage(6, 2,
                                                      {10, 5, 11, 12, 10, 10,  //
                                                       10, 10, 10, 255, 13, 0},
                                                      tools_test::CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", dir / "sheet.png", dir / "out.spr", "--cell", "3x2"}));
  EXPECT_EQ(dir.Read("out.spr"),
            (ByteVector{0x02, 0x00,                                                           //
                        3,    0,    0,    0,    2,    0,    0,    0,    13,   0,    0,    0,  //
                        0x09, 0x00, 0x01, 0x80, 0x01, 0x00, 0x05, 0x01, 0x40, 0x0b, 0x01,     //
                        0x00, 0x00,                                                           //
                        3,    0,    0,    0,    2,    0,    0,    0,    18,   0,    0,    0,  //
                        0x04, 0x00, 0x01, 0x40, 0x0c, 0x00,                                   //
                        0x0a, 0x00, 0x01, 0x00, 0xff, 0x01, 0x40, 0x0d, 0x02, 0x01, 0x00, 0x00}));
  EXPECT_EQ(dir.Files(), (Files{"out.spr", "sheet.png"}));
}

// Every picture format a sheet may come in goes through the palette: RGBA and
// RGB to the nearest colour, 1-bit indexed by its colours, 8-bit grey, 16-bit RGB.
TEST(ToolsSpritesCommand, EveryPictureFormatMapsToTheNearestPaletteColour) {
  ScratchDir dir;
  std::string pal = SavePal(dir, tools_test::CubePalette());
  // Red, a half-transparent near-blue, nothing, a near-white opaque.
  SavePng(dir / "rgba.png",
          tools_test::RgbaImage(4, 1, {0xff0000ff, 0x0000fa80, 0x12345600, 0xfafafaff}));
  tools::Image rgb;  // no alpha channel at all: every pixel opaque
  rgb.format = tools::Image::Format::kRgb;
  rgb.width = 2, rgb.height = 1;
  rgb.pixels = {0x00, 0xff, 0x00, 0x00, 0x00, 0x00};
  SavePng(dir / "rgb.png", rgb);
  // 1-bit indexed, entry 0 transparent through tRNS: pixels 1 0 1 1 0 0 0 1.
  tools::Palette two;
  two.fill(Rgb{0, 0, 0});
  two[1] = {255, 255, 255};
  tools::Image bits = tools_test::IndexedImage(8, 1, {1, 0, 1, 1, 0, 0, 0, 1}, two, {0});
  bits.palette.resize(2);
  bits.bit_depth = 1;
  SavePng(dir / "bits.png", bits);
  dir.Write("grey.png", tools_test::RawPng(2, 1, 8, 0, {}, {0, 0, 255}));
  dir.Write("deep.png",
            tools_test::RawPng(1, 1, 16, 2, {}, {0, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00}));

  ASSERT_TRUE(Ok({"sprites", "--files", dir / "rgba.png", dir / "rgb.png", dir / "bits.png",
                  dir / "grey.png", dir / "deep.png", dir / "out.spr", "--palette", pal}));
  auto sprites = ReadSet(dir, "out.spr");
  ASSERT_EQ(sprites.size(), 5u);
  tools::PixelImage a = Pixels(sprites[0]), b = Pixels(sprites[1]), grey = Pixels(sprites[3]);
  EXPECT_EQ(a.width, 4);
  EXPECT_TRUE(a.at(0, 0) == (Pixel{Pixel::kOpaque, 0xe0, 0}));
  EXPECT_TRUE(a.at(1, 0) == (Pixel{Pixel::kBlended, 0x03, 1}));
  EXPECT_EQ(a.at(2, 0).kind, Pixel::kTransparent);
  EXPECT_TRUE(a.at(3, 0) == (Pixel{Pixel::kOpaque, 0xff, 0}));
  EXPECT_EQ(b.width, 2);
  EXPECT_TRUE(b.at(0, 0) == (Pixel{Pixel::kOpaque, 0x1c, 0}));
  EXPECT_TRUE(b.at(1, 0) == (Pixel{Pixel::kOpaque, 0x00, 0}));
  std::string kinds;
  for (const Pixel& p : Pixels(sprites[2]).pixels)
    kinds += p.kind == Pixel::kOpaque && p.index == 0xff ? '#'
             : p.kind == Pixel::kTransparent             ? '.'
                                                         : '?';
  EXPECT_EQ(kinds, "#.##...#");
  EXPECT_TRUE(grey.at(0, 0) == (Pixel{Pixel::kOpaque, 0, 0}));
  EXPECT_TRUE(grey.at(1, 0) == (Pixel{Pixel::kOpaque, 255, 0}));
  EXPECT_TRUE(Pixels(sprites[4]).at(0, 0) == (Pixel{Pixel::kOpaque, 0xe0, 0}));  // pure red

  ExpectFail({"sprites", "--files", dir / "rgb.png", dir / "bare.spr"}, 1,
             dir / "rgb.png: an RGB picture has no palette indices; give --palette");
  EXPECT_EQ(dir.Files(), (Files{"bits.png", "deep.png", "grey.png", "out.spr", "pal.pal", "rgb.png",
                                "rgba.png"}));
}

// A palette with repeated colours: 200 repeats 0 (black) and 201 repeats 1.
tools::Palette RepeatingPalette() {
  tools::Palette p = tools_test::CubePalette();
  p[200] = p[0];
  p[201] = p[1];
  return p;
}

TEST(ToolsRoundTrip, SheetToSpritesToPictureToSpritesIsExact) {
  ScratchDir dir;
  std::string pal = SavePal(dir, RepeatingPalette());
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[17] = 0, alpha[200] = 64, alpha[255] = 192, alpha[40] = 130;
  std::vector<std::uint8_t> indices(10 * 8);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    static const std::uint8_t kUsed[] = {0, 200, 201, 255, 17, 17, 40, 3, 17, 99, 201};
    indices[i] = kUsed[(i * 7 + i / 10) % 11];
  }
  SavePng(dir / "sheet.png", tools_test::IndexedImage(10, 8, indices, RepeatingPalette(), alpha));
  // Five 2x8 cells, unpacked into 3 columns: the sixth cell of the grid is empty.
  ASSERT_TRUE(Ok({"sprites", dir / "sheet.png", dir / "a.spr", "--cell", "2x8"}));
  auto unpack =
      RunPack({"unpack", dir / "a.spr", dir / "a.png", "--palette", pal, "--columns", "3"});
  ASSERT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_TRUE(Contains(
      unpack.out, "5 sprites in 3 columns of 2x8 cells; pack it again with --cell 2x8 --count 5"))
      << unpack.out;
  ASSERT_TRUE(Ok({"sprites", dir / "a.png", dir / "b.spr", "--cell", "2x8", "--count", "5",
                  "--palette", pal}));
  EXPECT_EQ(dir.Read("b.spr"), dir.Read("a.spr"));

  // The same from an RGBA sheet with odd alpha values.
  SavePng(dir / "rgba.png", tools_test::RgbaImage(3, 2,
                                                  {0x00000001, 0xffffff64, 0x112233fe,  //
                                                   0x00000000, 0xff0000ff, 0x00ff00a0}));
  ASSERT_TRUE(Ok({"sprites", dir / "rgba.png", dir / "c.spr", "--cell", "3x1", "--palette", pal}));
  ASSERT_TRUE(Ok({"unpack", dir / "c.spr", dir / "c.png", "--palette", pal}));
  ASSERT_TRUE(Ok({"sprites", dir / "c.png", dir / "d.spr", "--cell", "3x1", "--palette", pal}));
  EXPECT_EQ(dir.Read("d.spr"), dir.Read("c.spr"));
}

TEST(ToolsRoundTrip, AnEditedPictureIsMappedByItsColours) {
  ScratchDir dir;
  std::string pal = SavePal(dir, RepeatingPalette());
  SavePng(dir / "sheet.png", tools_test::IndexedImage(3, 1, {200, 201, 5}, RepeatingPalette()));
  ASSERT_TRUE(Ok({"sprites", dir / "sheet.png", dir / "a.spr", "--cell", "3x1"}));
  ASSERT_TRUE(Ok({"unpack", dir / "a.spr", dir / "a.png", "--palette", pal}));
  tools::Image image;
  std::string error;
  ASSERT_TRUE(tools::ReadPng(dir / "a.png", &image, &error)) << error;
  ASSERT_EQ(image.index_plane, (ByteVector{200, 201, 5}));
  // An editor repaints the last pixel red but keeps the stale index plane.
  image.pixels[8] = 255, image.pixels[9] = 0, image.pixels[10] = 0;
  SavePng(dir / "edited.png", image);
  ASSERT_TRUE(
      Ok({"sprites", dir / "edited.png", dir / "b.spr", "--cell", "3x1", "--palette", pal}));
  tools::PixelImage b = Pixels(ReadSet(dir, "b.spr")[0]);
  EXPECT_EQ(std::vector<int>({b.at(0, 0).index, b.at(1, 0).index, b.at(2, 0).index}),
            std::vector<int>({200, 201, 0xe0}));
  // Without the plane, repeated colours fall back to their lowest index.
  image.index_plane.clear();
  SavePng(dir / "plain.png", image);
  ASSERT_TRUE(Ok({"sprites", dir / "plain.png", dir / "c.spr", "--cell", "3x1", "--palette", pal}));
  tools::PixelImage c = Pixels(ReadSet(dir, "c.spr")[0]);
  EXPECT_TRUE(c.at(0, 0).index == 0 && c.at(1, 0).index == 1);
}

TEST(ToolsUnpack, DrawsTheGridAsDataOrAsTheEngineWould) {
  ScratchDir dir;
  tools::Palette cube = tools_test::CubePalette();
  std::string pal = SavePal(dir, cube);
  tools::PalFile table;
  std::string error;
  ASSERT_TRUE(base::ReadPalFile(pal, &table, &error)) << error;
  // Sprite 0 is 2x1: opaque 0x1c, blended (0xe0, level 2). Sprite 1 is 1x2 with a blank top.
  base::SpriteData one, two;
  tools::PixelImage p1(2, 1), p2(1, 2);
  p1.at(0, 0) = Pixel{Pixel::kOpaque, 0x1c, 0};
  p1.at(1, 0) = Pixel{Pixel::kBlended, 0xe0, 2};
  p2.at(0, 1) = Pixel{Pixel::kBlended, 0x03, 0};
  ASSERT_TRUE(base::EncodeSprite(p1, &one, &error));
  ASSERT_TRUE(base::EncodeSprite(p2, &two, &error));
  ByteVector file;
  ASSERT_TRUE(base::EncodeSpriteSet({one, two}, &file, &error));
  dir.Write("s.spr", file);

  ASSERT_TRUE(Ok({"unpack", dir / "s.spr", dir / "data.png", "--palette", pal}));
  tools::Image data;
  ASSERT_TRUE(tools::ReadPng(dir / "data.png", &data, &error)) << error;
  ASSERT_TRUE(data.width == 4 && data.height == 2);  // two 2x2 cells side by side
  auto rgba = [&](const tools::Image& image, int x, int y) {
    const std::uint8_t* p = &image.pixels[(y * image.width + x) * 4];
    return std::vector<int>{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(rgba(data, 0, 0), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(rgba(data, 1, 0), (std::vector<int>{255, 0, 0, 192}));
  EXPECT_EQ(rgba(data, 2, 1), (std::vector<int>{0, 0, 255, 64}));
  EXPECT_TRUE(rgba(data, 2, 0)[3] == 0 && rgba(data, 1, 1)[3] == 0);  // blank pixels clear

  ASSERT_TRUE(Ok({"unpack", dir / "s.spr", dir / "view.png", "--palette", pal, "--view",
                  "--background", "2", "--columns", "1"}));
  tools::Image shown;
  ASSERT_TRUE(tools::ReadPng(dir / "view.png", &shown, &error)) << error;
  ASSERT_TRUE(shown.width == 2 && shown.height == 4);  // one column of two cells
  auto colour = [&](int index) {
    return std::vector<int>{cube[index].r, cube[index].g, cube[index].b, 255};
  };
  EXPECT_EQ(rgba(shown, 0, 0), colour(0x1c));
  EXPECT_EQ(rgba(shown, 1, 0), colour(table.Blend(2, 0xe0, 2)));
  EXPECT_EQ(rgba(shown, 0, 3), colour(table.Blend(2, 0x03, 0)));
  EXPECT_EQ(rgba(shown, 0, 2), colour(2));
  EXPECT_EQ(rgba(shown, 1, 3), colour(2));

  // The default background is a checkerboard of 8-pixel squares.
  ASSERT_TRUE(Ok(
      {"unpack", dir / "s.spr", dir / "check.png", "--palette", pal, "--view", "--columns", "1"}));
  ASSERT_TRUE(tools::ReadPng(dir / "check.png", &shown, &error)) << error;
  EXPECT_EQ(rgba(shown, 1, 2), colour(tools::NearestColour(cube).Find({0xc0, 0xc0, 0xc0})));
}

TEST(ToolsFont, PutsGlyphsAtTheirBytesWithMetricsInSpriteZero) {
  ScratchDir dir;
  // Three 4x5 cells: 'A' uses columns 1-2, 'B' is blank, 'C' uses all four.
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[0] = 0;
  alpha[9] = 128;
  std::vector<std::uint8_t> px(12 * 5, 0);
  px[0 * 12 + 1] = 7, px[4 * 12 + 2] = 7;
  px[2 * 12 + 8] = 9, px[3 * 12 + 11] = 7;
  SavePng(dir / "glyphs.png",
          tools_test::IndexedImage(12, 5, px, tools_test::CubePalette(), alpha));

  ASSERT_TRUE(Ok({"font", dir / "glyphs.png", dir / "font.spr", "--cell", "4x5", "--first", "A",
                  "--space", "3", "--line", "6"}));
  auto font = ReadSet(dir, "font.spr");
  ASSERT_EQ(font.size(), 256u);
  EXPECT_EQ(Size(font[0]), "3x6");
  EXPECT_EQ(font[0].rows, ByteVector(12, 0));
  EXPECT_EQ(Size(font['A']), "3x5");  // two used columns and one spacing column
  tools::PixelImage a = Pixels(font['A']);
  EXPECT_TRUE(a.at(0, 0) == (Pixel{Pixel::kOpaque, 7, 0}));
  EXPECT_TRUE(a.at(1, 4) == (Pixel{Pixel::kOpaque, 7, 0}));
  EXPECT_EQ(a.at(2, 0).kind, Pixel::kTransparent);
  EXPECT_EQ(font['C'].width, 5);
  EXPECT_TRUE(Pixels(font['C']).at(0, 2) == (Pixel{Pixel::kBlended, 9, 1}));
  for (int c : std::vector<int>{1, 'B', '@', 'D', 255})
    EXPECT_TRUE(Size(font[c]) == "0x0" && font[c].rows.empty()) << c;

  // Defaults: half the cell width (rounded up) and the cell height; numeric --first.
  ASSERT_TRUE(Ok({"font", dir / "glyphs.png", dir / "f2.spr", "--cell", "4x5", "--first", "0x41"}));
  auto f2 = ReadSet(dir, "f2.spr");
  EXPECT_EQ(Size(f2[0]), "2x5");
  EXPECT_EQ(f2['C'].rows, font['C'].rows);

  // --fixed keeps whole cells, blank ones included.
  ASSERT_TRUE(
      Ok({"font", dir / "glyphs.png", dir / "f4.spr", "--cell", "4x5", "--first", "A", "--fixed"}));
  auto f4 = ReadSet(dir, "f4.spr");
  EXPECT_TRUE(Pixels(f4['A']).at(1, 0) == (Pixel{Pixel::kOpaque, 7, 0}));
  EXPECT_EQ(Size(f4['A']) + " " + Size(f4['B']) + " " + Size(f4['D']), "4x5 4x5 0x0");

  // --first 0: the sheet starts at byte 0, whose cell gives way to the metrics.
  ASSERT_TRUE(Ok({"font", dir / "glyphs.png", dir / "f0.spr", "--cell", "4x5", "--first", "0"}));
  auto f0 = ReadSet(dir, "f0.spr");
  EXPECT_EQ(f0[0].width, 2);
  EXPECT_EQ(f0[2].rows, font['C'].rows);
  ExpectFail({"font", dir / "glyphs.png", dir / "f3.spr", "--cell", "4x5", "--first", "254"}, 1,
             "glyphs.png: 3 glyphs from byte 254 pass byte 255");
  EXPECT_EQ(dir.Files(), (Files{"f0.spr", "f2.spr", "f4.spr", "font.spr", "glyphs.png"}));
}

// The engine's own loader must take the packer's files: every kind of run,
// a split run, empty rows, and a font's empty 0 x 0 sprites.
TEST(ToolsEngineAcceptance, TheEngineLoaderTakesWhatThePackerWrites) {
  ScratchDir dir;
  std::vector<std::uint8_t> alpha(256, 255);
  alpha[0] = 0, alpha[1] = 100;
  ByteVector px(5000 * 4, 0);
  for (int x = 0; x < 5000; ++x) px[x] = std::uint8_t(2 + x % 200);  // opaque, split at 4095
  for (int x = 0; x < 4500; ++x) px[5000 + x] = x % 3 ? 1 : 7;       // blended and opaque
  for (int x = 0; x < 4200; ++x) px[2 * 5000 + x] = 1;               // blended, split at 4095
  px[3 * 5000 + 2] = 9;                                              // transparent, then one pixel
  SavePng(dir / "wide.png",
          tools_test::IndexedImage(5000, 4, px, tools_test::CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", dir / "wide.png", dir / "wide.spr", "--cell", "5000x2"}));
  ASSERT_TRUE(
      Ok({"font", dir / "wide.png", dir / "font.spr", "--cell", "1000x4", "--first", "65"}));
  // The widest sprite both take; one wider the tool refuses, as the engine would.
  const int side = base::kMaxSpriteSide;
  SavePng(dir / "edge.png",
          tools_test::IndexedImage(side, 1, ByteVector(side, 5), tools_test::CubePalette()));
  SavePng(dir / "over.png",
          tools_test::IndexedImage(20000, 1, ByteVector(20000, 5), tools_test::CubePalette()));
  ASSERT_TRUE(Ok({"sprites", "--files", dir / "edge.png", dir / "edge.spr"}));
  ExpectFail({"sprites", "--files", dir / "over.png", dir / "over.spr"}, 1,
             "over.png: a 20000 x 1 sprite is larger than the engine loads");
  ByteVector wider = {1, 0};
  base::AppendSpriteRecord(&wider, 20000, 1, {0, 0});
  std::string refusal;
  EXPECT_EQ(video::ParseSpriteSet(wider.data(), wider.size(), &refusal), nullptr);

  for (const char* name : {"wide.spr", "font.spr", "edge.spr"}) {
    ByteVector bytes = dir.Read(name);
    std::string error;
    boost::intrusive_ptr<video::SpriteSet> set(
        video::ParseSpriteSet(bytes.data(), bytes.size(), &error));
    ASSERT_TRUE(set) << name << ": " << error;
    auto ours = ReadSet(dir, name);
    ASSERT_EQ(set->count, ours.size());
    for (std::size_t i = 0; i < ours.size(); ++i)
      EXPECT_TRUE(set->sprites[i]->width == ours[i].width &&
                  set->sprites[i]->height == ours[i].height &&
                  std::size_t(set->sprites[i]->size) == ours[i].rows.size())
          << name << " sprite " << i;
  }
}

// pal.pal: the engine runs any file of at least 197376 bytes (it ignores the
// rest), and the tool takes the same files.
TEST(ToolsEngineAcceptance, TheToolReadsThePaletteFilesTheEngineRuns) {
  ScratchDir dir;
  ByteVector pal = tools::BuildPalFile(tools_test::CubePalette(), tools::BlendMode::kMix);
  dir.Write("s.spr", {1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0});
  for (std::size_t size : {base::kPalFileBytes - 1, base::kPalFileBytes, base::kPalFileBytes + 1}) {
    pal.resize(size, 7);
    dir.Write("pal.pal", pal);
    std::string error;
    bool engine = video::LoadPalette((dir / "pal.pal").c_str(), &error);
    EXPECT_EQ(engine, size >= base::kPalFileBytes) << size << ": " << error;
    auto run = RunPack({"unpack", dir / "s.spr", dir / "s.png", "--palette", dir / "pal.pal"});
    EXPECT_EQ(run.status, engine ? 0 : 1) << size << ": " << run.err;
  }
}

// Each bad input: the status, a message naming the file and the problem,
// and no output (nor temporary) file.
TEST(ToolsBadInput, FailsCleanlyWithoutOutput) {
  ScratchDir dir;
  std::string pal = SavePal(dir, tools_test::CubePalette());
  SavePng(dir / "sheet.png",
          tools_test::IndexedImage(6, 4, ByteVector(24, 1), tools_test::CubePalette()));
  ByteVector png = dir.Read("sheet.png");
  dir.Write("cut.png", ByteVector(png.begin(), png.begin() + long(png.size() / 2)));
  dir.Write("text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '\n'});
  dir.Write("short.pal", ByteVector(768, 0));
  // Index 9 of a four-colour palette.
  dir.Write("beyond.png", tools_test::RawPng(2, 1, 8, 3, ByteVector(12, 50), {0, 1, 9}));
  SavePng(dir / "huge.png",
          tools_test::IndexedImage(257, 256, ByteVector(257 * 256, 1), tools_test::CubePalette()));
  dir.Write("bad.spr", {1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 6, 0, 0, 0, 4, 0, 1, 0x40, 5, 3});
  // Sprites of 100000 x 1 (more than a sprite may be) and of 16384 x 16384
  // with empty rows (more than one picture may hold).
  ByteVector wide = {1, 0}, vast = {1, 0};
  base::AppendSpriteRecord(&wide, 100000, 1, {0, 0});
  base::AppendSpriteRecord(&vast, 16384, 16384, ByteVector(2 * 16384, 0));
  dir.Write("wide.spr", wide);
  dir.Write("vast.spr", vast);
  // A valid picture over the pixel limit; one whose IDAT is cut out; one
  // whose text chunk claims 2 GiB in a 47-byte file.
  ByteVector big = tools_test::RawPng(8193, 4096, 1, 0, {}, {});
  dir.Write("big.png", big);
  ByteVector no_data = tools_test::RawPng(1, 1, 8, 0, {}, {0, 0});
  no_data.erase(no_data.begin() + 33, no_data.end() - 12);  // signature and IHDR, then IEND
  dir.Write("nodata.png", no_data);
  no_data.resize(33);
  no_data.insert(no_data.end(),
                 {0x7f, 0xff, 0xff, 0xf0, 't', 'E', 'X', 't', 'a', 0, 'b', 'c', 'd', 'e'});
  dir.Write("claim.png", no_data);
  dir.Write("out.spr", {'o', 'l', 'd'});  // must survive every failed run
  Files before = dir.Files();

  std::string out = dir / "out.spr", sheet = dir / "sheet.png", opng = dir / "out.png";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  // clang-format off
  const Case cases[] = {
      {{"sprites", dir / "text.png", out, "--cell", "2x2"}, 1, dir / "text.png: not a PNG file"},
      {{"sprites", dir / "cut.png", out, "--cell", "2x2"}, 1, dir / "cut.png: corrupt PNG: the file is truncated (a chunk of 768 bytes"},
      {{"sprites", dir / "nothing.png", out, "--cell", "2x2"}, 1, dir / "nothing.png: cannot open: No such file"},
      {{"sprites", dir / "big.png", out, "--cell", "1x1"}, 1, dir / "big.png: too large: 8193 x 4096 pixels, the limit is 65535 pixels a side and 33554432 pixels in all"},
      {{"sprites", dir / "nodata.png", out, "--cell", "1x1"}, 1, dir / "nodata.png: the PNG has no image data (its IEND chunk comes before any IDAT chunk)"},
      {{"palette", dir / "claim.png", dir / "claim.pal"}, 1, dir / "claim.png: corrupt PNG: the file is truncated (a chunk of 2147483632 bytes at byte 33, only 2 left)"},
      {{"sprites", sheet, out, "--cell", "4x4"}, 1, sheet + ": the 6x4 sheet is not a whole number of 4x4 cells"},
      {{"sprites", sheet, out, "--cell", "2x8"}, 1, sheet + ": a 2x8 cell does not fit the 6x4 sheet"},
      {{"sprites", sheet, out, "--cell", "2x2", "--count", "7"}, 1, sheet + ": --count 7 but the sheet has only 6 cells of 2x2"},
      {{"sprites", dir / "huge.png", out, "--cell", "1x1"}, 1, dir / "huge.png: 65792 cells of 1x1, more than a sprite set can hold (65535)"},
      {{"sprites", dir / "beyond.png", out, "--cell", "1x1"}, 1, dir / "beyond.png: pixel (1, 0) has colour index 9, which is not in the PNG's 4-colour palette"},
      {{"sprites", sheet, out, "--cell", "2x2", "--palette", dir / "short.pal"}, 1, dir / "short.pal: only 768 bytes; a palette file has 197376"},
      {{"sprites", "--files", sheet, dir / "text.png", out}, 1, dir / "text.png: not a PNG file"},
      {{"font", dir / "text.png", out, "--cell", "2x2", "--first", "33"}, 1, dir / "text.png: not a PNG file"},
      {{"unpack", dir / "bad.spr", opng, "--palette", pal}, 1, dir / "bad.spr: sprite 0: row 0: blend level 3 (levels are 0-2)"},
      {{"unpack", dir / "wide.spr", opng, "--palette", pal}, 1, dir / "wide.spr: sprite 0: bad size 100000 x 1"},
      {{"unpack", sheet, opng, "--palette", pal}, 1, sheet + ": "},
      {{"unpack", dir / "bad.spr", opng}, 2, "unpack needs --palette PAL"},
      {{"unpack", dir / "vast.spr", opng, "--palette", pal}, 1, dir / "vast.spr: a sheet of 1 x 1 cells of 16384x16384 is too large for a PNG here"},
      {{"palette", sheet, dir / "no/such/dir.pal"}, 1, dir / "no/such/dir.pal: cannot create: No such"},
      {{"palette", sheet, out, "--mix"}, 2, "unknown option --mix for palette"},
      {{"sprites", sheet, out}, 2, "sprites needs --cell WxH"},
      {{"sprites", sheet, out, "--cell", "16"}, 2, "--cell 16: expected WxH"},
      {{"sprites", sheet, out, "--cell", "0x4"}, 2, "--cell 0: expected a whole number from 1"},
      {{"sprites", sheet, out, "--cell", "20000x1"}, 2, "--cell 20000: expected a whole number from 1 to 16384"},
      {{"sprites", sheet, out, "--cell", "2x2", "--count", "-1"}, 2, "--count -1: expected"},
      {{"sprites", sheet, out, "--cell"}, 2, "--cell needs a value"},
      {{"sprites", sheet, out, "--cell", "2x2", "--count", "3 "}, 2, "--count 3 : expected"},
      {{"sprites", sheet, out, "--cell", "2x2", "--count", "07"}, 1, sheet + ": --count 7 but"},
      {{"sprites", sheet, "--cell", "2x2"}, 2, "no output named: the last file, " + sheet + ", does not end"},
      {{"pack", sheet, out}, 2, "unknown command pack"},
  };
  // clang-format on
  for (const Case& c : cases) {
    ExpectFail(c.args, c.status, "lunashot-pack: " + c.message);
    EXPECT_EQ(dir.Files(), before) << c.args[0] << " " << c.args[1];
  }
  EXPECT_EQ(dir.Read("out.spr"), (ByteVector{'o', 'l', 'd'}));
}

// Every way to name a source as the output is refused before anything is
// read or written: each file keeps every byte.
TEST(ToolsOutputs, NeverWriteOverASourceOrAFileOfAnotherKind) {
  ScratchDir dir;
  std::string pal = SavePal(dir, tools_test::CubePalette());
  SavePng(dir / "a.png",
          tools_test::IndexedImage(2, 2, ByteVector(4, 1), tools_test::CubePalette()));
  SavePng(dir / "b.png",
          tools_test::IndexedImage(2, 2, ByteVector(4, 2), tools_test::CubePalette()));
  ASSERT_TRUE(Ok({"sprites", "--files", dir / "a.png", "-o", dir / "set.bin"}));
  SavePng(dir / "disguised.spr", tools_test::IndexedImage(1, 1, {0}, tools_test::CubePalette()));
  auto text = [&](const std::string& name, const std::string& content) {
    dir.Write(name, ByteVector(content.begin(), content.end()));
  };
  text("art.gpl", "GIMP Palette\n1 2 3\n");
  text("sheet.json", " {\"frames\": []}");
  text("anim.lua", "kind:SetAnim(0, 0, 1, 4, true)\n");
  text("cat.gif", "GIF89a....");
  text("boom.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
  text("boom.sfx", std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
  text("shot.lua", "\x89PNG\r\n\x1a\n");
  std::map<std::string, ByteVector> before;
  for (const std::string& name : dir.Files()) before[name] = dir.Read(name);

  std::string a = dir / "a.png", b = dir / "b.png", set = dir / "set.bin";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  // clang-format off
  const Case cases[] = {
      {{"sprites", "--files", a, b, "--palette", pal}, 2, "the last file, " + b + ", does not end in .spr"},
      {{"sprites", a, b, "--cell", "1x1"}, 2, "does not end in .spr; end the output's name in .spr or give -o OUT"},
      {{"font", a, b, "--cell", "1x1", "--first", "A"}, 2, "does not end in .spr"},
      {{"palette", a, b}, 2, "does not end in .pal"},
      {{"unpack", set, dir / "art.gpl", "--palette", pal}, 2, "does not end in .png"},
      {{"sprites", a, "-o", a, "--cell", "1x1"}, 1, a + ": is also an input"},
      {{"sprites", "--files", a, b, "-o", dir / "./b.png"}, 1, dir / "./b.png: is also an input"},
      {{"sprites", a, "-o", pal, "--cell", "1x1", "--palette", pal}, 1, pal + ": is also an input"},
      {{"unpack", set, "-o", set, "--palette", pal}, 1, "set.bin: is also an input"},
      {{"sprites", a, "-o", dir / "art.gpl", "--cell", "1x1"}, 1, "art.gpl: is an existing GIMP palette, not a"},
      {{"sprites", a, "-o", dir / "sheet.json", "--cell", "1x1"}, 1, "sheet.json: is an existing JSON file"},
      {{"font", a, "-o", dir / "anim.lua", "--cell", "1x1", "--first", "A"}, 1, "anim.lua: is an existing Lua script"},
      {{"sprites", a, dir / "disguised.spr", "--cell", "1x1"}, 1, "disguised.spr: is an existing PNG picture"},
      {{"sprites", a, "-o", dir / "boom.wav", "--cell", "1x1"}, 1, "boom.wav: is an existing WAV sound"},
      {{"font", a, "-o", dir / "boom.sfx", "--cell", "1x1", "--first", "A"}, 1, "boom.sfx: is an existing WAV sound"},
      {{"palette", a, "-o", dir / "cat.gif"}, 1, "cat.gif: is an existing GIF picture"},
      {{"sprites", a, dir / "shot.spr", "--aseprite", dir / "sheet.json"}, 1, "shot.lua: is an existing PNG picture, not a Lua script"},
      {{"palette", a, "-o", pal + "x", "-o", pal}, 2, "-o is given twice"},
      {{"unpack", set, "-o", dir / "anim.lua", "--palette", pal}, 1, "anim.lua: is an existing Lua script, not a PNG picture"},
  };
  // clang-format on
  for (const Case& c : cases) {
    auto run = RunPack(c.args);
    EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, "lunashot-pack: ") && Contains(run.err, c.message))
        << c.message << "\n"
        << run.err;
    std::map<std::string, ByteVector> after;
    for (const std::string& name : dir.Files()) after[name] = dir.Read(name);
    EXPECT_TRUE(after == before) << c.message;
  }
}

}  // namespace
