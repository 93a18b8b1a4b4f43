// The headless machine: nothing to bring up or take down, no window to
// close, and no player: a script error ends the run with a failure status
// instead of an error screen.
// SIGINT and SIGTERM ask the run to stop as closing a window does, so what
// it records (a GIF, the log) is complete; a second one ends it at once.
#include <signal.h>

#include "backend/backends.h"

namespace backend {

namespace {

volatile sig_atomic_t stop_signal = 0;

void OnStopSignal(int signal) { stop_signal = signal; }

class HeadlessMachine : public platform::Machine {
 public:
  bool Init(std::string*) override {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    // A signal the run was started with ignored (a background job's SIGINT,
    // nohup) stays ignored.
    for (int signal : {SIGINT, SIGTERM}) {
      struct sigaction before = {};
      if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
        sigaction(signal, &action, nullptr);
    }
    return true;
  }
  void Quit() override {}
  bool QuitRequested() override { return stop_signal != 0; }
  bool Interactive() override { return false; }
};

}  // namespace

std::unique_ptr<platform::Machine> CreateHeadlessMachine() {
  return std::make_unique<HeadlessMachine>();
}

int HeadlessStopSignal() { return stop_signal; }

}  // namespace backend
