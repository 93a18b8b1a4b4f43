// Sprite coding (base/sprite_file) as lunashot-pack uses it: runs split at
// 4095 pixels, and the set writer's refusals. Whole files are checked byte for
// byte through the pack command (tools_pack_test); the checks of a file read
// back are the engine loader's (video_sprite_load_test).
#include "base/sprite_file.h"

#include <gtest/gtest.h>

namespace {

using base::Pixel;
using base::PixelImage;
using base::SpriteData;
using Bytes = std::vector<std::uint8_t>;

const Pixel kClear{};
Pixel Opaque(int index) { return Pixel{Pixel::kOpaque, std::uint8_t(index), 0}; }
Pixel Blend(int index, int level) {
  return Pixel{Pixel::kBlended, std::uint8_t(index), std::uint8_t(level)};
}

PixelImage Row(const std::vector<Pixel>& pixels) {
  PixelImage image(int(pixels.size()), 1);
  image.pixels = pixels;
  return image;
}

Bytes Encode(const PixelImage& image) {
  SpriteData sprite;
  std::string error;
  EXPECT_TRUE(base::EncodeSprite(image, &sprite, &error)) << error;
  EXPECT_EQ(sprite.width, image.width);
  EXPECT_EQ(sprite.height, image.height);
  return sprite.rows;
}

TEST(ToolsSpriteRows, SplitRunsAt4095Pixels) {
  // 5000 transparent, 5000 opaque (index = column), 4096 blended, 1 opaque.
  std::vector<Pixel> pixels(5000, kClear);
  for (int i = 0; i < 5000; ++i) pixels.push_back(Opaque(i & 0xff));
  for (int i = 0; i < 4096; ++i) pixels.push_back(Blend(i & 0xff, i % 3));
  pixels.push_back(Opaque(42));
  Bytes rows = Encode(Row(pixels));

  // The row length is patched in below; 4095 and 905 transparent.
  Bytes expected = {0, 0, 0xff, 0x8f, 0x89, 0x83};
  auto opaque = [&](int from, int n) {
    expected.push_back(std::uint8_t(n & 0xff));
    expected.push_back(std::uint8_t(n >> 8));
    for (int i = 0; i < n; ++i) expected.push_back(std::uint8_t((from + i) & 0xff));
  };
  opaque(0, 4095);
  opaque(4095, 905);
  expected.insert(expected.end(), {0xff, 0x4f});
  for (int i = 0; i < 4095; ++i) {
    expected.push_back(std::uint8_t(i & 0xff));
    expected.push_back(std::uint8_t(i % 3));
  }
  expected.insert(expected.end(), {0x01, 0x40, 4095 & 0xff, 4095 % 3});
  expected.insert(expected.end(), {0x01, 0x00, 42});
  std::size_t length = expected.size() - 2;
  expected[0] = std::uint8_t(length & 0xff);
  expected[1] = std::uint8_t(length >> 8);
  EXPECT_EQ(rows, expected);
  // Bits 12-13 of every opaque code are zero.
  EXPECT_EQ(rows[7] & 0x30, 0);
}

TEST(ToolsSpriteSetFile, NeverWritesWhatTheEngineWouldRefuse) {
  SpriteData a;
  a.width = 300, a.height = 1;  // a row without its data
  Bytes file;
  std::string error;
  EXPECT_FALSE(base::EncodeSpriteSet({a}, &file, &error));
  EXPECT_EQ(error, "sprite 0: row 0: the data ends before the row");
  ASSERT_TRUE(base::EncodeSpriteSet(std::vector<SpriteData>(65535), &file, &error));
  EXPECT_TRUE(file[0] == 0xff && file[1] == 0xff);
  EXPECT_FALSE(base::EncodeSpriteSet(std::vector<SpriteData>(65536), &file, &error));
  EXPECT_EQ(error, "65536 sprites, more than a sprite set can hold (65535)");
}

}  // namespace
