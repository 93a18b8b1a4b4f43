// The timeline: insertion keeps the list sorted with ties in insertion
// order; the dispatch fires the front while it is due. The event whose Fire
// runs stays in the list during the call (so a failing script function
// leaves it there, still due); a ClearEvent from inside that call hands it to
// the dispatch instead of destroying it under its own feet.
#include "event/timeline.h"

#include <algorithm>
#include <exception>
#include <list>

#include "base/error.h"
#include "event/input.h"
#include "event/replay.h"
#include "script/host.h"

namespace event {

dword TimeCounter = 0;

namespace {

std::list<std::unique_ptr<Event>> EventList;

// The event whose Fire is running, and where a ClearEvent during that Fire
// parks it until the dispatch is done with it.
Event* firing = nullptr;
std::unique_ptr<Event> orphan;

// Marks the event at `at` as firing for the length of its Fire, normal or
// failing. A spawn event that fails leaves the list as the error unwinds:
// its kind and values are fixed, so it would fail again every frame. Other
// failed events stay, still due.
class FiringScope {
 public:
  explicit FiringScope(std::list<std::unique_ptr<Event>>::iterator at)
      : at_(at), exceptions_(std::uncaught_exceptions()) {
    firing = at->get();
  }
  ~FiringScope() {
    if (std::uncaught_exceptions() > exceptions_ && !orphan && dynamic_cast<InstanceEvent*>(firing))
      EventList.erase(at_);
    firing = nullptr;
    orphan.reset();
  }
  bool Orphaned() const { return orphan != nullptr; }

 private:
  std::list<std::unique_ptr<Event>>::iterator at_;
  int exceptions_;
};

const char* const kSpawnNames[object::kListCount] = {"AddEnemy0",  "AddEnemy1", "AddEBullet",
                                                     "AddPBullet", "AddLayer0", "AddLayer1",
                                                     "AddLayer2",  "AddLayer3"};

void AddSpawnEvent(const char* function, object::List list, dword delay, object::Object* kind,
                   const char* name, int x, int y, int vel, std::uint8_t dir, std::uint8_t anim,
                   std::int16_t life) {
  if (kind && kind->released) base::Fail(function, "the kind was released");
  object::CheckFunctionName(function, name);
  auto e = std::make_unique<InstanceEvent>();
  e->time = TimeCounter + delay;
  e->has_name = name != nullptr;
  if (name) e->name = name;
  e->object = kind;
  e->x = x;
  e->y = y;
  e->vel = vel;
  e->dir = dir;
  e->anim = anim;
  e->life = life;
  e->list = list;
  InsertEvent(std::move(e));
}

}  // namespace

void ReplayEvent::Fire() { ReplayKey = key; }

void FuncEvent::Fire() {
  if (!has_name)
    base::Fail("AddTimeEvent", "the event due at frame %u was added without a function name", time);
  script::CallFunction(name.c_str());
}

void ITimeEvent::Fire() {
  if (!has_name)
    base::Fail("AddInstanceEvent", "the event due at frame %u was added without a function name",
               time);
  script::CallFunction(name.c_str(), object::HandleOf(instance));
}

void InstanceEvent::Fire() {
  // dir is widened without sign: the spawn takes it as an int.
  object::Spawn(list, object.get(), has_name ? name.c_str() : nullptr, x, y, vel,
                static_cast<int>(dir), anim, life, kSpawnNames[list]);
}

void InsertEvent(std::unique_ptr<Event> event) {
  const dword t = event->time;
  auto at = std::find_if(EventList.begin(), EventList.end(),
                         [t](const std::unique_ptr<Event>& e) { return e->time > t; });
  EventList.insert(at, std::move(event));
}

void DispatchEvents() {
  if (firing) base::Fail("Update", "called from inside a function that the timeline fired");
  while (!EventList.empty()) {
    auto it = EventList.begin();
    Event* e = it->get();
    if (e->time > TimeCounter) break;
    if (e->time == TimeCounter) {
      FiringScope scope(it);
      e->Fire();
      // A ClearEvent inside the Fire already took it (and everything else)
      // out of the list; `it` is gone with them.
      if (scope.Orphaned()) continue;
    }
    // Insertions during the Fire never move `it`: list positions are stable.
    EventList.erase(it);
  }
  ++TimeCounter;
}

std::size_t PendingEvents() { return EventList.size(); }

void AddTimeEvent(dword delay, const char* name) {
  object::CheckFunctionName("AddTimeEvent", name);
  auto e = std::make_unique<FuncEvent>();
  e->time = TimeCounter + delay;
  e->has_name = name != nullptr;
  if (name) e->name = name;
  InsertEvent(std::move(e));
}

void AddInstanceEvent(dword delay, const char* name, object::Instance* instance) {
  object::CheckFunctionName("AddInstanceEvent", name);
  auto e = std::make_unique<ITimeEvent>();
  e->time = TimeCounter + delay;
  e->has_name = name != nullptr;
  if (name) e->name = name;
  e->instance = instance;
  InsertEvent(std::move(e));
}

#define LUNASHOT_SPAWN_EVENT(function, list)                                                \
  void function(dword delay, object::Object* kind, const char* name, int x, int y, int vel, \
                std::uint8_t dir, std::uint8_t anim, std::int16_t life) {                   \
    AddSpawnEvent(#function, list, delay, kind, name, x, y, vel, dir, anim, life);          \
  }
LUNASHOT_SPAWN_EVENT(AddEnemy0Event, object::kEnemy0)
LUNASHOT_SPAWN_EVENT(AddEnemy1Event, object::kEnemy1)
LUNASHOT_SPAWN_EVENT(AddLayer0Event, object::kLayer0)
LUNASHOT_SPAWN_EVENT(AddLayer1Event, object::kLayer1)
LUNASHOT_SPAWN_EVENT(AddLayer2Event, object::kLayer2)
LUNASHOT_SPAWN_EVENT(AddLayer3Event, object::kLayer3)
#undef LUNASHOT_SPAWN_EVENT

void rep(dword frame, std::uint8_t key) {
  auto e = std::make_unique<ReplayEvent>();
  e->time = frame - 1;  // frame 0 wraps to the largest value
  e->key = key;
  InsertEvent(std::move(e));
}

void ClearEvent() {
  if (firing && !orphan) {
    for (auto& e : EventList) {
      if (e.get() == firing) {
        orphan = std::move(e);
        break;
      }
    }
  }
  EventList.clear();
  ReplayRecords.clear();
  ReplayKey = 0;
  TimeCounter = 0;
}

void SetTime(unsigned int t) { TimeCounter = t; }

dword GetTime() { return TimeCounter; }

bool IsOdd() { return (TimeCounter & 1u) != 0; }

}  // namespace event
