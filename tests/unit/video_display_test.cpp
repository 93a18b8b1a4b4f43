// Video start-up, Present, the palette and its upload, and frame recording, against a display that
// keeps what it is sent. The fades are pinned by the golden frames of the game tests.
#include <cstring>

#include <gtest/gtest.h>
#include <png.h>

#include "tests/unit/fake_platform.h"
#include "tests/unit/video_test_support.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/recorder.h"

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
  // Whether the display's last palette is `colour(i)` for every i.
  template <class F>
  bool LastPaletteIs(F colour) const {
    if (display_.palettes.empty()) return false;
    for (int i = 0; i < 256; ++i) {
      const platform::Rgb got = display_.palettes.back()[i];
      const video::Color want = colour(i);
      if (got.r != want.r || got.g != want.g || got.b != want.b) return false;
    }
    return true;
  }
  test_support::ScratchDir game_{"lunashot-video", {"sprite"}};
  FakeDisplay display_;
  test_support::FakeBackends backends_{{nullptr, &display_, nullptr, nullptr, nullptr}};
};

TEST_F(Video, StartsWithABlackPalette) {
  Start();
  ASSERT_TRUE(display_.opens == 1 && display_.palettes.size() == 1u);
  EXPECT_TRUE(LastPaletteIs([](int) { return video::Color{0, 0, 0}; }));
  EXPECT_EQ(video::BlendTable[65536 * 3 - 1], static_cast<std::uint8_t>((65536 * 3 - 1) * 13));
  EXPECT_TRUE(video::Screen->size == 76800 && video::BackBuffer->size == 76800);
  video::QuitVideo();
  EXPECT_EQ(video::BackBuffer, nullptr);
  EXPECT_EQ(display_.closes, 1);
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
  EXPECT_TRUE(LastPaletteIs([](int) { return video::Color{1, 2, 3}; }));
  video::ResetPalette();
  video::AdjustPalette();
  EXPECT_TRUE(LastPaletteIs([](int i) { return video::BasePalette[i]; }));
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
  std::string dir = game_.path() + "/out/frames";
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

  // A directory that goes away while recording.
  std::string dir = game_.path() + "/gone";
  testing::internal::CaptureStderr();
  video::StartRecording(dir);
  video::Present();
  std::system(("rm -rf " + dir).c_str());
  video::Present();
  video::Present();
  err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(err.find("gone/000002.png") != err.npos && err.find('\n') == err.size() - 1) << err;
}

}  // namespace
