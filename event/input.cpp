// Input queries (placeholder until the input work lands).
#include "event/input.h"

#include "platform/platform.h"

namespace event {

std::uint8_t ReplayKey = 0;

void JoystickUpdate() { platform::input->Poll(); }
std::uint8_t GetKey() { return 0; }
#define Q(name) \
  std::uint8_t name() { return 0; }
Q(IsU) Q(IsD) Q(IsL) Q(IsR) Q(IsUL) Q(IsDL) Q(IsDR) Q(IsUR) Q(IsStart) Q(IsA) Q(IsX) Q(IsY)
Q(GetRkey) Q(IsRU) Q(IsRD) Q(IsRL) Q(IsRR) Q(IsRUL) Q(IsRDL) Q(IsRDR) Q(IsRUR) Q(IsRA) Q(IsRX)

}  // namespace event
