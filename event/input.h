// Button queries, the key bitmask (direction code * 4 + A * 2 + X) and the
// replayed key that ReplayEvents deliver.
#pragma once
#include <cstdint>

namespace event {

extern std::uint8_t ReplayKey;

// A new reading of the buttons at the frame step, which counts the Updates;
// JoystickUpdate between two Updates reads them again at the same count.
void PollInput(std::uint32_t update_calls);
void JoystickUpdate();
std::uint8_t GetKey();
std::uint8_t IsU();
std::uint8_t IsD();
std::uint8_t IsL();
std::uint8_t IsR();
std::uint8_t IsUL();
std::uint8_t IsDL();
std::uint8_t IsDR();
std::uint8_t IsUR();
std::uint8_t IsStart();
std::uint8_t IsA();
std::uint8_t IsX();
std::uint8_t IsY();

std::uint8_t GetRkey();
std::uint8_t IsRU();
std::uint8_t IsRD();
std::uint8_t IsRL();
std::uint8_t IsRR();
std::uint8_t IsRUL();
std::uint8_t IsRDL();
std::uint8_t IsRDR();
std::uint8_t IsRUR();
std::uint8_t IsRA();
std::uint8_t IsRX();

}  // namespace event
