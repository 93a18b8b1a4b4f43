// The headless machine: nothing to bring up or take down (the silent audio
// brings up its own driver), no window to close, and no player: a script
// error ends the run with a failure status instead of an error screen.
#include "backend/backends.h"

namespace backend {

namespace {

class HeadlessMachine : public platform::Machine {
 public:
  bool Init(std::string*) override { return true; }
  void Quit() override {}
  bool QuitRequested() override { return false; }
  bool Interactive() override { return false; }
};

}  // namespace

std::unique_ptr<platform::Machine> CreateHeadlessMachine() {
  return std::make_unique<HeadlessMachine>();
}

}  // namespace backend
