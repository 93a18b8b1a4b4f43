// The files of sprite/: sprite sets (what loads, each malformed file's refusal, Release;
// video_golden checks LoadSpriteSet's messages to a script), images and image sets (refused whole
// when missing, truncated or oversized).
#include <gtest/gtest.h>

#include "base/error.h"
#include "tests/unit/video_test_support.h"

namespace {

using namespace video_test;

// A hand-made row: the bytes of its runs, with L put in front.
Bytes RowOf(std::initializer_list<std::uint8_t> run_bytes) {
  Bytes runs(run_bytes);
  Bytes row;
  base::PutLe16(&row, static_cast<unsigned>(runs.size()));
  row.insert(row.end(), runs.begin(), runs.end());
  return row;
}

// An image file: the width and height, then pixels counting up from `first`.
Bytes Image(std::int32_t width, std::int32_t height, std::uint8_t first = 1) {
  Bytes b;
  base::PutLe32(&b, static_cast<std::uint32_t>(width));
  base::PutLe32(&b, static_cast<std::uint32_t>(height));
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(width) * height; ++i)
    b.push_back(static_cast<std::uint8_t>(first + i));
  return b;
}

std::string Refusal(const Bytes& file) {
  std::string error;
  SetPtr set = Parse(file, &error);
  EXPECT_FALSE(set) << "accepted a malformed file";
  return error;
}

TEST(SpriteSetParse, LoadsTheDocumentedExampleRowAndAnEmptySet) {
  // Transparent, colour 7, colour 9 blended at level 1: eleven bytes.
  Bytes row = {0x09, 0x00, 0x01, 0x80, 0x01, 0x00, 0x07, 0x01, 0x40, 0x09, 0x01};
  SetPtr set = Parse(SetFile({Record(3, 1, row)}));
  ASSERT_TRUE(set && set->count == 1);
  EXPECT_TRUE(set->sprites[0]->width == 3 && set->sprites[0]->size == 11);
  EXPECT_EQ(Bytes(set->sprites[0]->data, set->sprites[0]->data + 11), row);
  set = Parse(SetFile({}));
  EXPECT_TRUE(set && set->count == 0 && set->sprites == nullptr);
}

TEST(SpriteSetParse, RefusesEachMalformedFileWithItsProblem) {
  Bytes good = SetFile({Record(Pattern{{"ab", "Cd"}}), Record(Pattern{{"e.f"}})});
  ASSERT_TRUE(Parse(good));
  Bytes longer = good;  // bytes after the last sprite are ignored
  longer.push_back(7);
  EXPECT_TRUE(Parse(longer));

  EXPECT_NE(Refusal({}).find("no sprite count"), std::string::npos);
  EXPECT_NE(Refusal({1}).find("no sprite count"), std::string::npos);
  // Cut anywhere inside: always refused, never read past the end.
  for (std::size_t n = 2; n < good.size(); ++n) {
    std::string e = Refusal(Bytes(good.begin(), good.begin() + n));
    EXPECT_NE(e.find("truncated"), std::string::npos) << n << ": " << e;
  }
  // A count far beyond what the file holds.
  Bytes huge = good;
  huge[0] = huge[1] = 0xFF;
  EXPECT_NE(Refusal(huge).find("65535 sprites"), std::string::npos);

  const std::pair<Bytes, const char*> refused[] = {
      {Record(2, 1, RowOf({0x03, 0x00, 1, 2, 3})), "passes the sprite's width"},  // opaque run
      {Record(2, 1, RowOf({0x03, 0x80})), "passes the sprite's width"},           // transparent run
      {Record(4, 1, RowOf({0x03, 0x00, 1})), "row's length"},       // run of 3 bytes, L holds 1
      {Record(4, 1, RowOf({0x01})), "cut off"},                     // a run code cut in half by L
      {Record(4, 1, {0x09, 0x00, 0x01, 0x80}), "end of the data"},  // L passes the data
      {Record(1, 1, RowOf({0x01, 0x40, 5, 3})), "blend level 3"},
      {Record(1, 1, RowOf({0x01, 0x10, 5})), "bits 12-13"},  // opaque run with bit 12
      {Record(1, 1, {0x00, 0x00, 0xAA}), "after the last row"},
      {Record(1, 2, {0x00, 0x00}), "ends before the row"},  // fewer rows than the height
      {Record(-1, 1, {0, 0}), "bad size"},
      {Record(1, 0x7FFFFFFF, {0, 0}), "bad size"},
  };
  for (auto& r : refused)
    EXPECT_NE(Refusal(SetFile({r.first})).find(r.second), std::string::npos) << r.second;
  Bytes negative_size = SetFile({Record(1, 0, {})});
  negative_size[10] = negative_size[11] = negative_size[12] = negative_size[13] = 0xFF;
  EXPECT_NE(Refusal(negative_size).find("negative data size"), std::string::npos);
  // The message says which sprite and row.
  std::string where =
      Refusal(SetFile({Record(Pattern{{"a"}}), Record(1, 2, {0, 0, 0x02, 0x00, 0x01, 0x40})}));
  EXPECT_NE(where.find("sprite 1: row 1"), std::string::npos) << where;
}

class GameFiles : public ::testing::Test {
 protected:
  test_support::ScratchDir game_{"lunashot-video", {"sprite"}};
};

TEST_F(GameFiles, ReleaseMarksTheSetAndHoldersKeepItAlive) {
  game_.Write("sprite/ok.spr", SetFile({Record(Pattern{{"ab"}})}));
  boost::intrusive_ptr<video::SpriteSet> script = video::LoadSpriteSet("ok.spr");
  boost::intrusive_ptr<video::SpriteSet> kind = script;  // an object kind's hold
  EXPECT_EQ(script->refs, 2);
  video::ReleaseSpriteSet(script.get());
  EXPECT_TRUE(kind->released);  // a second Release and the draws refuse it: video_golden
  EXPECT_THROW(video::LoadSpriteSet(nullptr), base::ScriptError);
  script.reset();
  // The kind's hold still draws valid data.
  Target t(2, 1);
  video::DrawSprite(t.s, kind->sprites[0], 0, 0);
  EXPECT_EQ(t.s->pixels[1], 2);
}

TEST_F(GameFiles, WrappedMemoryIsNeverFreed) {
  std::uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
  video::Surface* s = video::WrapSurface(pixels, 3, 2);
  EXPECT_TRUE(!s->owns && s->size == 6);
  video::DestroySurface(s);  // freeing stack memory here would abort
  video::Surface* owned = video::CreateSurface(3, 2);
  EXPECT_TRUE(owned->owns && owned->size == 6);
  video::DestroySurface(owned);
  EXPECT_EQ(video::CreateSurface(-1, 2), nullptr);
}

TEST_F(GameFiles, LoadsAnImageAndRefusesMissingTruncatedAndOversizedOnes) {
  game_.Write("sprite/one.img", Image(3, 2, 10));
  std::string error;
  video::Surface* s = video::LoadSurface("one.img", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_TRUE(s->width == 3 && s->height == 2);
  EXPECT_EQ(Bytes(s->pixels, s->pixels + 6), Bytes({10, 11, 12, 13, 14, 15}));
  video::DestroySurface(s);
  EXPECT_EQ(video::LoadSurface("none.img", &error), nullptr);
  EXPECT_NE(error.find("none.img: cannot open"), std::string::npos) << error;
  Bytes file = Image(3, 2);
  for (std::size_t n = 0; n < file.size(); ++n) {
    game_.Write("sprite/cut.img", Bytes(file.begin(), file.begin() + n));
    EXPECT_EQ(video::LoadSurface("cut.img", &error), nullptr) << n;
    EXPECT_NE(error.find("cut.img: truncated"), std::string::npos) << error;
  }
  for (auto wh :
       {std::pair<std::int32_t, std::int32_t>{-1, 1}, {1, -1}, {0x7FFFFFFF, 2}, {16384, 16384}}) {
    game_.Write("sprite/big.img", Record(wh.first, wh.second, {}));  // begins as an image does
    EXPECT_EQ(video::LoadSurface("big.img", &error), nullptr);
    EXPECT_NE(error.find("bad image size"), std::string::npos) << error;
  }
}

TEST_F(GameFiles, SetsLoadWholeOrNotAtAll) {
  Bytes set = SetFile({Image(2, 2, 1), Image(1, 3, 50)});
  game_.Write("sprite/two.set", set);
  std::string error;
  video::SurfaceSet* s = video::LoadSurfaceSet("two.set", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_STREQ(s->name, "two.set");
  ASSERT_EQ(s->count, 2);
  EXPECT_TRUE(s->surfaces[1]->height == 3 && s->surfaces[1]->pixels[2] == 52);
  video::DestroySurfaceSet(s);

  game_.Write("sprite/cut.set", Bytes(set.begin(), set.end() - 1));
  EXPECT_EQ(video::LoadSurfaceSet("cut.set", &error), nullptr);
  EXPECT_NE(error.find("cut.set: image 1 of 2: truncated"), std::string::npos) << error;
  game_.Write("sprite/huge.set", {0xFF, 0xFF});
  EXPECT_EQ(video::LoadSurfaceSet("huge.set", &error), nullptr);
  EXPECT_NE(error.find("image 0 of 65535"), std::string::npos) << error;
  game_.Write("sprite/short.set", {7});
  EXPECT_EQ(video::LoadSurfaceSet("short.set", &error), nullptr);

  game_.Write("sprite/empty.set", {0, 0});
  s = video::LoadSurfaceSet("empty.set", &error);
  ASSERT_NE(s, nullptr) << error;
  EXPECT_TRUE(s->count == 0 && s->surfaces == nullptr);
  video::DestroySurfaceSet(s);
}

}  // namespace
