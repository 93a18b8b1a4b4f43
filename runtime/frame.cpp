// Update: the engine's whole per-frame work, in a fixed order.
#include "runtime/frame.h"

#include <cstring>

#include "base/error.h"
#include "event/input.h"
#include "event/timeline.h"
#include "object/world.h"
#include "platform/platform.h"
#include "runtime/devkeys.h"
#include "script/host.h"
#include "sound/sound.h"
#include "video/display.h"

namespace runtime {

std::uint32_t FramePeriod = 16;
std::uint32_t NextFrameTime = 0;
std::uint32_t UpdateCalls = 0;
std::uint32_t MaxFrames = 0;
std::uint8_t ClearColour = 0;

void SetClearColour(int colour) {
  if (colour < 0 || colour > 255)
    base::Fail("SetClearColour", "colour must be a palette index, 0 to 255, got %d", colour);
  ClearColour = static_cast<std::uint8_t>(colour);
}

// The frame limit ends the run once the Update that reached it has done its
// work and the script has presented that frame (or calls Update again
// without presenting it). A closed window ends the run at once.
bool LimitReached() { return MaxFrames != 0 && UpdateCalls >= MaxFrames; }

namespace {

constexpr std::uint32_t kMaxAhead = 1000;

void FrameDone() {
  platform::Machine* machine = platform::backends.machine;
  if (machine && machine->QuitRequested()) script::AbortRun();
}

}  // namespace

void FramePresented() {
  FrameShown();
  if (LimitReached()) script::AbortRun();
  FrameDone();
}

void Present() {
  video::Present();
  FramePresented();
}

void Update() {
  if (LimitReached()) {
    script::AbortRun();
    return;
  }
  // Developer commands come first: a pause holds the frame before it reads
  // the buttons, and a reload ends the run without another frame.
  HandleDevCommands();
  if (script::Aborted()) return;
  FrameStarts();
  ++UpdateCalls;
  event::PollInput(UpdateCalls);
  event::DispatchEvents();
  object::UpdateWorld();
  // Without a device pulling it, the mix reaches the end of this frame: what
  // the scripts play from here on starts with the next one.
  sound::StepSound(UpdateCalls, FramePeriod);
  std::uint32_t now = platform::backends.clock->Ticks();
  // Late only when the deadline has passed. The difference is taken modulo
  // 2^32 and read with its sign, so the wrap of the millisecond count (after
  // 49.7 days) is no wait of weeks. A deadline a little more than a period
  // ahead is on time (the tick count may step back a millisecond against
  // the sleep); one more than a second ahead means the clock itself went
  // back, and re-bases the schedule like a late frame.
  std::uint32_t ahead = NextFrameTime - now;
  if (static_cast<std::int32_t>(ahead) < 0 || ahead > kMaxAhead) {
    NextFrameTime = now + FramePeriod;
    FrameWorked(true);
    FrameDone();
    return;
  }
  FrameWorked(false);
  platform::backends.clock->Delay(ahead);
  NextFrameTime += FramePeriod;
  std::memset(video::BackBuffer->pixels, ClearColour,
              static_cast<std::size_t>(video::BackBuffer->size));
  object::RenderWorld();
  FrameDone();
}

}  // namespace runtime
