// The virtual clock of headless runs: time passes only when the engine
// waits, so every frame is on time and the same run gives the same frames.
#include "backend/backends.h"

namespace backend {

namespace {

class VirtualClock : public platform::Clock {
 public:
  std::uint32_t Ticks() override { return now_; }
  void Delay(std::uint32_t ms) override { now_ += ms; }

 private:
  std::uint32_t now_ = 0;
};

}  // namespace

std::unique_ptr<platform::Clock> CreateVirtualClock() { return std::make_unique<VirtualClock>(); }

}  // namespace backend
