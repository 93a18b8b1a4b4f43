// Update: the engine's whole per-frame work, in a fixed order.
#include "engine/frame.h"

#include <cstring>

#include "event/timeline.h"
#include "object/world.h"
#include "platform/platform.h"
#include "script/host.h"
#include "video/display.h"

namespace engine {

std::uint32_t FramePeriod = 16;
std::uint32_t NextFrameTime = 0;
std::uint32_t UpdateCalls = 0;
std::uint32_t MaxFrames = 0;

namespace {

// After a completed Update: the frame limit or a closed window ends the run.
void FrameDone() {
  if ((MaxFrames != 0 && UpdateCalls >= MaxFrames) ||
      (platform::host && platform::host->QuitRequested()))
    script::AbortRun();
}

}  // namespace

void Update() {
  ++UpdateCalls;
  platform::input->Poll();
  event::DispatchEvents();
  object::UpdateWorld();
  std::uint32_t now = platform::clock->Ticks();
  if (NextFrameTime < now) {
    NextFrameTime = now + FramePeriod;
    FrameDone();
    return;
  }
  platform::clock->Delay(NextFrameTime - now);
  NextFrameTime += FramePeriod;
  std::memset(video::BackBuffer->pixels, 0, static_cast<std::size_t>(video::BackBuffer->size));
  object::RenderWorld();
  FrameDone();
}

}  // namespace engine
