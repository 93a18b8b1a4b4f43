// The timeline (placeholder until the timeline work lands).
#include "event/timeline.h"

namespace event {

dword TimeCounter = 0;

void ReplayEvent::Fire() {}
void FuncEvent::Fire() {}
void ITimeEvent::Fire() {}
void InstanceEvent::Fire() {}

void InsertEvent(std::unique_ptr<Event>) {}
void DispatchEvents() { ++TimeCounter; }
std::size_t PendingEvents() { return 0; }
void AddTimeEvent(dword, const char*) {}
void AddInstanceEvent(dword, const char*, object::Instance*) {}
#define SPAWN_EVENT(name)                                                                      \
  void name(dword, object::Object*, const char*, int, int, int, std::uint8_t, std::uint8_t, \
            std::int16_t) {}
SPAWN_EVENT(AddEnemy0Event)
SPAWN_EVENT(AddEnemy1Event)
SPAWN_EVENT(AddLayer0Event)
SPAWN_EVENT(AddLayer1Event)
SPAWN_EVENT(AddLayer2Event)
SPAWN_EVENT(AddLayer3Event)
void rep(dword, std::uint8_t) {}
void ClearEvent() { TimeCounter = 0; }
void SetTime(unsigned int t) { TimeCounter = t; }
dword GetTime() { return TimeCounter; }

}  // namespace event
