// Button queries read the platform's input as of its last poll; the key
// bitmask packs the stick direction (first down in a fixed priority order)
// with A and X; the replayed queries decode ReplayKey.
#include "event/input.h"

#include "platform/buttons.h"
#include "platform/platform.h"

namespace event {

std::uint8_t ReplayKey = 0;

namespace {

std::uint32_t polled_at = 0;  // the Update count of the latest frame step's reading

using namespace platform;  // the Button names

// Without an input backend every button reads as up.
std::uint8_t Down(int index) {
  return platform::backends.input && platform::backends.input->Button(index) ? 1 : 0;
}

// Stick buttons in GetKey's order (diagonals first, up over down, left over
// right) with their direction codes.
struct Priority {
  int button;
  std::uint8_t code;
};
constexpr Priority kPriority[] = {{kUpRight, 8}, {kUpLeft, 6}, {kDownRight, 2}, {kDownLeft, 4},
                                  {kUp, 7},      {kDown, 3},   {kLeft, 5},      {kRight, 1}};

std::uint8_t ReplayCodeIs(std::uint8_t code) { return (ReplayKey >> 2) == code ? 1 : 0; }

}  // namespace

void PollInput(std::uint32_t update_calls) {
  polled_at = update_calls;
  if (platform::backends.input) platform::backends.input->Poll(update_calls);
}

void JoystickUpdate() {
  if (platform::backends.input) platform::backends.input->Poll(polled_at);
}

std::uint8_t GetKey() {
  std::uint8_t code = 0;
  for (const Priority& p : kPriority) {
    if (Down(p.button)) {
      code = p.code;
      break;
    }
  }
  std::uint8_t key = static_cast<std::uint8_t>(code * 4);
  if (Down(kX)) key += 1;
  if (Down(kA)) key += 2;
  return key;
}

std::uint8_t IsU() { return Down(kUp); }
std::uint8_t IsD() { return Down(kDown); }
std::uint8_t IsL() { return Down(kLeft); }
std::uint8_t IsR() { return Down(kRight); }
std::uint8_t IsUL() { return Down(kUpLeft); }
std::uint8_t IsDL() { return Down(kDownLeft); }
std::uint8_t IsDR() { return Down(kDownRight); }
std::uint8_t IsUR() { return Down(kUpRight); }
std::uint8_t IsStart() { return Down(kStart); }
std::uint8_t IsA() { return Down(kA); }
std::uint8_t IsX() { return Down(kX); }
std::uint8_t IsY() { return Down(kY); }

std::uint8_t GetRkey() { return ReplayKey; }
std::uint8_t IsRR() { return ReplayCodeIs(1); }
std::uint8_t IsRDR() { return ReplayCodeIs(2); }
std::uint8_t IsRD() { return ReplayCodeIs(3); }
std::uint8_t IsRDL() { return ReplayCodeIs(4); }
std::uint8_t IsRL() { return ReplayCodeIs(5); }
std::uint8_t IsRUL() { return ReplayCodeIs(6); }
std::uint8_t IsRU() { return ReplayCodeIs(7); }
std::uint8_t IsRUR() { return ReplayCodeIs(8); }
std::uint8_t IsRA() { return (ReplayKey >> 1) & 1; }
std::uint8_t IsRX() { return ReplayKey & 1; }

}  // namespace event
