// The frame counter and the event list: events sorted by due frame, equal
// frames in insertion order; the dispatch fires those due now, discards the
// overdue, and advances the counter by one. Events own a copy of their name
// and keep their kind alive until they are gone; what an event takes is
// charged to the memory budget while it exists. A Fire that fails stops the
// dispatch with the counter where it was; a failed function event stays in
// the list, still due, while a failed spawn event is dropped (it would fail
// the same way every frame).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include <boost/intrusive_ptr.hpp>

#include "object/instance.h"

namespace event {

typedef std::uint32_t dword;

struct Event {
  dword time = 0;
  // Bytes charged to the memory budget for it, given back when it goes.
  std::uint32_t charged = 0;
  virtual ~Event();
  virtual void Fire() = 0;
};

struct ReplayEvent : Event {
  std::uint8_t key = 0;
  void Fire() override;
};

// A nil name is kept as "no name": firing such an event raises a script
// error naming the Add function, exactly where a missing function would.
struct FuncEvent : Event {
  std::string name;
  bool has_name = false;
  void Fire() override;
};

struct ITimeEvent : FuncEvent {
  object::Instance* instance = nullptr;
  void Fire() override;
};

// A spawn: `name` becomes the new instance's updater (none when nil).
struct InstanceEvent : FuncEvent {
  boost::intrusive_ptr<object::Object> object;
  int x = 0;
  int y = 0;
  base::FIXED vel = 0;
  std::uint8_t anim = 0;
  std::uint8_t dir = 0;
  std::int16_t life = 0;
  object::List list = object::kEnemy0;
  void Fire() override;
};

extern dword TimeCounter;

// Charges the event's memory (`bytes` for the event itself and its name,
// plus its place in the list) and puts it in, behind every event due at the
// same frame. Not enough memory is a script error naming `function`, and the
// event is dropped. Insertions at or after the last due frame (a stage's
// events in rising order, a replay's records) cost constant time, others
// the logarithm of the list's length.
void InsertEvent(const char* function, std::unique_ptr<Event> event, std::size_t bytes);
// What a pending event's place in the list takes, beyond the event itself.
extern const std::size_t kEventSlotBytes;
// A call from inside a function the dispatch fired (a nested Update) is a
// script error naming Update: the firing event is still due, so a nested
// dispatch would fire it again without end.
void DispatchEvents();
std::size_t PendingEvents();

void AddTimeEvent(dword delay, const char* name);
void AddInstanceEvent(dword delay, const char* name, object::Instance* instance);
// A kind already released is a script error naming the function; a nil kind
// is accepted and fails when the event falls due, as AddEnemy0 with nil does.
void AddEnemy0Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void AddEnemy1Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void AddLayer0Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void AddLayer1Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void AddLayer2Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void AddLayer3Event(dword delay, object::Object* kind, const char* name, int x, int y, int vel,
                    std::uint8_t dir, std::uint8_t anim, std::int16_t life);
void rep(dword frame, std::uint8_t key);
// Empties the list and the replay records, ReplayKey and the counter to 0.
// From inside a fired function it also ends the firing event; the dispatch
// then touches none of the destroyed events.
void ClearEvent();
// True on odd frames of the counter (the scripts' blink helper).
bool IsOdd();
void SetTime(unsigned int t);
dword GetTime();

}  // namespace event
