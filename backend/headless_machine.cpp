// The headless machine: nothing to bring up or take down (the silent audio
// brings up its own driver), no window to close, and no player: a script
// error ends the run with a failure status instead of an error screen.
// SIGINT and SIGTERM ask the run to stop as closing a window does, so what
// it records (a GIF, the log) is complete; a second one ends it at once,
// without the half-written file of a write in progress.
#include <signal.h>

#include "backend/backends.h"
#include "base/file.h"

namespace backend {

namespace {

volatile sig_atomic_t stop_signal = 0;

void OnStopSignal(int signal) {
  if (stop_signal == 0) {
    stop_signal = signal;
    return;
  }
  base::RemovePartialFile();
  // The default action, once this handler returns: killed by the signal.
  ::signal(signal, SIG_DFL);
  raise(signal);
}

class HeadlessMachine : public platform::Machine {
 public:
  bool Init(std::string*) override {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
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
