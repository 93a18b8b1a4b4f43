// lunashot-pack commands run in-process: sheets and file lists to sprite
// sets, fonts, unpacking and the round trip, and every kind of bad input
// (exit status, message, and no output file left behind).
#include "tools/sheet.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <tuple>

#include <boost/intrusive_ptr.hpp>

#include "tests/unit/pack_fixture.h"
#include "video/palette.h"
#include "video/sprite.h"

namespace {

using namespace tools_test;

// An indexed sheet keeps its indices and the alpha of its entries (to the
// nearest quarter). Every other picture format goes through the palette: RGBA
// and RGB to the nearest colour, 1-bit indexed by its colours, 8-bit grey,
// 16-bit RGB.
TEST(ToolsSpritesCommand, IndicesStayOtherFormatsMapToTheNearestPaletteColour) {
  std::string levels;
  for (int alpha : {0, 1, 64, 95, 96, 128, 159, 160, 192, 254, 255})
    levels += Show(tools::PixelFromAlpha(std::uint8_t(alpha), 9)) + " ";
  EXPECT_EQ(levels, ". 09/0 09/0 09/0 09/1 09/1 09/1 09/2 09/2 09/2 09 ");
  ScratchDir dir;
  // Entry 10 is fully transparent, 11 half, 12 near a quarter, 13 near three quarters.
  ByteVector alpha(256, 255);
  alpha[10] = 0, alpha[11] = 128, alpha[12] = 60, alpha[13] = 200;
  SavePng("sheet.png", IndexedImage(6, 2, {10, 5, 11, 12, 10, 10, 10, 10, 10, 255, 13, 0},
                                    CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", "sheet.png", "out.spr", "--cell", "3x2"}));
  // The count, then each sprite's width, height, size and rows.
  EXPECT_EQ(dir.Read("out.spr"),
            Hex("0200 03000000 02000000 0d000000 0900 0180 0100 05 0140 0b01 0000"
                "03000000 02000000 12000000 0400 0140 0c00 0a00 0100 ff 0140 0d02 0100 00"));

  std::string pal = SavePal(dir);
  // Red, a half-transparent near-blue, nothing, a near-white opaque.
  SavePng("rgba.png", RgbaImage(4, 1, {0xff0000ff, 0x0000fa80, 0x12345600, 0xfafafaff}));
  dir.Write("rgb.png", RawPng(2, 1, 8, 2, {}, {0, 0, 0xff, 0, 0, 0, 0}));
  // 1 bit a pixel, black and white, black transparent: pixels 1 0 1 1 0 0 0 1.
  tools::Image bits =
      IndexedImage(8, 1, {1, 0, 1, 1, 0, 0, 0, 1}, {Rgb{0, 0, 0}, {255, 255, 255}}, {0});
  bits.palette.resize(2), bits.bit_depth = 1;
  SavePng("bits.png", bits);
  dir.Write("grey.png", RawPng(2, 1, 8, 0, {}, {0, 0, 255}));
  dir.Write("deep.png", RawPng(1, 1, 16, 2, {}, {0, 0xff, 0xff, 0, 0, 0, 0}));
  ASSERT_TRUE(Ok({"sprites", "--files", "rgba.png", "rgb.png", "bits.png", "grey.png", "deep.png",
                  "all.spr", "--palette", pal}));
  EXPECT_EQ(Show(ReadSet(dir, "all.spr")), "e0 03/1 . ff; 1c 00; ff . ff ff . . . ff; 00 ff; e0");
  EXPECT_EQ(dir.Files(), (Strings{"all.spr", "bits.png", "deep.png", "grey.png", "out.spr",
                                  "pal.pal", "rgb.png", "rgba.png", "sheet.png"}));
}

// Unpacked, a set is a sheet to pack again exactly, or a picture of what the
// engine would draw.
TEST(ToolsUnpack, PacksBackExactlyOrDrawsAsTheEngineWould) {
  ScratchDir dir;
  tools::Palette repeating = CubePalette();  // 200 repeats 0 (black) and 201 repeats 1
  repeating[200] = repeating[0], repeating[201] = repeating[1];
  std::string pal = "pal.pal", error;
  // The engine, and so the tool, ignores what follows a palette file's 197376 bytes.
  ByteVector table = tools::BuildPalFile(repeating, tools::BlendMode::kMix);
  table.push_back(7);
  dir.Write(pal, table);
  EXPECT_TRUE(video::LoadPalette("pal.pal", &error)) << error;
  ByteVector alpha(256, 255), indices(10 * 8);
  alpha[17] = 0, alpha[200] = 64, alpha[255] = 192, alpha[40] = 130;
  const std::uint8_t kUsed[] = {0, 200, 201, 255, 17, 17, 40, 3, 17, 99, 201};
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = kUsed[(i * 7 + i / 10) % 11];
  SavePng("sheet.png", IndexedImage(10, 8, indices, repeating, alpha));
  // Five 2x8 cells, unpacked into 3 columns: the sixth cell of the grid is empty.
  ASSERT_TRUE(Ok({"sprites", "sheet.png", "a.spr", "--cell", "2x8"}));
  auto unpack = RunPack({"unpack", "a.spr", "a.png", "--palette", pal, "--columns", "3"});
  EXPECT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_TRUE(Has(unpack.out,
                  "5 sprites in 3 columns of 2x8 cells; pack it again with --cell 2x8 --count 5"));
  ASSERT_TRUE(Ok({"sprites", "a.png", "b.spr", "--cell", "2x8", "--count", "5", "--palette", pal}));
  EXPECT_EQ(dir.Read("b.spr"), dir.Read("a.spr"));
  // An editor repaints the last pixel red but keeps the stale index plane:
  // that pixel goes by its colour, the others keep their indices. Without
  // the plane, repeated colours fall back to their lowest index.
  SavePng("e.png", IndexedImage(3, 1, {200, 201, 5}, repeating));
  ASSERT_TRUE(Ok({"sprites", "e.png", "e.spr", "--cell", "3x1"}));
  ASSERT_TRUE(Ok({"unpack", "e.spr", "e.png", "--palette", pal}));
  tools::Image edited = LoadPng("e.png");
  ASSERT_EQ(edited.index_plane, (ByteVector{200, 201, 5}));
  edited.pixels[8] = 255, edited.pixels[9] = 0, edited.pixels[10] = 0;
  for (const char* want : {"c8 c9 e0", "00 01 e0"}) {
    SavePng("e.png", edited);
    ASSERT_TRUE(Ok({"sprites", "e.png", "e.spr", "--cell", "3x1", "--palette", pal}));
    EXPECT_EQ(Show(ReadSet(dir, "e.spr")), want);
    edited.index_plane.clear();
  }
  // Sprite 0 is 2x1: opaque 0x1c, blended (0xe0, level 2). Sprite 1 is 1x2 with a blank top.
  dir.Write("s.spr", Hex("0200 02000000 01000000 09000000 0700 0100 1c 0140 e002"
                         "01000000 02000000 08000000 0000 0400 0140 0300"));
  // As data: two 2x2 cells side by side, blending as alpha.
  ASSERT_TRUE(Ok({"unpack", "s.spr", "data.png", "--palette", pal}));
  EXPECT_EQ(ShowRgba(LoadPng("data.png")), "00ff00ff ff0000c0 . . | . . 0000ff40 .");
  // As the engine draws them on background colour 2, in one column.
  ASSERT_TRUE(Ok({"unpack", "s.spr", "view.png", "--palette", pal, "--view", "--background", "2",
                  "--columns", "1"}));
  auto colour = [&](int index) { return Word(Rgba(repeating[index])); };
  auto blend = [&](int s, int level) { return colour(table[768 + (2 * 256 + s) * 3 + level]); };
  std::string bg = colour(2), row = " | " + bg + " " + bg;
  EXPECT_EQ(ShowRgba(LoadPng("view.png")),
            colour(0x1c) + " " + blend(0xe0, 2) + row + row + " | " + blend(3, 0) + " " + bg);
  // The default background is a checkerboard of 8-pixel squares.
  ASSERT_TRUE(Ok({"unpack", "s.spr", "check.png", "--palette", pal, "--view", "--columns", "1"}));
  EXPECT_EQ(ShowRgba(LoadPng("check.png"), 1, 2, 1, 1),
            colour(tools::NearestColour(repeating).Find({0xc0, 0xc0, 0xc0})));
}

// A grid font puts its glyphs at their bytes, sprite 0 the metrics; a strip
// font's glyphs are divided by columns of a separator colour, in the order
// --chars gives.
TEST(ToolsFont, PutsGlyphsAtTheirBytesWithMetricsInSpriteZero) {
  ScratchDir dir;
  // Three 4x5 cells: 'A' uses columns 1-2, 'B' is blank, 'C' uses all four.
  ByteVector alpha(256, 255), px(12 * 5, 0);
  alpha[0] = 0, alpha[9] = 128;
  px[0 * 12 + 1] = 7, px[4 * 12 + 2] = 7, px[2 * 12 + 8] = 9, px[3 * 12 + 11] = 7;
  SavePng("glyphs.png", IndexedImage(12, 5, px, CubePalette(), alpha));
  auto font = [&](Strings options) {
    options.insert(options.begin(), {"font", "glyphs.png", "f.spr", "--cell", "4x5"});
    EXPECT_TRUE(Ok(options));
    return ReadSet(dir, "f.spr");
  };
  // Glyphs keep their used columns plus one for spacing; sprite 0 holds the metrics.
  SpriteSet a = font({"--first", "A", "--space", "3", "--line", "6"});
  ASSERT_EQ(a.size(), 256u);
  EXPECT_TRUE(Size(a[0]) == "3x6" && a[0].rows == ByteVector(12, 0));
  EXPECT_EQ(Show(a['A']), "07 . . | . . . | . . . | . . . | . 07 .");
  EXPECT_EQ(Show(a['C']), ". . . . . | . . . . . | 09/1 . . . . | . . . 07 . | . . . . .");
  for (int c : {1, int('B'), int('@'), int('D'), 255})
    EXPECT_TRUE(Size(a[c]) == "0x0" && a[c].rows.empty()) << c;
  // Defaults: half the cell width (rounded up) and the cell height; numeric --first.
  SpriteSet b = font({"--first", "0x41"});
  EXPECT_TRUE(Size(b[0]) == "2x5" && b['C'].rows == a['C'].rows);
  // --fixed keeps whole cells, blank ones included.
  b = font({"--first", "A", "--fixed"});
  EXPECT_EQ(Show(b['A']), ". 07 . . | . . . . | . . . . | . . . . | . . 07 .");
  EXPECT_EQ(Size(b['B']) + " " + Size(b['D']), "4x5 0x0");
  // --first 0: the sheet starts at byte 0, whose cell gives way to the metrics.
  b = font({"--first", "0"});
  EXPECT_TRUE(b[0].width == 2 && b[2].rows == a['C'].rows);
  // Strip: separator (red) | 2 columns | red | 3 columns | red | 1 column | red.
  const std::uint32_t s = 0xff0000ff, o = 0x00ff00ff, t = 0;
  SavePng("strip.png", RgbaImage(10, 2, {s, o, t, s, o, o, o, s, t, s,  //
                                         s, t, o, s, o, t, o, s, o, s}));
  std::string pal = SavePal(dir);
  auto strip = [&](const std::string& separator, const std::string& chars) {
    return Strings{"font", "strip.png", "s.spr", "--separator", separator, "--chars",
                   chars,  "--palette", pal};
  };
  ASSERT_TRUE(Ok(strip("#FF0000", "iMj")));
  ByteVector hex = dir.Read("s.spr");
  ASSERT_TRUE(Ok(strip("auto", "iMj")));
  EXPECT_EQ(dir.Read("s.spr"), hex);
  SpriteSet glyphs = ReadSet(dir, "s.spr");  // green is cube entry 0x1c
  EXPECT_EQ(Show(glyphs['i']) + "; " + Show(glyphs['M']) + "; " + Show(glyphs['j']),
            "1c . . | . 1c .; 1c 1c 1c . | 1c . 1c .; . . | 1c .");
  ExpectFail(strip("auto", "abcd"), 1,
             "--chars names 4 characters but the sheet has only 3 glyphs");
  EXPECT_EQ(dir.Files(), (Strings{"f.spr", "glyphs.png", "pal.pal", "s.spr", "strip.png"}));
}

// The engine's own loader takes the packer's files: runs split at 4095
// pixels (4096 would spill into the code's kind bits), every kind of run,
// empty rows, a font's 0 x 0 sprites, and the widest sprite. The set coder
// refuses what the engine would.
TEST(ToolsEngineAcceptance, TheEngineLoaderTakesWhatThePackerWrites) {
  ScratchDir dir;
  const int side = base::kMaxSpriteSide;
  ByteVector alpha(256, 255), px(2 * side, 0);
  alpha[0] = 0, alpha[1] = 64, alpha[2] = 128, alpha[3] = 192;  // clear, blend levels 0-2
  // Row 0: 5000 clear, 5000 opaque, 4096 blended, 1 opaque. Row 1: blended
  // and opaque mixed, then one pixel after a gap.
  for (int i = 0; i < 5000; ++i) px[5000 + i] = std::uint8_t(4 + i % 250);
  for (int i = 0; i < 4096; ++i) px[10000 + i] = std::uint8_t(1 + i % 3);
  px[14096] = 42, px[side + 6000] = 9;
  for (int i = 0; i < 4500; ++i) px[side + i] = i % 3 ? 1 : 7;
  SavePng("wide.png", IndexedImage(side, 2, px, CubePalette(), alpha));
  ASSERT_TRUE(Ok({"sprites", "--files", "wide.png", "wide.spr"}));
  ASSERT_TRUE(Ok({"font", "wide.png", "font.spr", "--cell", "4096x2", "--first", "65"}));
  ByteVector want = Hex("0000 ff8f 8983");  // the row's length, then 4095 and 905 clear
  for (int from : {0, 4095}) {
    int n = from ? 905 : 4095;
    want.insert(want.end(), {std::uint8_t(n), std::uint8_t(n >> 8)});
    for (int i = from; i < from + n; ++i) want.push_back(std::uint8_t(4 + i % 250));
  }
  want.insert(want.end(), {0xff, 0x4f});
  for (int i = 0; i < 4095; ++i)
    want.insert(want.end(), {std::uint8_t(1 + i % 3), std::uint8_t(i % 3)});
  for (std::uint8_t b : Hex("0140 0100 0100 2a")) want.push_back(b);
  want[0] = std::uint8_t(want.size() - 2), want[1] = std::uint8_t((want.size() - 2) >> 8);
  ByteVector rows = ReadSet(dir, "wide.spr").at(0).rows;
  rows.resize(want.size());  // row 0
  EXPECT_EQ(rows, want);
  std::string error;
  for (const char* name : {"wide.spr", "font.spr"}) {
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
  // One wider the engine refuses, as the tool does (ToolsBadInput).
  ByteVector wider = Hex("0100 204e0000 01000000 02000000 0000");
  EXPECT_EQ(video::ParseSpriteSet(wider.data(), wider.size(), &error), nullptr);
  EXPECT_FALSE(base::EncodeSpriteSet({{300, 1, {}}}, &wider, &error));  // a row without its data
  EXPECT_EQ(error, "sprite 0: row 0: the data ends before the row");
  ASSERT_TRUE(base::EncodeSpriteSet(SpriteSet(65535), &wider, &error));
  EXPECT_EQ(ByteVector(wider.begin(), wider.begin() + 2), Hex("ffff"));
  EXPECT_FALSE(base::EncodeSpriteSet(SpriteSet(65536), &wider, &error));
  EXPECT_EQ(error, "65536 sprites, more than a sprite set can hold (65535)");
}

// Each bad input, and every way to name a source or a file of another kind
// as the output: the status, a message naming the file and the problem, and
// every file as it was (none written over, none nor a temporary left behind).
// `sound` says what it converted and writes the native WAV, which loads as it is.
TEST(ToolsSound, ConvertsToTheNativeWav) {
  ScratchDir dir;
  // 0.1 s of 16-bit silence at 48000 Hz.
  ByteVector wav =
      Hex("52494646 a4250000 57415645 666d7420 10000000 0100 0100 80bb0000 00770100"
          "0200 1000 64617461 80250000");
  wav.resize(wav.size() + 9600);
  dir.Write("in.wav", wav);
  RunResult run = RunPack({"sound", "in.wav", "out.wav"});
  EXPECT_TRUE(
      Has(run.out, "in.wav: WAV (Microsoft), Signed 16 bit PCM, 48000 Hz, 1 channel, 0.100 s"));
  run = RunPack({"sound", "--check", "out.wav"});
  EXPECT_TRUE(Has(run.out,
                  "out.wav: WAV (Microsoft), Unsigned 8 bit PCM, 11025 Hz, 1 channel, "
                  "0.100 s: native, loads as it is"));
}

TEST(ToolsBadInput, FailsCleanlyAndNeverWritesOverAFile) {
  ScratchDir dir;
  std::string pal = SavePal(dir), sheet = "sheet.png", b = "b.png";
  std::string out = "out.spr", opng = "out.png", set = "set.bin";
  SavePng(sheet, IndexedImage(6, 4, ByteVector(24, 1)));
  SavePng(b, IndexedImage(2, 2, ByteVector(4, 2)));
  ASSERT_TRUE(Ok({"sprites", "--files", sheet, "-o", set}));
  ByteVector png = dir.Read("sheet.png");
  dir.Write("cut.png", ByteVector(png.begin(), png.begin() + long(png.size() / 2)));
  dir.Write("short.pal", ByteVector(base::kPalFileBytes - 1, 0));
  dir.Write("rgb.png", RawPng(2, 1, 8, 2, {}, {0, 0, 0xff, 0, 0, 0, 0}));
  SavePng("over.png", IndexedImage(20000, 1, ByteVector(20000, 5)));  // wider than a sprite
  dir.Write("beyond.png", RawPng(2, 1, 8, 3, ByteVector(12, 50), {0, 1, 9}));  // of 4 colours
  SavePng("huge.png", IndexedImage(257, 256, ByteVector(257 * 256, 1)));
  dir.Write("bad.spr", Hex("0100 01000000 01000000 06000000 0400 0140 0503"));
  dir.Write("wide.spr", Hex("0100 a0860100 01000000 02000000 0000"));  // 100000 x 1
  ByteVector vast = {1, 0};  // 16384 x 16384, empty rows: more than one picture may hold
  base::AppendSpriteRecord(&vast, 16384, 16384, ByteVector(2 * 16384, 0));
  dir.Write("vast.spr", vast);
  dir.Write("big.png", RawPng(8193, 4096, 1, 0, {}, {}));  // valid, over the pixel limit
  ByteVector no_data = RawPng(1, 1, 8, 0, {}, {0, 0});
  no_data.erase(no_data.begin() + 33, no_data.end() - 12);  // signature and IHDR, then IEND
  dir.Write("nodata.png", no_data);
  no_data.resize(33);
  for (std::uint8_t c : Hex("7ffffff0 74455874 61 00 62636465")) no_data.push_back(c);  // tEXt
  dir.Write("claim.png", no_data);  // a text chunk claiming 2 GiB in a 47-byte file
  SavePng("disguised.spr", IndexedImage(1, 1, {0}));
  ByteVector pcx(128, 0), bmp = Hex("424d 36000000 00000000 36000000 28000000 204e0000 204e0000"
                                    "0100 1800 00000000 00000000 00000000 00000000 00000000 00000000");
  pcx[0] = 0x0a, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 1;  // ZSoft's header
  dir.Write("pic.pcx", pcx);
  dir.Write("big.bmp", bmp);  // 20000 x 20000
  dir.Write("cut.jpg", Hex("ffd8ffe0 0010 4a464946 00"));
  dir.Write("empty.gif", Hex("474946383961 0100 0100 00 00 00 3b"));  // the trailer at once
  dir.Write("huff.jpg", Hex("ffd8 ffc4 0013 00 20202020 20202020 20202020 20202020"));  // 512 codes
  ASSERT_EQ(mkfifo("pipe.png", 0600), 0);  // a FIFO nobody writes
  const std::string wav("RIFF\x24\0\0\0WAVEfmt ", 16);
  // clang-format off
  for (const auto& [name, text] : std::map<std::string, std::string>{
           {"text.png", "not a png\n"}, {"out.spr", "old"}, {"art.gpl", "GIMP Palette\n1 2 3\n"},
           {"sheet.json", " {\"frames\": []}"}, {"anim.lua", "kind:SetAnim(0, 0, 1, 4, true)\n"},
           {"cat.gif", "GIF89a...."}, {"boom.wav", wav}, {"boom.sfx", wav}, {"shot.lua", "\x89PNG\r\n\x1a\n"}})
    WriteText(dir, name, text);
  // clang-format on

  std::string unended = "no output named: the last file, " + b + ", does not end in .";
  auto existing = [&](const std::string& name, const std::string& kind) {
    return name + ": is an existing " + kind;
  };
  // Each case: the arguments, the status, and the message after "lunashot-pack: ".
  // clang-format off
  const std::tuple<Strings, int, std::string> cases[] = {
      {{"sprites", "text.png", out, "--cell", "2x2"}, 1, "text.png: not a picture lunashot-pack reads (PNG, JPEG, BMP, TGA or GIF)"},
      {{"sprites", "pic.pcx", out, "--cell", "2x2"}, 1, "pic.pcx: a PCX picture, which lunashot-pack does not read; save it as PNG"},
      {{"sprites", "big.bmp", out, "--cell", "2x2"}, 1, "big.bmp: too large: 20000 x 20000 pixels, the limit is 65535 pixels a side and 33554432 pixels in all"},
      {{"palette", "cut.jpg", "cut.pal"}, 1, "cut.jpg: a damaged or unsupported JPEG picture"},
      {{"palette", "empty.gif", "empty.pal"}, 1, "empty.gif: a GIF picture that holds no frame"},
      {{"palette", "huff.jpg", "huff.pal"}, 1, "huff.jpg: a damaged JPEG picture (a Huffman table of more than 256 codes)"},
      {{"palette", sheet, "-o", "big.bmp"}, 1, existing("big.bmp", "BMP picture")},
      {{"sprites", sheet, out, "--cell", "2x2", "--alpha-floor", "256"}, 2, "--alpha-floor 256: expected a whole number from 0 to 255"},
      {{"sprites", "cut.png", out, "--cell", "2x2"}, 1, "cut.png: corrupt PNG: the file is truncated (a chunk of 768 bytes"},
      {{"sprites", "nothing.png", out, "--cell", "2x2"}, 1, "nothing.png: cannot open: No such file"},
      {{"sprites", "big.png", out, "--cell", "1x1"}, 1, "big.png: too large: 8193 x 4096 pixels, the limit is 65535 pixels a side and 33554432 pixels in all"},
      {{"sprites", "nodata.png", out, "--cell", "1x1"}, 1, "nodata.png: the PNG has no image data (its IEND chunk comes before any IDAT chunk)"},
      {{"palette", "pipe.png", "pipe.pal"}, 1, "pipe.png: cannot read: not a regular file"},
      {{"palette", "claim.png", "claim.pal"}, 1, "claim.png: corrupt PNG: the file is truncated (a chunk of 2147483632 bytes at byte 33, only 2 left)"},
      {{"sprites", sheet, out, "--cell", "4x4"}, 1, sheet + ": the 6x4 sheet is not a whole number of 4x4 cells"},
      {{"sprites", sheet, out, "--cell", "2x8"}, 1, sheet + ": a 2x8 cell does not fit the 6x4 sheet"},
      {{"sprites", sheet, out, "--cell", "2x2", "--count", "7"}, 1, sheet + ": --count 7 but the sheet has only 6 cells of 2x2"},
      {{"sprites", "huge.png", out, "--cell", "1x1"}, 1, "huge.png: 65792 cells of 1x1, more than a sprite set can hold (65535)"},
      {{"sprites", "beyond.png", out, "--cell", "1x1"}, 1, "beyond.png: pixel (1, 0) has colour index 9, which is not in the PNG's 4-colour palette"},
      {{"sprites", sheet, out, "--cell", "4x3", "--spacing", "1"}, 1, sheet + ": the 6x4 sheet is not a whole number of 4x3 cells, spacing 1"},
      {{"sprites", "--files", "rgb.png", out}, 1, "rgb.png: an RGB picture has no palette indices; give --palette"},
      {{"sprites", "--files", "over.png", out}, 1, "over.png: a 20000 x 1 sprite is larger than the engine loads"},
      {{"font", sheet, out, "--cell", "2x4", "--first", "254"}, 1, sheet + ": 3 glyphs from byte 254 pass byte 255"},
      {{"font", sheet, out, "--separator", "auto", "--chars", "aba"}, 2, "--chars: 'a' is given twice"},
      {{"sprites", sheet, out, "--cell", "2x2", "--palette", "short.pal"}, 1, "short.pal: only 197375 bytes; a palette file has 197376"},
      {{"sprites", "--files", sheet, "text.png", out}, 1, "text.png: not a picture lunashot-pack reads"},
      {{"font", "text.png", out, "--cell", "2x2", "--first", "33"}, 1, "text.png: not a picture lunashot-pack reads"},
      {{"unpack", "bad.spr", opng, "--palette", pal}, 1, "bad.spr: sprite 0: row 0: blend level 3 (levels are 0-2)"},
      {{"unpack", "wide.spr", opng, "--palette", pal}, 1, "wide.spr: sprite 0: bad size 100000 x 1"},
      {{"unpack", sheet, opng, "--palette", pal}, 1, sheet + ": "},
      {{"unpack", "bad.spr", opng}, 2, "unpack needs --palette PAL"},
      {{"unpack", "vast.spr", opng, "--palette", pal}, 1, "vast.spr: a sheet of 1 x 1 cells of 16384x16384 is too large for a PNG here"},
      {{"palette", sheet, "no/such/dir.pal"}, 1, "no/such/dir.pal: cannot create: No such"},
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
      {{"sprites", "--files", sheet, b, "--palette", pal}, 2, unended + "spr"},
      {{"sprites", sheet, b, "--cell", "1x1"}, 2, unended + "spr; end the output's name in .spr or give -o OUT"},
      {{"font", sheet, b, "--cell", "1x1", "--first", "A"}, 2, unended + "spr"},
      {{"palette", sheet, b}, 2, unended + "pal"},
      {{"unpack", set, "art.gpl", "--palette", pal}, 2, "no output named: the last file, art.gpl, does not end in .png"},
      {{"sprites", sheet, "-o", sheet, "--cell", "1x1"}, 1, sheet + ": is also an input"},
      {{"sprites", "--files", sheet, b, "-o", "./b.png"}, 1, "./b.png: is also an input"},
      {{"sprites", sheet, "-o", pal, "--cell", "1x1", "--palette", pal}, 1, pal + ": is also an input"},
      {{"unpack", set, "-o", set, "--palette", pal}, 1, set + ": is also an input"},
      {{"sprites", sheet, "-o", "art.gpl", "--cell", "1x1"}, 1, existing("art.gpl", "GIMP palette, not a")},
      {{"sprites", sheet, "-o", "sheet.json", "--cell", "1x1"}, 1, existing("sheet.json", "JSON file")},
      {{"font", sheet, "-o", "anim.lua", "--cell", "1x1", "--first", "A"}, 1, existing("anim.lua", "Lua script")},
      {{"sprites", sheet, "disguised.spr", "--cell", "1x1"}, 1, existing("disguised.spr", "PNG picture")},
      {{"sprites", sheet, "-o", "boom.wav", "--cell", "1x1"}, 1, existing("boom.wav", "WAV sound")},
      {{"font", sheet, "-o", "boom.sfx", "--cell", "1x1", "--first", "A"}, 1, existing("boom.sfx", "WAV sound")},
      {{"palette", sheet, "-o", "cat.gif"}, 1, existing("cat.gif", "GIF picture")},
      {{"sprites", sheet, "shot.spr", "--aseprite", "sheet.json"}, 1, existing("shot.lua", "PNG picture, not a Lua script")},
      {{"sprites", sheet, "anim.spr", "--aseprite", "sheet.json"}, 1, "anim.lua: is a Lua script lunashot-pack did not write (its first line is not"},
      {{"palette", sheet, "-o", pal + "x", "-o", pal}, 2, "-o is given twice"},
      {{"unpack", set, "-o", "anim.lua", "--palette", pal}, 1, existing("anim.lua", "Lua script, not a PNG picture")},
      {{"sound", "--check", "boom.wav"}, 1, "boom.wav: cannot be used: not a sound file that can be decoded"},
      {{"sound", "boom.wav", "./boom.wav"}, 2, "./boom.wav: is also an input"},
  };
  // clang-format on
  auto files = [&] {
    std::map<std::string, ByteVector> contents;
    for (const std::string& name : dir.Files())
      if (std::filesystem::is_regular_file(name)) contents[name] = dir.Read(name);
    return contents;
  };
  const auto before = files();
  for (const auto& [args, status, message] : cases) {
    ExpectFail(args, status, "lunashot-pack: " + message);
    EXPECT_TRUE(files() == before) << message;
  }
}

}  // namespace
