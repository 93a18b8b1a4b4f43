// The frame step: poll input, fire due events, step the world, then hold
// the 16 ms rate. A late frame re-bases the deadline and skips the clearing
// and drawing; logic always runs exactly once per call.
#pragma once
#include <cstdint>

namespace engine {

extern std::uint32_t FramePeriod;
extern std::uint32_t NextFrameTime;
// Calls of Update begun since start (the --input schedule counts these).
extern std::uint32_t UpdateCalls;
// Stop after this many completed Updates (0: never).
extern std::uint32_t MaxFrames;

void Update();

}  // namespace engine
