// Video: start-up, Present, the palette upload and frame recording against a display that keeps
// what it is sent (fades: golden frames); DrawSprite and DrawSpriteSolid against a pixel-by-pixel
// reference render; Draw and DrawFont limits and clipping (text and bad sets: video_golden).
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

#include "tests/unit/fake_platform.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"
#include "video/masked_rows.h"
#include "video/palette.h"
#include "video/recorder.h"
#include "video/text.h"

namespace {

using namespace video_test;
using test_support::FakeDisplay;

// A palette file whose colour i is (i, 255 - i, i / 2) and whose blend
// entries count up.
Bytes PaletteFile() {
  Bytes b;
  for (int i = 0; i < 256; ++i)
    b.insert(b.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
  for (int i = 0; i < 65536 * 3; ++i) b.push_back(std::uint8_t(i * 13));
  return b;
}

class Video : public ::testing::Test {
 protected:
  void TearDown() override { video::QuitVideo(); }
  bool Init(std::string* error = nullptr) {
    std::string e;
    return video::InitVideo(error ? error : &e);
  }
  void Start() {
    game_.Write("sprite/pal.pal", PaletteFile());
    ASSERT_TRUE(Init());
  }
  // Whether the display's last palette is the 256 colours at `want`.
  bool LastPaletteIs(const std::vector<video::Color>& want) const {
    return !display_.palettes.empty() &&
           std::memcmp(display_.palettes.back().data(), want.data(), 256 * 3) == 0;
  }
  test_support::ScratchDir game_{"lunashot-video", {"sprite"}};
  FakeDisplay display_;
  test_support::FakeBackends backends_{{nullptr, &display_, nullptr, nullptr, nullptr}};
};

TEST_F(Video, StartsWithABlackPalette) {
  Start();
  ASSERT_TRUE(display_.opens == 1 && display_.palettes.size() == 1u);
  EXPECT_TRUE(LastPaletteIs(std::vector<video::Color>(256, {0, 0, 0})));
  EXPECT_EQ(video::BlendTable[65536 * 3 - 1], static_cast<std::uint8_t>((65536 * 3 - 1) * 13));
  EXPECT_TRUE(video::Screen->size == 76800 && video::BackBuffer->size == 76800);
  video::QuitVideo();
  EXPECT_TRUE(video::BackBuffer == nullptr && display_.closes == 1);
}

TEST_F(Video, MissingOrShortPaletteFailsWithACause) {
  std::string error;
  EXPECT_FALSE(Init(&error));
  EXPECT_NE(error.find("pal.pal: No such file"), std::string::npos) << error;
  Bytes shorter = PaletteFile();
  shorter.pop_back();
  game_.Write("sprite/pal.pal", shorter);
  EXPECT_FALSE(Init(&error));
  EXPECT_NE(error.find("only 197375 bytes"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos);
  game_.Write("sprite/pal.pal", PaletteFile());
  display_.can_open = false;
  EXPECT_FALSE(Init(&error));
  EXPECT_EQ(error, "no window");
}

TEST_F(Video, OnlyAdjustPaletteReachesTheDisplay) {
  Start();
  video::SetPalette(1, 2, 3);
  video::FadeIn(4);
  video::ResetPalette();
  video::FadeOutWhite(9);
  video::BackBuffer->pixels[5] = 42;
  video::Present();
  video::Present();
  // Neither the fades nor Present upload a palette.
  EXPECT_TRUE(display_.palettes.size() == 1u && display_.frames == 2);
  EXPECT_EQ(std::memcmp(display_.frame.data(), video::BackBuffer->pixels, 76800), 0);

  video::SetPalette(1, 2, 3);
  video::AdjustPalette();
  EXPECT_TRUE(LastPaletteIs(std::vector<video::Color>(256, {1, 2, 3})));
  video::ResetPalette();
  video::AdjustPalette();
  EXPECT_TRUE(LastPaletteIs({video::BasePalette, video::BasePalette + 256}));
  EXPECT_EQ(display_.palettes.size(), 3u);
}

// Reads a recorded frame back as RGB.
Bytes ReadPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  Bytes rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  return rgb;
}

TEST_F(Video, RecordsEachPresentThroughTheShownPalette) {
  Start();
  std::string dir = game_.path() + "/frames";
  video::StartRecording(dir);
  video::BackBuffer->pixels[320 * 10 + 3] = 200;
  video::ResetPalette();  // not uploaded: the first frame stays black
  video::Present();
  video::AdjustPalette();
  video::Present();
  video::StopRecording();
  video::Present();
  // The frames' pixels and size are checked by the golden frames of the game tests; colour
  // 200 of the palette file is (200, 55, 100).
  EXPECT_EQ(ReadPng(dir + "/000001.png"), Bytes(76800 * 3, 0));
  Bytes second = ReadPng(dir + "/000002.png");
  ASSERT_EQ(second.size(), 76800u * 3);
  EXPECT_EQ(Bytes(&second[9609], &second[9612]), Bytes({200, 55, 100}));  // pixel (3, 10)
  EXPECT_TRUE(ReadPng(dir + "/000003.png").empty());
}

TEST_F(Video, RecordingFailureIsOneLineAndTheGameGoesOn) {
  Start();
  game_.Write("file", {1});
  testing::internal::CaptureStderr();
  video::StartRecording(game_.path() + "/file/frames");
  video::Present();
  video::Present();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("frame recording stopped") != err.npos && err.find('\n') == err.size() - 1)
      << err;
  EXPECT_EQ(display_.frames, 2);

  // A directory that goes away while recording; hashes to a full disk.
  std::string dir = game_.path() + "/gone";
  testing::internal::CaptureStderr();
  video::StartRecording(dir);
  video::StartFrameHashes("/dev/full");
  video::Present();
  std::system(("rm -rf " + dir).c_str());
  video::Present();
  video::Present();
  err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("hashes stopped: cannot write /dev/full") < err.find("gone/000002.png") &&
              std::count(err.begin(), err.end(), '\n') == 2)
      << err;
}

// Draws `p` at (x, y) on a w x h target with both draws and compares each
// with the reference.
void Check(const Pattern& p, int w, int h, int x, int y) {
  SetPtr set = Parse(SetFile({Record(p)}));
  ASSERT_TRUE(set);
  for (bool solid : {false, true}) {
    Target t(w, h);
    Bytes want = Reference(t, p, x, y, solid, 77);
    if (solid)
      video::DrawSpriteSolid(t.s, set->sprites[0], x, y, 77);
    else
      video::DrawSprite(t.s, set->sprites[0], x, y);
    ASSERT_EQ(t.pixels(), want) << "solid " << solid << " at " << x << "," << y << " on " << w;
  }
}

TEST(SpriteDraw, MatchesThePixelByPixelRenderAtEveryPosition) {
  FillBlendTable();
  // Three rows with every kind of run, a hole in the middle and a short row,
  // from wholly off one edge to wholly off the other.
  const Pattern ship{{"..ab..", ".cAAd.", "ef..gh", "iB"}, 2};
  for (int y = -6; y <= 11; ++y)
    for (int x = -8; x <= 17; ++x) Check(ship, 12, 7, x, y);
  // The edges of a full-width target.
  for (int x : {-2, -1, 0, 317, 318, 319, 320}) Check(Pattern{{"aBc"}}, 320, 4, x, 1);
  for (int y : {-4, -2, 0, 8, 9, 10}) Check(Pattern{{"a", "B", "c", "d"}}, 2, 10, 1, y);
  // Widths either side of the masked rows' limit and of their merge sizes,
  // transparency scattered; the mostly blended sprite is drawn from spans.
  for (int w : {1, 3, 5, 9, 16, 17, 63, 64, 65}) {
    std::string a, b;
    for (int c = 0; c < w; ++c) {
      a += ".aBc"[c % 4];
      b += "dE.F"[c * 7 % 4];
    }
    for (const Pattern& p : {Pattern{{a, b, a}, 1}, Pattern{{b, b}, 2}})
      for (int x : {-w, -w + 1, -3, 0, 1, 70 - w, 73 - w, 69})
        for (int y : {-1, 0, 1}) Check(p, 70, 3, x, y);
  }
}

TEST(SpriteDraw, LongRunsCutOnBothSidesAtEveryLevel) {
  FillBlendTable();
  // Runs longer than the target on both sides, of every kind and of the
  // lengths the copy handles specially.
  for (int n : {1, 3, 4, 7, 8, 15, 16, 17, 31, 32, 33, 100}) {
    std::string opaque(n, 'e'), blended(n, 'C');
    Pattern p{{opaque + "..." + blended, blended + opaque}, n % 3};
    for (int x : {-n - 2, -n, -n + 1, -1, 0, 1, 5, 9}) {
      Check(p, 10, 2, x, 0);
      Check(p, 2 * n + 8, 2, x + n, 0);
    }
  }
}

TEST(SpriteDraw, VectorAndPlainMergesGiveTheSameBytes) {
  std::uint32_t seed = 1;
  auto next = [&] { return static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
  constexpr int kPitch = 80, kRows = 3;
  for (unsigned n = 1; n <= video::kMaxMaskedWidth; ++n) {
    Bytes target(kPitch * kRows), pixels(2 * n * kRows);
    for (auto& b : target) b = next();
    for (auto& b : pixels) b = next();
    // A mask is 0 or 0xFF a byte.
    for (unsigned r = 0; r < kRows; ++r)
      for (unsigned c = 0; c < n; ++c) pixels[2 * n * r + n + c] = next() & 1 ? 0xFF : 0;
    Bytes want = target, vector = target, plain = target;
    for (unsigned r = 0; r < kRows; ++r)
      for (unsigned c = 0; c < n; ++c)
        if (pixels[2 * n * r + n + c]) want[kPitch * r + c] = pixels[2 * n * r + c];
    video::MergeRows<true>(vector.data(), kPitch, pixels.data(), 2 * n, pixels.data() + n, 2 * n,
                           kRows, n);
    video::MergeRows<false>(plain.data(), kPitch, pixels.data(), 2 * n, pixels.data() + n, 2 * n,
                            kRows, n);
    ASSERT_EQ(vector, want) << n;
    ASSERT_EQ(plain, want) << n;
  }
}

TEST(SpriteDraw, PlacementsOffTheEdgesAndEmptySpritesChangeNothing) {
  SetPtr set = Parse(SetFile(
      {Record(Pattern{{"..ab..", ".cAAd."}}), Record(0, 0, {}), Record(5, 2, {0, 0, 0, 0})}));
  ASSERT_TRUE(set);
  Target t(12, 7);
  Bytes before = t.pixels();
  const int places[][2] = {{12, 0},      {0, 7},       {-6, 0},
                           {0, -2},      {INT_MAX, 0}, {INT_MIN, 0},
                           {0, INT_MAX}, {0, INT_MIN}, {INT_MIN, INT_MIN}};
  for (auto [x, y] : places) {
    video::DrawSprite(t.s, set->sprites[0], x, y);
    video::DrawSpriteSolid(t.s, set->sprites[0], x, y, 5);
  }
  for (int x = -6; x < 13; ++x)
    for (int s : {1, 2}) {
      video::DrawSprite(t.s, set->sprites[s], x, 1);
      video::DrawSpriteSolid(t.s, set->sprites[s], x, 1, 5);
    }
  EXPECT_EQ(t.pixels(), before);
}

// A font: sprite 0 is 6 x 12 (space width, line height); 'A' is a solid
// 8 x 2 block of colour 1, 'B' a 5 x 2 block of colour 2, tab a 2 x 1 block of
// colour 3, and index 32 (space) has a glyph that must never be drawn.
class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<Bytes> records;
    for (int c = 0; c <= 'B'; ++c) {
      Pattern p{{"d"}};
      if (c == 0) p = Pattern{std::vector<std::string>(12, "......")};
      if (c == 'A') p = Pattern{{"aaaaaaaa", "aaaaaaaa"}};
      if (c == 'B') p = Pattern{{"bbbbb", "bbbbb"}};
      if (c == '\t') p = Pattern{{"cc"}};
      if (c == ' ') p = Pattern{{"zzzz"}};
      records.push_back(Record(p));
    }
    font_ = Parse(SetFile(records));
    ASSERT_TRUE(font_);
  }
  // Clears the screen, draws, and answers the number of painted pixels.
  int Draw(int x, int y, const char* text, int count) {
    std::memset(screen_->pixels, 0, 76800);
    video::DrawFont(font_.get(), x, y, text, count);
    int n = 0;
    for (int i = 0; i < 76800; ++i) n += screen_->pixels[i] != 0;
    return n;
  }
  // The x of the first pixel of colour `c` on row y, or -1.
  int FirstX(int y, std::uint8_t c) const {
    for (int x = 0; x < 320; ++x)
      if (screen_->pixels[y * 320 + x] == c) return x;
    return -1;
  }
  SetPtr font_;
  ScratchBackBuffer back_;
  video::Surface* screen_ = back_.s;
};

// The pen's moves by glyph width, space width and line height, and glyphs
// past the font's end, show in video_golden's frames.
TEST_F(Text, CountLimitsEveryByteAndGlyphsOffTheEdgesAreClipped) {
  Draw(0, 0, "\tA", -1);  // a tab is glyph 9
  EXPECT_TRUE(screen_->pixels[0] == 3 && FirstX(0, 1) == 2);
  EXPECT_EQ(Draw(10, 20, "A B", -1), 16 + 10);  // the font's own sprite 32 is not drawn
  EXPECT_EQ(Draw(0, 0, "ABA", 2), 16 + 10);
  EXPECT_EQ(Draw(0, 0, "ABA", 0) + Draw(0, 0, "", -1) + Draw(0, 0, nullptr, -1), 0);
  EXPECT_EQ(Draw(0, 0, " AB", 2), 16);  // the space uses one of the two
  EXPECT_EQ(FirstX(0, 1), 6);
  EXPECT_EQ(Draw(315, 239, "AB", -1), 5);  // the visible part of A's first row only
  EXPECT_EQ(Draw(INT_MAX - 3, INT_MAX - 3, std::string(1000, 'A').c_str(), -1), 0);
  EXPECT_EQ(Draw(INT_MIN, 0, "AAAA\nAAAA", -1), 0);
  video::Draw(font_.get(), -3, 238, 'A');  // Draw puts one sprite, clipped
  EXPECT_TRUE(screen_->pixels[238 * 320] == 1 && screen_->pixels[239 * 320 + 4] == 1);
}

// Nil and released sets: video_golden.
TEST_F(Text, AnIndexOutsideTheSetOrAnEmptyFontIsAScriptError) {
  SetPtr empty = Parse(SetFile({}));
  EXPECT_EQ(test_support::ErrorOf([&] { video::Draw(font_.get(), 0, 0, -1); }),
            "Draw: index -1 is outside the set (67 sprites)");
  EXPECT_EQ(test_support::ErrorOf([&] { video::DrawFont(empty.get(), 0, 0, "A", -1); }),
            "DrawFont: the font has no sprite 0 (it is empty)");
}

}  // namespace
