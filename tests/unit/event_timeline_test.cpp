// The timeline as scripts drive it: order, delays in dispatches, SetTime, overdue and wrapping
// delays, ClearEvent and failures inside a fire, spawn events, the lifetime of what events refer
// to. Replay files: written byte for byte, names refused, failures keep the records, the listing.
#include <filesystem>
#include <fstream>
#include <string>

#include "event/input.h"
#include "event/replay.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/lua_fixture.h"
#include "tests/unit/scratch_dir.h"

namespace {

using event::GetTime;
using event::PendingEvents;

class TimelineTest : public test_support::LuaFixture {
 protected:
  // After `n` more dispatches: the log, the counter and the due times of the
  // pending events, as "b d @4 [10 10]".
  std::string After(int n) {
    Dispatch(n);
    std::string times;
    for (event::dword t : event::PendingTimes())
      times += (times.empty() ? "" : " ") + std::to_string(t);
    return Log() + "@" + std::to_string(GetTime()) + " [" + times + "]";
  }
};

TEST_F(TimelineTest, OrderDelaysAndDelayZero) {
  Ok("f'a' f'b' f'c' f'd'\n"
     "AddTimeEvent(10, 'a') AddTimeEvent(3, 'b') AddTimeEvent(10, 'c') AddTimeEvent(3, 'd')");
  EXPECT_EQ(After(3), "@3 [3 3 10 10]");
  EXPECT_EQ(After(1), "b d @4 [10 10]");  // the 4th dispatch runs with the counter at 3
  EXPECT_EQ(After(6), "b d @10 [10 10]");
  EXPECT_EQ(After(1), "b d a c @11 []");  // delay 10: during the 11th dispatch
  Ok("log = '' SetTime(0) f'late' f'b' f'next' function a() note('a:' .. GetTime()) "
     "AddTimeEvent(0, 'late') end\n"
     "AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(1, 'next')");
  // Inside a fired function GetTime is the event's own time, and delay 0
  // lands behind the events already due in this dispatch.
  EXPECT_EQ(After(1), "a:0 b late @1 [1]");
  EXPECT_EQ(After(1), "a:0 b late next @2 []");
}

TEST_F(TimelineTest, SetTimeOutsideAndInsideAFire) {
  Ok("f'fifty' f'hundred' AddTimeEvent(50, 'fifty') AddTimeEvent(100, 'hundred') SetTime(100)");
  EXPECT_EQ(After(1), "hundred @101 []");
  Ok("log = '' AddTimeEvent(2, 'fifty') SetTime(90)");  // back: due at 103
  EXPECT_EQ(After(13), "@103 [103]");
  EXPECT_EQ(After(1), "fifty @104 []");
  Ok("log = '' f'b' f'c' function a() note('a') SetTime(0) end\n"
     "SetTime(100) AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(0, 'c')");
  // The others, due at 100, now wait; the dispatch ends at 0 + 1.
  EXPECT_EQ(After(1), "a @1 [100 100]");
  // Forward from inside: everything below the new value is discarded.
  Ok("log = '' ClearEvent() f'x' f'y' function jump() note('jump') SetTime(20) end\n"
     "AddTimeEvent(0, 'jump') AddTimeEvent(5, 'x') AddTimeEvent(20, 'y')");
  EXPECT_EQ(After(1), "jump y @21 []");
}

TEST_F(TimelineTest, NegativeDelaysWrapAndOverdueEventsNeverFire) {
  Ok("f'past' f'far' SetTime(10) AddTimeEvent(-3, 'past')");
  EXPECT_EQ(After(0), "@10 [7]");
  EXPECT_EQ(After(1), "@11 []");
  Ok("SetTime(2) AddTimeEvent(-5, 'far')");  // below k the sum wraps to the top
  EXPECT_EQ(After(5), "@7 [4294967293]");
  // From inside a fire: the overdue one is discarded later in the same
  // dispatch and the firing one is removed exactly once.
  Ok("ClearEvent() SetTime(10) f'after' function back() note('back') AddTimeEvent(-4, 'past') end\n"
     "AddTimeEvent(0, 'back') AddTimeEvent(0, 'after') AddTimeEvent(1, 'after')");
  EXPECT_EQ(After(1), "back after @11 [11]");
  EXPECT_EQ(After(1), "back after after @12 []");
}

TEST_F(TimelineTest, RepIsAbsoluteFrameMinusOneAndDeliversTheKey) {
  Ok("SetTime(50) rep(3, 30) rep(0, 7) rep(1, 200)");
  // Not relative to the counter; frame 0 wraps to the largest value.
  EXPECT_EQ(After(0), "@50 [0 2 4294967295]");
  Ok("SetTime(0)");
  std::string keys;  // a key holds until the next one
  for (int n : {1, 1, 1, 20}) {
    Dispatch(n);
    keys += std::to_string(event::GetRkey()) + " ";
  }
  EXPECT_EQ(keys + After(0), "200 200 30 30 @23 [4294967295]");
}

TEST_F(TimelineTest, ClearEventOutsideAndInsideAFireAndIsOdd) {
  Ok("f'a' AddTimeEvent(0, 'a') rep(1, 9) SaveReplay(1, 2) SetTime(7)");
  event::ReplayKey = 33;
  EXPECT_EQ(Int("IsOdd() and 1 or 0"), 1);
  Ok("ClearEvent()");
  EXPECT_EQ(After(0), "@0 []");
  EXPECT_TRUE(event::ReplayRecords.empty() && event::ReplayKey == 0);
  std::string odd;
  for (int i = 0; i < 4; ++i, Dispatch(1)) odd += Int("IsOdd() and 1 or 0") ? '1' : '0';
  EXPECT_EQ(odd, "0101");
  Ok("log = '' f'b' f'c' function a() note('a') ClearEvent() note(GetTime()) end\n"
     "SetTime(40) AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(3, 'c') rep(60, 5)");
  EXPECT_EQ(After(1), "a 0 @1 []");  // the dispatch still ends by advancing
  // Events added after the clear, in the same fire, live on normally.
  Ok("log = '' function a() note('a') ClearEvent() AddTimeEvent(0, 'b') ClearEvent()\n"
     "  AddTimeEvent(0, 'c') AddTimeEvent(2, 'b') end AddTimeEvent(0, 'a') AddTimeEvent(0, 'b')");
  EXPECT_EQ(After(1), "a c @1 [2]");
  // Clearing the world as well, from time and instance events.
  Ok("log = '' ClearEvent() function wipe() note('wipe') ClearInstance() ClearEvent() end\n"
     "AddTimeEvent(0, 'wipe') AddInstanceEvent(0, 'wipe', AddEnemy0(K, nil, 0, 0, 0, 0, 0, 9))\n"
     "AddTimeEvent(0, 'wipe')");
  EXPECT_TRUE(After(2) == "wipe @2 []" && object::PoolFree() == object::kPoolSize) << After(0);
}

TEST_F(TimelineTest, FailedCallbacksNilNamesAndNestedDispatch) {
  Ok("f'first' f'last' SetTime(5)\n"
     "AddTimeEvent(0, 'first') AddTimeEvent(0, 'missing') AddTimeEvent(0, 'last')");
  EXPECT_NE(Run("Dispatch()"), "");
  EXPECT_EQ(After(0), "first @5 [5 5]");
  // The error is the callback's own; it fails again until fixed.
  EXPECT_TRUE(HasError("function missing() error('boom') end Dispatch()", "boom"));
  EXPECT_EQ(After(0), "first @5 [5 5]");
  // Defining it late works: the name is looked up when the event fires.
  Ok("f'missing'");
  EXPECT_EQ(After(1), "first missing last @6 []");
  Ok("SetTime(0) AddTimeEvent(1, nil) AddInstanceEvent(2, nil, nil)");
  Dispatch(1);
  EXPECT_TRUE(HasError("Dispatch()", "AddTimeEvent: the event due at frame 1 was added without"));
  EXPECT_EQ(PendingEvents(), 2u);
  EXPECT_TRUE(HasError("SetTime(2) Dispatch()", "AddInstanceEvent: the event due at frame 2"));
  Ok("ClearEvent() function again() Dispatch() end AddTimeEvent(0, 'again')");
  EXPECT_TRUE(HasError("Dispatch()", "Update: called from inside a function that the timeline"));
  EXPECT_EQ(PendingEvents(), 1u);
}

TEST_F(TimelineTest, EventsKeepTheirOwnNamesAndInstances) {
  script::PushHandle(L, object::HandleOf(object::PoolInstance(7)));
  lua_setglobal(L, "seven");
  Ok("got = {} function withInstance(i) got[1] = rawequal(i, seven) end\n"
     "function withNil(i) got[2] = (i == nil) end\n"
     "local n = 'with' .. string.rep('Instance', 1)\n"
     "AddInstanceEvent(1, n, seven) AddInstanceEvent(1, 'withNil', nil)\n"
     "local m = 'gen' .. 'erated' AddTimeEvent(1, m) f'generated'\n"
     "n = nil m = nil collectgarbage() collectgarbage()");
  EXPECT_EQ(After(2), "generated @2 []");
  EXPECT_EQ(Str("got[1] and got[2]"), "true");
}

TEST_F(TimelineTest, SpawnEventsCarryTheirValuesKeepTheKindAliveAndRefuseReleasedKinds) {
  Ok("local k = NewObject() k:SetAnimSize(2) k:SetAnim(1, 0, 0, 0, false) k.hp = 9\n"
     "AddLayer2Event(1, k, 'mover', 11, -12, 70000, 200, 1, -5)\n"
     "AddEnemy1Event(1, k, nil, 1, 2, 3, 4, 0, 6) k = nil collectgarbage() collectgarbage()");
  EXPECT_TRUE(object::ListContents(object::kLayer2).empty());
  Dispatch(2);
  ASSERT_TRUE(object::ListContents(object::kLayer2).size() == 1u &&
              object::ListContents(object::kEnemy1).size() == 1u);
  object::Instance* i = object::ListContents(object::kLayer2)[0];
  EXPECT_TRUE(i->x >> 16 == 11 && i->y >> 16 == -12 && i->vel == 70000 && i->dir == 200);
  EXPECT_TRUE(i->anim == 1 && i->life == -5 && i->updater == "mover");
  EXPECT_TRUE(i->object && i->object->hp == 9);  // the kind outlived the script's handle
  i = object::ListContents(object::kEnemy1)[0];
  EXPECT_TRUE(i->updater.empty() && i->life == 6);  // nil name: no updater
  Ok("ClearEvent() k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 0, 0, 0, false)\n"
     "r = NewObject() r:Release()");
  EXPECT_TRUE(HasError("AddEnemy0Event(0, r, 'x', 0, 0, 0, 0, 0, 0)",
                       "AddEnemy0Event: the kind was released"));
  EXPECT_EQ(PendingEvents(), 0u);
  // Released after adding: the kind is still there, the spawn refuses it.
  // The failed spawn is dropped (it can only fail again); the counter waits
  // and the rest of the frame's events fire at the next dispatch.
  Ok("f'after' SetTime(4) AddLayer0Event(0, k, nil, 0, 0, 0, 0, 0, 0) k:Release()"
     "AddTimeEvent(0, 'after')");
  EXPECT_TRUE(HasError("Dispatch()", "AddLayer0"));
  EXPECT_EQ(After(0), "@4 [4]");
  EXPECT_EQ(After(1), "after @5 []");
  Ok("ClearEvent() AddLayer3Event(0, nil, nil, 0, 0, 0, 0, 0, 0)");
  EXPECT_TRUE(HasError("Dispatch()", "AddLayer3"));
  EXPECT_TRUE(PendingEvents() == 0u && object::ListContents(object::kLayer3).empty());
}

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override { event::ClearEvent(); }
  void TearDown() override { event::ClearEvent(); }

  Strings Files() { return scratch_.Files("replay"); }  // hidden ones too
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
  const std::pair<event::dword, int> records[] = {{1, 0}, {9, 35}, {3, 255}, {0xFFFFFFFFu, 2}};
  for (auto [frame, key] : records) event::SaveReplay(frame, key);  // -1 from a script: 0xFFFFFFFF
  ASSERT_EQ(Save("a", "b.lua", "c.lua", 3, 1200), "");
  EXPECT_EQ(scratch_.Text("replay/a_c.lua"),
            "RunScript('b.lua')\nRunScript('c.lua')\nVAR_replay=true\nVAR_life=3\n"
            "VAR_score=1200\nrep(1,0)\nrep(9,35)\nrep(3,255)\nrep(-1,2)\n");
  EXPECT_TRUE(event::ReplayRecords.empty());
  EXPECT_EQ(Files(), Strings{"a_c.lua"});  // no temporary file left behind

  // Nothing recorded since: five lines, and the old file is replaced.
  ASSERT_EQ(Save("a", "x", "c.lua", -1, -5), "");
  EXPECT_EQ(scratch_.Text("replay/a_c.lua"),
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
  EXPECT_TRUE(Files().empty() && event::ReplayRecords.size() == 1u);
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
  EXPECT_TRUE(event::ReplayRecords.size() == 1u && Files() == Strings{"p_c"});  // no temporary file
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
  EXPECT_TRUE(!fs::exists(dir_ + "/victim") && fs::exists(dir_ + "/replay/victim"));
  // A replay path: the replay_names game test.
  EXPECT_TRUE(event::Remove("victim") == -1 && event::Remove(nullptr) == -1);
}

}  // namespace
