// Replay files byte for byte, names that are refused, failures that keep the
// records, the directory listing and Remove, in a scratch working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"
#include "event/replay.h"

namespace {

namespace fs = std::filesystem;

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override { event::ClearEvent(); }
  void TearDown() override { event::ClearEvent(); }

  std::string Read(const std::string& name) {
    std::vector<std::uint8_t> bytes = scratch_.Read("replay/" + name);
    return std::string(bytes.begin(), bytes.end());
  }
  // Names in replay/, sorted, including hidden ones.
  std::string Files() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ + "/replay"))
      names.insert(e.path().filename());
    std::string out;
    for (const auto& n : names) out += n + " ";
    return out;
  }
  // The script error of a SaveReplayFile call, "" when it succeeded.
  std::string Save(const char* prefix, const char* first, const char* second, int life = 0,
                   int score = 0) {
    return test_support::ErrorOf(
        [&] { event::SaveReplayFile(prefix, first, second, life, score); });
  }
  void Touch(std::initializer_list<const char*> paths) {
    for (const char* p : paths) std::ofstream(dir_ + "/" + p) << "x";
  }
  // GetReplayFile(-1) to GetReplayFile(n), "~" for none.
  std::string Names(int n) {
    std::string out;
    for (int i = -1; i <= n; ++i) {
      const char* name = event::GetReplayFile(i);
      out += std::string(name ? name : "~") + " ";
    }
    return out;
  }

  test_support::ScratchDir scratch_{"lunashot-replay", {"replay"}};
  std::string dir_ = scratch_.path();
};

TEST_F(ReplayTest, WritesTheExactFileAndEmptiesTheRecords) {
  event::SaveReplay(1, 0);
  event::SaveReplay(9, 35);
  event::SaveReplay(3, 255);
  event::SaveReplay(0xFFFFFFFFu, 2);  // what -1 from a script arrives as
  ASSERT_EQ(Save("a", "b.lua", "c.lua", 3, 1200), "");
  EXPECT_EQ(Read("a_c.lua"),
            "RunScript('b.lua')\nRunScript('c.lua')\nVAR_replay=true\nVAR_life=3\n"
            "VAR_score=1200\nrep(1,0)\nrep(9,35)\nrep(3,255)\nrep(-1,2)\n");
  EXPECT_TRUE(event::ReplayRecords.empty());
  EXPECT_EQ(Files(), "a_c.lua ");  // no temporary file left behind

  // Nothing recorded since: five lines, and the old file is replaced.
  ASSERT_EQ(Save("a", "x", "c.lua", -1, -5), "");
  EXPECT_EQ(Read("a_c.lua"),
            "RunScript('x')\nRunScript('c.lua')\nVAR_replay=true\nVAR_life=-1\n"
            "VAR_score=-5\n");
}

TEST_F(ReplayTest, RefusesNamesTheFileCannotCarryAndKeepsTheRecords) {
  event::SaveReplay(4, 8);
  const std::string long_name(250, 'n');
  struct Case {
    const char *prefix, *first, *second, *error;
  } const cases[] = {
      {"p", "b')os.exit()--", "c", "the first script name 'b')os.exit()--' holds a quote"},
      {"p", "b", "c\\", "the second script name"},
      {"p\n", "b", "c", "the prefix"},
      {"p", "b\r", "c", "line break"},
      {"p", "b", "c'", "quote"},
      {nullptr, "b", "c", "SaveReplayFile: the prefix is nil"},
      {"p", nullptr, "c", "SaveReplayFile: the first script name is nil"},
      {"p", "b", nullptr, "SaveReplayFile: the second script name is nil"},
      {long_name.c_str(), "b", "cccccc", "the file name would be longer than 255"},
      {long_name.c_str(), "b", "c", "the path would be longer than 255"},
  };
  for (const Case& c : cases) {
    std::string error = Save(c.prefix, c.first, c.second);
    EXPECT_TRUE(error.rfind("SaveReplayFile: ", 0) == 0 && error.find(c.error) != error.npos)
        << error;
  }
  EXPECT_EQ(Files(), "");
  ASSERT_EQ(event::ReplayRecords.size(), 1u);
  ASSERT_EQ(Save("ok", "b", "c"), "");
  EXPECT_NE(Read("ok_c").find("rep(4,8)\n"), std::string::npos);
}

TEST_F(ReplayTest, AFileThatCannotBeWrittenIsAnErrorAndKeepsTheRecords) {
  event::SaveReplay(7, 3);
  fs::remove(dir_ + "/replay");
  std::string error = Save("p", "b", "c");
  EXPECT_NE(error.find("SaveReplayFile: cannot create"), std::string::npos) << error;
  EXPECT_NE(error.find("replay/p_c"), std::string::npos) << error;
  EXPECT_EQ(event::ReplayRecords.size(), 1u);

  // A directory in the way of the rename: the text was written, then refused.
  fs::create_directories(dir_ + "/replay/p_c/inner");
  error = Save("p", "b", "c");
  EXPECT_NE(error.find("SaveReplayFile: cannot write"), std::string::npos) << error;
  EXPECT_EQ(event::ReplayRecords.size(), 1u);
  EXPECT_EQ(Files(), "p_c ");  // and the temporary file is gone
  fs::remove_all(dir_ + "/replay/p_c");

  ASSERT_EQ(Save("p", "b", "c"), "");
  EXPECT_NE(Read("p_c").find("rep(7,3)"), std::string::npos);
}

TEST_F(ReplayTest, ListsNamesLongerThanFourInByteOrder) {
  EXPECT_EQ(Names(0), "~ ~ ");  // before any listing
  Touch({"replay/abcd", "replay/abcde"});
  EXPECT_EQ(event::GetReplayFiles(), 1);
  EXPECT_EQ(Names(1), "~ abcde ~ ");
  Touch({"replay/b_stage", "replay/B_stage", "replay/a_stage"});
  fs::create_directory(dir_ + "/replay/zdirectory");  // the type is not looked at
  ASSERT_EQ(event::GetReplayFiles(), 5);
  const std::string five = "~ B_stage a_stage abcde b_stage zdirectory ~ ";
  EXPECT_EQ(Names(5), five);
  // An unreadable directory: -1, and the previous listing stays.
  fs::rename(dir_ + "/replay", dir_ + "/gone");
  EXPECT_EQ(event::GetReplayFiles(), -1);
  EXPECT_EQ(Names(5), five);
}

TEST_F(ReplayTest, RemoveUsesThePathAsGiven) {
  Touch({"victim", "replay/victim"});
  EXPECT_EQ(event::Remove("victim"), 0);
  EXPECT_FALSE(fs::exists(dir_ + "/victim"));
  EXPECT_TRUE(fs::exists(dir_ + "/replay/victim"));
  EXPECT_EQ(event::Remove("victim"), -1);
  EXPECT_EQ(event::Remove(nullptr), -1);  // a replay path: the replay_names game test
}

}  // namespace
