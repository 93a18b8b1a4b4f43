// The headless machine: nothing to bring up or take down, no window to
// close, and no player: a script error ends the run with a failure status
// instead of an error screen.
// SIGINT and SIGTERM ask the run to stop as closing a window does, so what
// it records (a GIF, the log) is complete; a second one ends it at once
// (stop_signal.cpp).
#include "backend/backends.h"

namespace backend {

namespace {

class HeadlessMachine : public platform::Machine {
 public:
  bool Init(std::string*) override {
    CatchStopSignals();
    return true;
  }
  void Quit() override {}
  bool QuitRequested() override { return StopSignal() != 0; }
  bool Interactive() override { return false; }
  [[noreturn]] void Exit(int status) override { ReturnToLauncher(status); }
};

}  // namespace

std::unique_ptr<platform::Machine> CreateHeadlessMachine() {
  return std::make_unique<HeadlessMachine>();
}

int HeadlessStopSignal() { return StopSignal(); }

}  // namespace backend
