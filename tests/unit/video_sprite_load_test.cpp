// The files of sprite/: sprite sets (what loads, each malformed file's refusal, Release;
// video_golden checks LoadSpriteSet's messages to a script).
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

}  // namespace
