// The real clock: SDL's milliseconds and sleep.
#include <SDL.h>

#include "backend/backends.h"

namespace backend {

namespace {

class RealClock : public platform::Clock {
 public:
  std::uint32_t Ticks() override { return SDL_GetTicks(); }
  void Delay(std::uint32_t ms) override { SDL_Delay(ms); }
};

}  // namespace

std::unique_ptr<platform::Clock> CreateRealClock() { return std::make_unique<RealClock>(); }

}  // namespace backend
