// The timeline: a multimap by due frame, where an insertion goes behind the
// equal keys already there, so ties keep insertion order and positions stay
// stable whatever is inserted or erased around them. The dispatch fires the
// front while it is due. The event whose Fire runs stays in the list during
// the call (so a failing script function leaves it there, still due); a
// ClearEvent from inside that call hands it to the dispatch instead of
// destroying it under its own feet.
#include "event/timeline.h"

#include <exception>
#include <iterator>
#include <map>

#include "base/error.h"
#include "base/memory_budget.h"
#include "event/input.h"
#include "event/replay.h"
#include "script/host.h"

namespace event {

dword TimeCounter = 0;

namespace {

using EventMap = std::multimap<dword, std::unique_ptr<Event>>;
EventMap EventList;

// The event whose Fire is running (and its place), and where a ClearEvent
// during that Fire parks it until the dispatch is done with it.
Event* firing = nullptr;
EventMap::iterator firing_at;
std::unique_ptr<Event> orphan;

// Marks the event at `at` as firing for the length of its Fire, normal or
// failing. A spawn event that fails leaves the list as the error unwinds:
// its kind and values are fixed, so it would fail again every frame. Other
// failed events stay, still due.
class FiringScope {
 public:
  explicit FiringScope(EventMap::iterator at) : at_(at), exceptions_(std::uncaught_exceptions()) {
    firing = at->second.get();
    firing_at = at;
  }
  ~FiringScope() {
    if (std::uncaught_exceptions() > exceptions_ && !orphan && dynamic_cast<InstanceEvent*>(firing))
      EventList.erase(at_);
    firing = nullptr;
    orphan.reset();
  }
  bool Orphaned() const { return orphan != nullptr; }

 private:
  EventMap::iterator at_;
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
  object::NoteStillSpeed(function, vel);
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
  const std::size_t bytes = sizeof(InstanceEvent) + base::kBlockOverhead + base::HeapBytes(e->name);
  InsertEvent(function, std::move(e), bytes);
}

}  // namespace

// A node of the multimap: its links and colour, and the key and pointer.
const std::size_t kEventSlotBytes =
    4 * sizeof(void*) + sizeof(EventMap::value_type) + base::kBlockOverhead;

Event::~Event() { base::Release(charged); }

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

void InsertEvent(const char* function, std::unique_ptr<Event> event, std::size_t bytes) {
  bytes += kEventSlotBytes;
  base::Charge(function, bytes);
  event->charged = static_cast<std::uint32_t>(bytes);
  const dword t = event->time;
  // The place just before the first later event: behind every equal one.
  const auto at = EventList.empty() || std::prev(EventList.end())->first <= t
                      ? EventList.end()
                      : EventList.upper_bound(t);
  EventList.emplace_hint(at, t, std::move(event));
}

void DispatchEvents() {
  // The error reaches the script again through the fired function's caller,
  // the main loop's Update, whose line the traceback then shows: the message
  // names the line that made the nested call.
  if (firing)
    base::Fail("Update", "called from inside a function that the timeline fired, at %s",
               script::ScriptPosition().c_str());
  while (!EventList.empty()) {
    auto it = EventList.begin();
    Event* e = it->second.get();
    if (e->time > TimeCounter) break;
    if (e->time == TimeCounter) {
      FiringScope scope(it);
      e->Fire();
      // A ClearEvent inside the Fire already took it (and everything else)
      // out of the list; `it` is gone with them.
      if (scope.Orphaned()) continue;
    }
    // Insertions during the Fire never move `it`: map positions are stable.
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
  const std::size_t bytes = sizeof(FuncEvent) + base::kBlockOverhead + base::HeapBytes(e->name);
  InsertEvent("AddTimeEvent", std::move(e), bytes);
}

void AddInstanceEvent(dword delay, const char* name, object::Instance* instance) {
  object::CheckFunctionName("AddInstanceEvent", name);
  auto e = std::make_unique<ITimeEvent>();
  e->time = TimeCounter + delay;
  e->has_name = name != nullptr;
  if (name) e->name = name;
  e->instance = instance;
  const std::size_t bytes = sizeof(ITimeEvent) + base::kBlockOverhead + base::HeapBytes(e->name);
  InsertEvent("AddInstanceEvent", std::move(e), bytes);
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
  InsertEvent("rep", std::move(e), sizeof(ReplayEvent) + base::kBlockOverhead);
}

void ClearEvent() {
  if (firing && !orphan) orphan = std::move(firing_at->second);
  EventList.clear();
  ReplayRecords.clear();
  ReplayKey = 0;
  TimeCounter = 0;
}

void SetTime(unsigned int t) { TimeCounter = t; }

dword GetTime() { return TimeCounter; }

bool IsOdd() { return (TimeCounter & 1u) != 0; }

}  // namespace event
