// Clocks: SDL's milliseconds, or a virtual clock for headless runs in which
// time passes only when the engine waits, so every frame is on time and the
// same run gives the same frames.
#include <SDL.h>

#include "backend/sdl_host.h"

namespace backend {

namespace {

class RealClock : public Clock {
 public:
  std::uint32_t Ticks() override { return SDL_GetTicks(); }
  void Delay(std::uint32_t ms) override { SDL_Delay(ms); }
};

class VirtualClock : public Clock {
 public:
  std::uint32_t Ticks() override { return now_; }
  void Delay(std::uint32_t ms) override { now_ += ms; }

 private:
  std::uint32_t now_ = 0;
};

}  // namespace

std::unique_ptr<Clock> CreateRealClock() { return std::make_unique<RealClock>(); }
std::unique_ptr<Clock> CreateVirtualClock() { return std::make_unique<VirtualClock>(); }

}  // namespace backend
