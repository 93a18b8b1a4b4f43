// The timeline as scripts drive it: ordering, delays measured in dispatches,
// the counter moved by SetTime, overdue events, wrapping delays, ClearEvent
// and failures inside a fire, spawn events and the lifetime of what events
// refer to.
#include <list>

#include "event/replay.h"
#include "event/timeline.h"
#include "event_test_util.h"
#include "object/instance.h"

namespace {

using event::GetTime;
using event::PendingEvents;
using event::PendingTimes;
using event_test::EventTest;

using TimelineTest = EventTest;

TEST_F(TimelineTest, EqualTimesFireInInsertionOrderAndDelaysCountDispatches) {
  ASSERT_EQ(Run("f'a' f'b' f'c' f'd'\n"
                "AddTimeEvent(10, 'a') AddTimeEvent(3, 'b') AddTimeEvent(10, 'c')"
                "AddTimeEvent(3, 'd')"),
            "");
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{3, 3, 10, 10}));
  Dispatch(3);
  EXPECT_EQ(Log(), "");
  Dispatch(1);  // the 4th dispatch runs with the counter at 3
  EXPECT_EQ(Log(), "b d ");
  Dispatch(6);
  EXPECT_EQ(Log(), "b d ");
  Dispatch(1);  // delay 10: during the 11th dispatch
  EXPECT_EQ(Log(), "b d a c ");
  EXPECT_EQ(GetTime(), 11u);
  EXPECT_EQ(PendingEvents(), 0u);
}

TEST_F(TimelineTest, DelayZeroMeansNextDispatchOutsideAndSameDispatchInside) {
  ASSERT_EQ(Run("f'late' f'b'\n"
                "function a() note('a:' .. GetTime()) AddTimeEvent(0, 'late') end\n"
                "AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(1, 'next')\n"
                "function next() note('next') end"),
            "");
  Dispatch(1);
  // Inside a fired function GetTime is the event's own time, and delay 0
  // lands behind the events already due in this dispatch.
  EXPECT_EQ(Log(), "a:0 b late ");
  EXPECT_EQ(GetTime(), 1u);
  Dispatch(1);
  EXPECT_EQ(Log(), "a:0 b late next ");
}

TEST_F(TimelineTest, SetTimeForwardDiscardsAndBackDelays) {
  ASSERT_EQ(Run("f'fifty' f'hundred' AddTimeEvent(50, 'fifty') AddTimeEvent(100, 'hundred')"
                "SetTime(100)"),
            "");
  Dispatch(1);
  EXPECT_EQ(Log(), "hundred ");
  EXPECT_EQ(GetTime(), 101u);
  EXPECT_EQ(PendingEvents(), 0u);

  // Moving back makes a pending event wait longer.
  ASSERT_EQ(Run("log = '' AddTimeEvent(2, 'fifty') SetTime(90)"), "");  // due at 103
  Dispatch(13);
  EXPECT_EQ(Log(), "");
  Dispatch(1);
  EXPECT_EQ(Log(), "fifty ");
}

TEST_F(TimelineTest, SetTimeInsideAFireRulesTheRestOfTheDispatch) {
  ASSERT_EQ(Run("f'b' f'c' function a() note('a') SetTime(0) end\n"
                "SetTime(100) AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(0, 'c')"),
            "");
  Dispatch(1);
  // The others, due at 100, now wait; the dispatch ends at 0 + 1.
  EXPECT_EQ(Log(), "a ");
  EXPECT_EQ(GetTime(), 1u);
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{100, 100}));

  // Forward from inside: everything below the new value is discarded.
  ASSERT_EQ(Run("log = '' ClearEvent() f'x' f'y'\n"
                "function jump() note('jump') SetTime(20) end\n"
                "AddTimeEvent(0, 'jump') AddTimeEvent(5, 'x') AddTimeEvent(20, 'y')"),
            "");
  Dispatch(1);
  EXPECT_EQ(Log(), "jump y ");
  EXPECT_EQ(GetTime(), 21u);
  EXPECT_EQ(PendingEvents(), 0u);
}

TEST_F(TimelineTest, NegativeDelaysWrapAndOverdueEventsNeverFire) {
  ASSERT_EQ(Run("f'past' f'far' SetTime(10) AddTimeEvent(-3, 'past')"), "");
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{7}));
  Dispatch(1);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(PendingEvents(), 0u);
  EXPECT_EQ(GetTime(), 11u);

  // Below k the sum wraps to the top of the range.
  ASSERT_EQ(Run("SetTime(2) AddTimeEvent(-5, 'far')"), "");
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{4294967293u}));
  Dispatch(5);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(PendingEvents(), 1u);

  // From inside a fire: the overdue one is discarded later in the same
  // dispatch and the firing one is removed exactly once.
  ASSERT_EQ(Run("ClearEvent() SetTime(10) f'after'\n"
                "function back() note('back') AddTimeEvent(-4, 'past') end\n"
                "AddTimeEvent(0, 'back') AddTimeEvent(0, 'after') AddTimeEvent(1, 'after')"),
            "");
  Dispatch(1);
  EXPECT_EQ(Log(), "back after ");
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{11}));
  Dispatch(1);
  EXPECT_EQ(Log(), "back after after ");
}

TEST_F(TimelineTest, RepIsAbsoluteFrameMinusOneAndDeliversTheKey) {
  ASSERT_EQ(Run("SetTime(50) rep(3, 30) rep(0, 7) rep(1, 200)"), "");
  // Not relative to the counter; frame 0 wraps to the largest value.
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{0, 2, 4294967295u}));
  ASSERT_EQ(Run("SetTime(0)"), "");
  Dispatch(1);
  EXPECT_EQ(event::GetRkey(), 200);
  Dispatch(1);
  EXPECT_EQ(event::GetRkey(), 200);  // a key holds until the next one
  Dispatch(1);
  EXPECT_EQ(event::GetRkey(), 30);
  Dispatch(20);
  EXPECT_EQ(event::GetRkey(), 30);
  EXPECT_EQ(PendingEvents(), 1u);
}

TEST_F(TimelineTest, ClearEventResetsEverythingAndIsOddFollowsTheCounter) {
  ASSERT_EQ(Run("f'a' AddTimeEvent(0, 'a') rep(1, 9) SaveReplay(1, 2) SetTime(7)"), "");
  event::ReplayKey = 33;
  EXPECT_EQ(Int("IsOdd() and 1 or 0"), 1);
  ASSERT_EQ(Run("ClearEvent()"), "");
  EXPECT_EQ(PendingEvents(), 0u);
  EXPECT_TRUE(event::ReplayRecords.empty());
  EXPECT_EQ(event::ReplayKey, 0);
  EXPECT_EQ(GetTime(), 0u);
  std::string odd;
  for (int i = 0; i < 4; ++i) {
    odd += Int("IsOdd() and 1 or 0") ? '1' : '0';
    Dispatch(1);
  }
  EXPECT_EQ(odd, "0101");
}

TEST_F(TimelineTest, ClearEventInsideAFireStopsTheDispatchSafely) {
  ASSERT_EQ(Run("f'b' f'c'\n"
                "function a() note('a') ClearEvent() note(GetTime()) end\n"
                "SetTime(40) AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(3, 'c')"
                "rep(60, 5)"),
            "");
  Dispatch(1);
  EXPECT_EQ(Log(), "a 0 ");
  EXPECT_EQ(PendingEvents(), 0u);
  EXPECT_EQ(GetTime(), 1u);  // the dispatch still ends by advancing

  // Events added after the clear, in the same fire, live on normally.
  ASSERT_EQ(Run("log = ''\n"
                "function a() note('a') ClearEvent() AddTimeEvent(0, 'b') ClearEvent()"
                "  AddTimeEvent(0, 'c') AddTimeEvent(2, 'b') end\n"
                "AddTimeEvent(0, 'a') AddTimeEvent(0, 'b')"),
            "");
  Dispatch(1);
  EXPECT_EQ(Log(), "a c ");
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{2}));
}

TEST_F(TimelineTest, AFailedCallbackLeavesItsEventDueAndTheCounterStill) {
  ASSERT_EQ(Run("f'first' f'last' SetTime(5)\n"
                "AddTimeEvent(0, 'first') AddTimeEvent(0, 'missing') AddTimeEvent(0, 'last')"),
            "");
  std::string error = Run("Dispatch()");
  EXPECT_NE(error, "");
  EXPECT_EQ(Log(), "first ");
  EXPECT_EQ(GetTime(), 5u);
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{5, 5}));
  // The error is the callback's own; it fails again until fixed.
  ASSERT_EQ(Run("function missing() error('boom') end"), "");
  EXPECT_NE(Run("Dispatch()").find("boom"), std::string::npos);
  EXPECT_EQ(PendingEvents(), 2u);
  // Defining it late works: the name is looked up when the event fires.
  ASSERT_EQ(Run("f'missing'"), "");
  Dispatch(1);
  EXPECT_EQ(Log(), "first missing last ");
  EXPECT_EQ(GetTime(), 6u);
  EXPECT_EQ(PendingEvents(), 0u);
}

TEST_F(TimelineTest, NilNamesFailWhenDueAndNestedDispatchIsRefused) {
  ASSERT_EQ(Run("AddTimeEvent(1, nil) AddInstanceEvent(2, nil, nil)"), "");
  Dispatch(1);
  EXPECT_NE(Run("Dispatch()").find("AddTimeEvent: the event due at frame 1 was added without"),
            std::string::npos);
  EXPECT_EQ(PendingEvents(), 2u);
  ASSERT_EQ(Run("SetTime(2)"), "");
  EXPECT_NE(Run("Dispatch()").find("AddInstanceEvent: the event due at frame 2"),
            std::string::npos);

  ASSERT_EQ(Run("ClearEvent() function again() Dispatch() end AddTimeEvent(0, 'again')"), "");
  EXPECT_NE(Run("Dispatch()").find("Update: called from inside a function that the timeline"),
            std::string::npos);
  EXPECT_EQ(PendingEvents(), 1u);
}

TEST_F(TimelineTest, EventsKeepTheirOwnNamesAndInstances) {
  script::PushHandle(L, object::HandleOf(object::PoolInstance(7)));
  lua_setglobal(L, "seven");
  ASSERT_EQ(Run("got = {}\n"
                "function withInstance(i) got[1] = i got[2] = rawequal(i, seven) end\n"
                "function withNil(i) got[3] = (i == nil) end\n"
                "local n = 'with' .. string.rep('Instance', 1)\n"
                "AddInstanceEvent(1, n, seven) AddInstanceEvent(1, 'withNil', nil)\n"
                "local m = 'gen' .. 'erated' AddTimeEvent(1, m)\n"
                "function generated() note('generated') end\n"
                "n = nil m = nil collectgarbage() collectgarbage()"),
            "");
  Dispatch(2);
  EXPECT_EQ(Log(), "generated ");
  EXPECT_EQ(Int("got[2] and 1 or 0"), 1);
  EXPECT_EQ(Int("got[3] and 1 or 0"), 1);
}

TEST_F(TimelineTest, SpawnEventsCarryTheirValuesAndKeepTheKindAlive) {
  ASSERT_EQ(Run("local k = NewObject() k:SetAnimSize(2) k:SetAnim(1, 0, 0, 0, false)\n"
                "k.hp = 9\n"
                "AddLayer2Event(1, k, 'mover', 11, -12, 70000, 200, 1, -5)\n"
                "AddEnemy1Event(1, k, nil, 1, 2, 3, 4, 0, 6)\n"
                "k = nil collectgarbage() collectgarbage()"),
            "");
  EXPECT_TRUE(object::ListContents(object::kLayer2).empty());
  Dispatch(2);
  std::vector<object::Instance*> layer = object::ListContents(object::kLayer2);
  ASSERT_EQ(layer.size(), 1u);
  object::Instance* i = layer[0];
  EXPECT_EQ(i->x >> 16, 11);
  EXPECT_EQ(i->y >> 16, -12);
  EXPECT_EQ(i->vel, 70000);
  EXPECT_EQ(i->dir, 200);
  EXPECT_EQ(i->anim, 1);
  EXPECT_EQ(i->life, -5);
  EXPECT_EQ(i->updater, "mover");
  ASSERT_TRUE(i->object);
  EXPECT_EQ(i->object->hp, 9);  // the kind outlived the script's handle
  std::vector<object::Instance*> enemies = object::ListContents(object::kEnemy1);
  ASSERT_EQ(enemies.size(), 1u);
  EXPECT_EQ(enemies[0]->updater, "");  // nil name: no updater
  EXPECT_EQ(enemies[0]->life, 6);
}

TEST_F(TimelineTest, SpawnEventsRefuseReleasedKindsAndAFailedSpawnIsDropped) {
  ASSERT_EQ(Run("k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 0, 0, 0, false)"), "");
  ASSERT_EQ(Run("r = NewObject() r:Release()"), "");
  EXPECT_NE(Run("AddEnemy0Event(0, r, 'x', 0, 0, 0, 0, 0, 0)")
                .find("AddEnemy0Event: the kind was released"),
            std::string::npos);
  EXPECT_EQ(PendingEvents(), 0u);

  // Released after adding: the kind is still there, the spawn refuses it.
  // The failed spawn is dropped (it can only fail again); the counter waits
  // and the rest of the frame's events fire at the next dispatch.
  ASSERT_EQ(Run("f'after' SetTime(4) AddLayer0Event(0, k, nil, 0, 0, 0, 0, 0, 0) k:Release()"
                "AddTimeEvent(0, 'after')"),
            "");
  std::string error = Run("Dispatch()");
  EXPECT_NE(error.find("AddLayer0"), std::string::npos) << error;
  EXPECT_EQ(PendingTimes(), (std::list<event::dword>{4}));
  EXPECT_EQ(GetTime(), 4u);
  Dispatch(1);
  EXPECT_EQ(Log(), "after ");
  EXPECT_EQ(GetTime(), 5u);

  ASSERT_EQ(Run("ClearEvent() AddLayer3Event(0, nil, nil, 0, 0, 0, 0, 0, 0)"), "");
  EXPECT_NE(Run("Dispatch()").find("AddLayer3"), std::string::npos);
  EXPECT_EQ(PendingEvents(), 0u);
  EXPECT_TRUE(object::ListContents(object::kLayer3).empty());
}

}  // namespace
