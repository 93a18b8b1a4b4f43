// Sprite coding (base/sprite_file) as lunashot-pack uses it: run-length rows
// and sprite-set files checked byte for byte. The checks of a file read back
// are the engine loader's, tested in video_sprite_load_test.
#include "base/sprite_file.h"

#include <gtest/gtest.h>

namespace {

using base::Pixel;
using base::PixelImage;
using base::SpriteData;
using Bytes = std::vector<std::uint8_t>;

const Pixel kClear{};
Pixel Opaque(int index) { return Pixel{Pixel::kOpaque, std::uint8_t(index), 0}; }
Pixel Blend(int index, int level) { return Pixel{Pixel::kBlended, std::uint8_t(index), std::uint8_t(level)}; }

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

TEST(ToolsSpriteRows, CodeEachKindOfRun) {
  // Transparent, colour 7, colour 9 blended at level 1.
  EXPECT_EQ(Encode(Row({kClear, Opaque(7), Blend(9, 1)})),
            (Bytes{0x09, 0x00, 0x01, 0x80, 0x01, 0x00, 0x07, 0x01, 0x40, 0x09, 0x01}));
  // Consecutive pixels of a kind share a run; blended levels may differ in one.
  EXPECT_EQ(Encode(Row({Opaque(0), Opaque(255), Blend(1, 0), Blend(2, 2), kClear, kClear, Opaque(3)})),
            (Bytes{0x0f, 0x00, 0x02, 0x00, 0x00, 0xff, 0x02, 0x40, 0x01, 0x00, 0x02, 0x02, 0x02, 0x80, 0x01,
                   0x00, 0x03}));
}

TEST(ToolsSpriteRows, LeaveOutTrailingTransparency) {
  EXPECT_EQ(Encode(Row({Opaque(5), kClear, kClear})), (Bytes{0x03, 0x00, 0x01, 0x00, 0x05}));
  EXPECT_EQ(Encode(Row({kClear, kClear, kClear})), (Bytes{0x00, 0x00}));
  // Rows of a sprite are independent: an empty row in the middle is L = 0.
  PixelImage image(2, 3);
  image.at(1, 0) = Opaque(4);
  image.at(0, 2) = Blend(6, 2);
  EXPECT_EQ(Encode(image), (Bytes{0x05, 0x00, 0x01, 0x80, 0x01, 0x00, 0x04,  //
                                  0x00, 0x00,                                //
                                  0x04, 0x00, 0x01, 0x40, 0x06, 0x02}));
  EXPECT_EQ(Encode(PixelImage(0, 0)), Bytes{});
  EXPECT_EQ(Encode(PixelImage(5, 2)), (Bytes{0, 0, 0, 0}));
}

TEST(ToolsSpriteRows, SplitRunsAt4095Pixels) {
  // 5000 transparent, 5000 opaque (index = column), 4096 blended, 1 opaque.
  std::vector<Pixel> pixels(5000, kClear);
  for (int i = 0; i < 5000; ++i) pixels.push_back(Opaque(i & 0xff));
  for (int i = 0; i < 4096; ++i) pixels.push_back(Blend(i & 0xff, i % 3));
  pixels.push_back(Opaque(42));
  Bytes rows = Encode(Row(pixels));

  Bytes expected = {0, 0, 0xff, 0x8f, 0x89, 0x83};  // length patched below; 4095 and 905 transparent
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

TEST(ToolsSpriteSetFile, IsCountThenRecords) {
  SpriteData a, b;
  std::string error;
  ASSERT_TRUE(base::EncodeSprite(Row({kClear, Opaque(7)}), &a, &error));
  b.width = 300;
  b.height = 0;
  Bytes file;
  ASSERT_TRUE(base::EncodeSpriteSet({a, b}, &file, &error));
  EXPECT_EQ(file, (Bytes{0x02, 0x00,                                                     //
                         0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x07, 0, 0, 0,                    //
                         0x05, 0x00, 0x01, 0x80, 0x01, 0x00, 0x07,                       //
                         0x2c, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  std::vector<base::SpriteView> back;
  ASSERT_TRUE(base::DecodeSpriteSet(file.data(), file.size(), &back, &error)) << error;
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(Bytes(back[0].rows, back[0].rows + back[0].size), a.rows);
  EXPECT_EQ(back[1].width, 300);
  // A record the engine would refuse is never written.
  b.height = 1;
  EXPECT_FALSE(base::EncodeSpriteSet({a, b}, &file, &error));
  EXPECT_EQ(error, "sprite 1: row 0: the data ends before the row");

  ASSERT_TRUE(base::EncodeSpriteSet({}, &file, &error));
  EXPECT_EQ(file, (Bytes{0, 0}));
  ASSERT_TRUE(base::EncodeSpriteSet(std::vector<SpriteData>(65535), &file, &error));
  EXPECT_EQ(file[0], 0xff);
  EXPECT_EQ(file[1], 0xff);
  EXPECT_FALSE(base::EncodeSpriteSet(std::vector<SpriteData>(65536), &file, &error));
  EXPECT_EQ(error, "65536 sprites, more than a sprite set can hold (65535)");
}

TEST(ToolsSpriteRows, DecodeGivesBackWhatWasCoded) {
  // A pseudo-random 300 x 7 picture with long and short runs of each kind.
  PixelImage image(300, 7);
  std::uint32_t seed = 12345;
  Pixel current;
  for (Pixel& p : image.pixels) {
    seed = seed * 1103515245u + 12345u;
    if ((seed >> 16) % 9 == 0) {
      int kind = (seed >> 8) % 3;
      current = kind == 0 ? kClear : kind == 1 ? Opaque(seed >> 24) : Blend(seed >> 24, (seed >> 4) % 3);
    } else if (current.kind != Pixel::kTransparent) {
      current.index = std::uint8_t(seed >> 24);
    }
    p = current;
  }
  SpriteData sprite;
  std::string error;
  ASSERT_TRUE(base::EncodeSprite(image, &sprite, &error));
  PixelImage back = base::DecodeSprite(base::View(sprite));
  EXPECT_EQ(back.width, 300);
  EXPECT_EQ(back.height, 7);
  EXPECT_TRUE(back.pixels == image.pixels);
}

}  // namespace
