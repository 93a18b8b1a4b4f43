// lunashot-pack commands run in-process: sheets and file lists to sprite
// sets, fonts, unpacking and the round trip, and every kind of bad input
// (exit status, message, and no output file left behind).
#include "tools/sheet.h"

#include <gtest/gtest.h>

#include <map>

#include <boost/intrusive_ptr.hpp>

#include "tests/unit/pack_fixture.h"
#include "video/palette.h"
#include "video/sprite.h"

namespace {

using namespace tools_test;

TEST(ToolsAlpha, PartialAlphaTakesTheNearestQuarter) {
  std::string levels;
  for (int alpha : {0, 1, 64, 95, 96, 128, 159, 160, 192, 254, 255})
    levels += Show(tools::PixelFromAlpha(std::uint8_t(alpha), 9)) + " ";
  EXPECT_EQ(levels, ". 09/0 09/0 09/0 09/1 09/1 09/1 09/2 09/2 09/2 09 ");
}

TEST(ToolsSpritesCommand, IndexedSheetKeepsIndicesAndEntryAlpha) {
  ScratchDir dir;
  // Entry 10 is fully transparent, 11 half, 12 near a quarter, 13 near three quarters.
  ByteVector alpha(256, 255);
  alpha[10] = 0, alpha[11] = 128, alpha[12] = 60, alpha[13] = 200;
  SavePng(dir / "sheet.png", IndexedImage(6, 2, {10, 5, 11, 12, 10, 10, 10, 10, 10, 255, 13, 0},
                                          CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", dir / "sheet.png", dir / "out.spr", "--cell", "3x2"}));
  // The count, then each sprite's width, height, size and rows.
  EXPECT_EQ(dir.Read("out.spr"),
            Hex("0200 03000000 02000000 0d000000 0900 0180 0100 05 0140 0b01 0000"
                "03000000 02000000 12000000 0400 0140 0c00 0a00 0100 ff 0140 0d02 0100 00"));
  EXPECT_EQ(dir.Files(), (Strings{"out.spr", "sheet.png"}));
}

// Every picture format a sheet may come in goes through the palette: RGBA and
// RGB to the nearest colour, 1-bit indexed by its colours, 8-bit grey, 16-bit RGB.
TEST(ToolsSpritesCommand, EveryPictureFormatMapsToTheNearestPaletteColour) {
  ScratchDir dir;
  std::string pal = SavePal(dir);
  // Red, a half-transparent near-blue, nothing, a near-white opaque.
  SavePng(dir / "rgba.png", RgbaImage(4, 1, {0xff0000ff, 0x0000fa80, 0x12345600, 0xfafafaff}));
  dir.Write("rgb.png", RawPng(2, 1, 8, 2, {}, {0, 0, 0xff, 0, 0, 0, 0}));
  // Black and white, black transparent: pixels 1 0 1 1 0 0 0 1.
  dir.Write("bits.png", RawPng(8, 1, 1, 3, {0, 0, 0, 255, 255, 255}, {0, 0xb1}, {0}));
  dir.Write("grey.png", RawPng(2, 1, 8, 0, {}, {0, 0, 255}));
  dir.Write("deep.png", RawPng(1, 1, 16, 2, {}, {0, 0xff, 0xff, 0, 0, 0, 0}));
  ASSERT_TRUE(Ok({"sprites", "--files", dir / "rgba.png", dir / "rgb.png", dir / "bits.png",
                  dir / "grey.png", dir / "deep.png", dir / "out.spr", "--palette", pal}));
  EXPECT_EQ(Show(ReadSet(dir, "out.spr")), "e0 03/1 . ff; 1c 00; ff . ff ff . . . ff; 00 ff; e0");

  ExpectFail({"sprites", "--files", dir / "rgb.png", dir / "bare.spr"}, 1,
             dir / "rgb.png: an RGB picture has no palette indices; give --palette");
  EXPECT_FALSE(std::filesystem::exists(dir / "bare.spr"));
}

TEST(ToolsRoundTrip, SheetToSpritesToPictureToSpritesIsExact) {
  ScratchDir dir;
  tools::Palette repeating = CubePalette();  // 200 repeats 0 (black) and 201 repeats 1
  repeating[200] = repeating[0], repeating[201] = repeating[1];
  std::string pal = SavePal(dir, repeating);
  ByteVector alpha(256, 255), indices(10 * 8);
  alpha[17] = 0, alpha[200] = 64, alpha[255] = 192, alpha[40] = 130;
  const std::uint8_t kUsed[] = {0, 200, 201, 255, 17, 17, 40, 3, 17, 99, 201};
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = kUsed[(i * 7 + i / 10) % 11];
  SavePng(dir / "sheet.png", IndexedImage(10, 8, indices, repeating, alpha));
  // Five 2x8 cells, unpacked into 3 columns: the sixth cell of the grid is empty.
  ASSERT_TRUE(Ok({"sprites", dir / "sheet.png", dir / "a.spr", "--cell", "2x8"}));
  auto unpack =
      RunPack({"unpack", dir / "a.spr", dir / "a.png", "--palette", pal, "--columns", "3"});
  EXPECT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_TRUE(Has(unpack.out,
                  "5 sprites in 3 columns of 2x8 cells; pack it again with --cell 2x8 --count 5"));
  ASSERT_TRUE(Ok({"sprites", dir / "a.png", dir / "b.spr", "--cell", "2x8", "--count", "5",
                  "--palette", pal}));
  EXPECT_EQ(dir.Read("b.spr"), dir.Read("a.spr"));

  // The same from an RGBA sheet with odd alpha values.
  SavePng(dir / "rgba.png",
          RgbaImage(3, 2, {0x00000001, 0xffffff64, 0x112233fe, 0, 0xff0000ff, 0x00ff00a0}));
  ASSERT_TRUE(Ok({"sprites", dir / "rgba.png", dir / "c.spr", "--cell", "3x1", "--palette", pal}));
  ASSERT_TRUE(Ok({"unpack", dir / "c.spr", dir / "c.png", "--palette", pal}));
  ASSERT_TRUE(Ok({"sprites", dir / "c.png", dir / "d.spr", "--cell", "3x1", "--palette", pal}));
  EXPECT_EQ(dir.Read("d.spr"), dir.Read("c.spr"));

  // An editor repaints the last pixel red but keeps the stale index plane:
  // that pixel goes by its colour, the others keep their indices. Without
  // the plane, repeated colours fall back to their lowest index.
  SavePng(dir / "e.png", IndexedImage(3, 1, {200, 201, 5}, repeating));
  ASSERT_TRUE(Ok({"sprites", dir / "e.png", dir / "e.spr", "--cell", "3x1"}));
  ASSERT_TRUE(Ok({"unpack", dir / "e.spr", dir / "e.png", "--palette", pal}));
  tools::Image edited = LoadPng(dir / "e.png");
  ASSERT_EQ(edited.index_plane, (ByteVector{200, 201, 5}));
  edited.pixels[8] = 255, edited.pixels[9] = 0, edited.pixels[10] = 0;
  for (const char* want : {"c8 c9 e0", "00 01 e0"}) {
    SavePng(dir / "e.png", edited);
    ASSERT_TRUE(Ok({"sprites", dir / "e.png", dir / "e.spr", "--cell", "3x1", "--palette", pal}));
    EXPECT_EQ(Show(ReadSet(dir, "e.spr")), want);
    edited.index_plane.clear();
  }
}

TEST(ToolsUnpack, DrawsTheGridAsDataOrAsTheEngineWould) {
  ScratchDir dir;
  tools::Palette cube = CubePalette();
  std::string pal = SavePal(dir);
  tools::PalFile table;
  std::string error;
  ASSERT_TRUE(base::ReadPalFile(pal, &table, &error)) << error;
  // Sprite 0 is 2x1: opaque 0x1c, blended (0xe0, level 2). Sprite 1 is 1x2 with a blank top.
  dir.Write("s.spr", Hex("0200 02000000 01000000 09000000 0700 0100 1c 0140 e002"
                         "01000000 02000000 08000000 0000 0400 0140 0300"));
  ASSERT_EQ(Show(ReadSet(dir, "s.spr")), "1c e0/2; . | 03/0");

  // As data: two 2x2 cells side by side, blending as alpha.
  ASSERT_TRUE(Ok({"unpack", dir / "s.spr", dir / "data.png", "--palette", pal}));
  EXPECT_EQ(ShowRgba(LoadPng(dir / "data.png")), "00ff00ff ff0000c0 . . | . . 0000ff40 .");

  // As the engine draws them on background colour 2, in one column.
  ASSERT_TRUE(Ok({"unpack", dir / "s.spr", dir / "view.png", "--palette", pal, "--view",
                  "--background", "2", "--columns", "1"}));
  auto colour = [&](int index) {
    char word[9];
    std::snprintf(word, sizeof word, "%08x", unsigned(Rgba(cube[index])));
    return std::string(word);
  };
  std::string bg = colour(2);
  EXPECT_EQ(ShowRgba(LoadPng(dir / "view.png")),
            colour(0x1c) + " " + colour(table.Blend(2, 0xe0, 2)) + " | " + bg + " " + bg + " | " +
                bg + " " + bg + " | " + colour(table.Blend(2, 0x03, 0)) + " " + bg);

  // The default background is a checkerboard of 8-pixel squares.
  ASSERT_TRUE(Ok(
      {"unpack", dir / "s.spr", dir / "check.png", "--palette", pal, "--view", "--columns", "1"}));
  EXPECT_EQ(ShowRgba(LoadPng(dir / "check.png"), 1, 2, 1, 1),
            colour(tools::NearestColour(cube).Find({0xc0, 0xc0, 0xc0})));
}

TEST(ToolsFont, PutsGlyphsAtTheirBytesWithMetricsInSpriteZero) {
  ScratchDir dir;
  // Three 4x5 cells: 'A' uses columns 1-2, 'B' is blank, 'C' uses all four.
  ByteVector alpha(256, 255), px(12 * 5, 0);
  alpha[0] = 0, alpha[9] = 128;
  px[0 * 12 + 1] = 7, px[4 * 12 + 2] = 7, px[2 * 12 + 8] = 9, px[3 * 12 + 11] = 7;
  SavePng(dir / "glyphs.png", IndexedImage(12, 5, px, CubePalette(), alpha));
  auto font = [&](Strings options) {
    options.insert(options.begin(), {"font", dir / "glyphs.png", dir / "f.spr", "--cell", "4x5"});
    EXPECT_TRUE(Ok(options));
    return ReadSet(dir, "f.spr");
  };

  // Glyphs keep their used columns plus one for spacing; sprite 0 holds the metrics.
  SpriteSet a = font({"--first", "A", "--space", "3", "--line", "6"});
  ASSERT_EQ(a.size(), 256u);
  EXPECT_EQ(Size(a[0]), "3x6");
  EXPECT_EQ(a[0].rows, ByteVector(12, 0));
  EXPECT_EQ(Show(a['A']), "07 . . | . . . | . . . | . . . | . 07 .");
  EXPECT_EQ(Show(a['C']), ". . . . . | . . . . . | 09/1 . . . . | . . . 07 . | . . . . .");
  for (int c : {1, int('B'), int('@'), int('D'), 255})
    EXPECT_TRUE(Size(a[c]) == "0x0" && a[c].rows.empty()) << c;

  // Defaults: half the cell width (rounded up) and the cell height; numeric --first.
  SpriteSet b = font({"--first", "0x41"});
  EXPECT_EQ(Size(b[0]), "2x5");
  EXPECT_EQ(b['C'].rows, a['C'].rows);
  // --fixed keeps whole cells, blank ones included.
  b = font({"--first", "A", "--fixed"});
  EXPECT_EQ(Show(b['A']), ". 07 . . | . . . . | . . . . | . . . . | . . 07 .");
  EXPECT_EQ(Size(b['B']) + " " + Size(b['D']), "4x5 0x0");
  // --first 0: the sheet starts at byte 0, whose cell gives way to the metrics.
  b = font({"--first", "0"});
  EXPECT_EQ(b[0].width, 2);
  EXPECT_EQ(b[2].rows, a['C'].rows);
  ExpectFail({"font", dir / "glyphs.png", dir / "f3.spr", "--cell", "4x5", "--first", "254"}, 1,
             "glyphs.png: 3 glyphs from byte 254 pass byte 255");
  EXPECT_EQ(dir.Files(), (Strings{"f.spr", "glyphs.png"}));
}

// The engine's own loader must take the packer's files: every kind of run,
// a split run, empty rows, and a font's empty 0 x 0 sprites.
TEST(ToolsEngineAcceptance, TheEngineLoaderTakesWhatThePackerWrites) {
  ScratchDir dir;
  ByteVector alpha(256, 255), px(5000 * 4, 0);
  alpha[0] = 0, alpha[1] = 100;
  for (int x = 0; x < 5000; ++x) px[x] = std::uint8_t(2 + x % 200);  // opaque, split at 4095
  for (int x = 0; x < 4500; ++x) px[5000 + x] = x % 3 ? 1 : 7;       // blended and opaque
  for (int x = 0; x < 4200; ++x) px[2 * 5000 + x] = 1;               // blended, split at 4095
  px[3 * 5000 + 2] = 9;                                              // transparent, then one pixel
  SavePng(dir / "wide.png", IndexedImage(5000, 4, px, CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", dir / "wide.png", dir / "wide.spr", "--cell", "5000x2"}));
  ASSERT_TRUE(
      Ok({"font", dir / "wide.png", dir / "font.spr", "--cell", "1000x4", "--first", "65"}));
  // The widest sprite both take; one wider the tool refuses, as the engine would.
  const int side = base::kMaxSpriteSide;
  SavePng(dir / "edge.png", IndexedImage(side, 1, ByteVector(side, 5)));
  SavePng(dir / "over.png", IndexedImage(20000, 1, ByteVector(20000, 5)));
  ASSERT_TRUE(Ok({"sprites", "--files", dir / "edge.png", dir / "edge.spr"}));
  ExpectFail({"sprites", "--files", dir / "over.png", dir / "over.spr"}, 1,
             "over.png: a 20000 x 1 sprite is larger than the engine loads");
  ByteVector wider = {1, 0};
  base::AppendSpriteRecord(&wider, 20000, 1, {0, 0});
  std::string error;
  EXPECT_EQ(video::ParseSpriteSet(wider.data(), wider.size(), &error), nullptr);

  for (const char* name : {"wide.spr", "font.spr", "edge.spr"}) {
    ByteVector bytes = dir.Read(name);
    boost::intrusive_ptr<video::SpriteSet> set(
        video::ParseSpriteSet(bytes.data(), bytes.size(), &error));
    ASSERT_TRUE(set) << name << ": " << error;
    SpriteSet ours = ReadSet(dir, name);
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
  ByteVector pal = tools::BuildPalFile(CubePalette(), tools::BlendMode::kMix);
  dir.Write("s.spr", Hex("0100 01000000 01000000 02000000 0000"));
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

struct FailCase {
  Strings args;
  int status;
  std::string message;  // after "lunashot-pack: "
};

// Runs each case and expects its status and message, and every file of the
// directory as it was: none written over, none (nor a temporary) left behind.
void ExpectFailures(const ScratchDir& dir, const std::vector<FailCase>& cases) {
  auto files = [&] {
    std::map<std::string, ByteVector> contents;
    for (const std::string& name : dir.Files()) contents[name] = dir.Read(name);
    return contents;
  };
  const auto before = files();
  for (const FailCase& c : cases) {
    ExpectFail(c.args, c.status, "lunashot-pack: " + c.message);
    EXPECT_TRUE(files() == before) << c.message;
  }
}

TEST(ToolsBadInput, FailsCleanlyWithoutOutput) {
  ScratchDir dir;
  std::string pal = SavePal(dir);
  SavePng(dir / "sheet.png", IndexedImage(6, 4, ByteVector(24, 1)));
  ByteVector png = dir.Read("sheet.png");
  dir.Write("cut.png", ByteVector(png.begin(), png.begin() + long(png.size() / 2)));
  WriteText(dir, "text.png", "not a png\n");
  dir.Write("short.pal", ByteVector(768, 0));
  dir.Write("beyond.png", RawPng(2, 1, 8, 3, ByteVector(12, 50), {0, 1, 9}));  // of 4 colours
  SavePng(dir / "huge.png", IndexedImage(257, 256, ByteVector(257 * 256, 1)));
  dir.Write("bad.spr", Hex("0100 01000000 01000000 06000000 0400 0140 0503"));
  // Sprites of 100000 x 1 (more than a sprite may be) and of 16384 x 16384
  // with empty rows (more than one picture may hold).
  ByteVector wide = {1, 0}, vast = {1, 0};
  base::AppendSpriteRecord(&wide, 100000, 1, {0, 0});
  base::AppendSpriteRecord(&vast, 16384, 16384, ByteVector(2 * 16384, 0));
  dir.Write("wide.spr", wide);
  dir.Write("vast.spr", vast);
  // A valid picture over the pixel limit; one whose IDAT is cut out; one
  // whose text chunk claims 2 GiB in a 47-byte file.
  dir.Write("big.png", RawPng(8193, 4096, 1, 0, {}, {}));
  ByteVector no_data = RawPng(1, 1, 8, 0, {}, {0, 0});
  no_data.erase(no_data.begin() + 33, no_data.end() - 12);  // signature and IHDR, then IEND
  dir.Write("nodata.png", no_data);
  no_data.resize(33);
  for (std::uint8_t b : Hex("7ffffff0 74455874 61 00 62636465")) no_data.push_back(b);  // tEXt
  dir.Write("claim.png", no_data);
  WriteText(dir, "out.spr", "old");

  std::string out = dir / "out.spr", sheet = dir / "sheet.png", opng = dir / "out.png";
  // clang-format off
  ExpectFailures(dir, {
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
  });
  // clang-format on
}

// Every way to name a source, or a file of another kind, as the output is
// refused before anything is read or written.
TEST(ToolsOutputs, NeverWriteOverASourceOrAFileOfAnotherKind) {
  ScratchDir dir;
  std::string pal = SavePal(dir);
  std::string a = dir / "a.png", b = dir / "b.png", set = dir / "set.bin";
  SavePng(a, IndexedImage(2, 2, ByteVector(4, 1)));
  SavePng(b, IndexedImage(2, 2, ByteVector(4, 2)));
  ASSERT_TRUE(Ok({"sprites", "--files", a, "-o", set}));
  SavePng(dir / "disguised.spr", IndexedImage(1, 1, {0}));
  WriteText(dir, "art.gpl", "GIMP Palette\n1 2 3\n");
  WriteText(dir, "sheet.json", " {\"frames\": []}");
  WriteText(dir, "anim.lua", "kind:SetAnim(0, 0, 1, 4, true)\n");
  WriteText(dir, "cat.gif", "GIF89a....");
  for (const char* name : {"boom.wav", "boom.sfx"})
    WriteText(dir, name, std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
  WriteText(dir, "shot.lua", "\x89PNG\r\n\x1a\n");

  std::string unended = "no output named: the last file, " + b + ", does not end in .";
  auto existing = [&](const std::string& name, const std::string& kind) {
    return dir / name + ": is an existing " + kind;
  };
  // clang-format off
  ExpectFailures(dir, {
      {{"sprites", "--files", a, b, "--palette", pal}, 2, unended + "spr"},
      {{"sprites", a, b, "--cell", "1x1"}, 2, unended + "spr; end the output's name in .spr or give -o OUT"},
      {{"font", a, b, "--cell", "1x1", "--first", "A"}, 2, unended + "spr"},
      {{"palette", a, b}, 2, unended + "pal"},
      {{"unpack", set, dir / "art.gpl", "--palette", pal}, 2, "no output named: the last file, " + dir / "art.gpl, does not end in .png"},
      {{"sprites", a, "-o", a, "--cell", "1x1"}, 1, a + ": is also an input"},
      {{"sprites", "--files", a, b, "-o", dir / "./b.png"}, 1, dir / "./b.png: is also an input"},
      {{"sprites", a, "-o", pal, "--cell", "1x1", "--palette", pal}, 1, pal + ": is also an input"},
      {{"unpack", set, "-o", set, "--palette", pal}, 1, set + ": is also an input"},
      {{"sprites", a, "-o", dir / "art.gpl", "--cell", "1x1"}, 1, existing("art.gpl", "GIMP palette, not a")},
      {{"sprites", a, "-o", dir / "sheet.json", "--cell", "1x1"}, 1, existing("sheet.json", "JSON file")},
      {{"font", a, "-o", dir / "anim.lua", "--cell", "1x1", "--first", "A"}, 1, existing("anim.lua", "Lua script")},
      {{"sprites", a, dir / "disguised.spr", "--cell", "1x1"}, 1, existing("disguised.spr", "PNG picture")},
      {{"sprites", a, "-o", dir / "boom.wav", "--cell", "1x1"}, 1, existing("boom.wav", "WAV sound")},
      {{"font", a, "-o", dir / "boom.sfx", "--cell", "1x1", "--first", "A"}, 1, existing("boom.sfx", "WAV sound")},
      {{"palette", a, "-o", dir / "cat.gif"}, 1, existing("cat.gif", "GIF picture")},
      {{"sprites", a, dir / "shot.spr", "--aseprite", dir / "sheet.json"}, 1, existing("shot.lua", "PNG picture, not a Lua script")},
      {{"palette", a, "-o", pal + "x", "-o", pal}, 2, "-o is given twice"},
      {{"unpack", set, "-o", dir / "anim.lua", "--palette", pal}, 1, existing("anim.lua", "Lua script, not a PNG picture")},
  });
  // clang-format on
}

}  // namespace
