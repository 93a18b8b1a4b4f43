// The frame step: take the developer's commands (a pause waits there), poll
// input, fire due events, step the world (and, with no device pulling it, the
// sound mix), then hold the 16 ms rate. A late frame re-bases the deadline
// and skips the clearing and drawing; logic always runs exactly once per call.
#pragma once
#include <cstdint>

namespace runtime {

extern std::uint32_t FramePeriod;
extern std::uint32_t NextFrameTime;
// Calls of Update begun since start (the --input schedule counts these).
extern std::uint32_t UpdateCalls;
// Stop after this many frames (0: never): the run ends at the Present that
// follows the MaxFrames-th Update, or at the next Update if none came.
extern std::uint32_t MaxFrames;

// The colour index Update clears the back buffer to; 0 at the start of each
// run of start.lua. SetClearColour is the script's setter (0-255, else a
// script error).
extern std::uint8_t ClearColour;
void SetClearColour(int colour);

// True once --max-frames calls of Update (or error-screen frames) have run.
bool LimitReached();

void Update();
// The script's Present: shows the frame, then ends the run at the frame
// limit or when the window was closed (loops that present without Update).
void Present();
// The part of Present that follows the copy.
void FramePresented();

}  // namespace runtime
