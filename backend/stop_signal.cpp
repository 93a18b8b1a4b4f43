// SIGINT and SIGTERM ask the run to stop, as closing the window does; a
// second one ends the process at once, by the signal's own default action,
// wherever the run is stuck (a command run by os.execute, a blocking read).
// A signal the program was started with ignored (nohup, a background job's
// SIGINT) stays ignored. Both machines, window and headless, install this.
#include <signal.h>

#include "backend/backends.h"
#include "base/file.h"

namespace backend {

namespace {

volatile sig_atomic_t stop_signal = 0;

// The handler stays installed (a window's video start-up may put it back
// with other flags), so it tells the second signal from the first itself.
void OnStopSignal(int signal) {
  if (stop_signal != 0) {
    base::RemovePartialFile();  // no half-written or hidden temporary file stays
    ::signal(signal, SIG_DFL);
    raise(signal);  // delivered, with its default action, once this returns
    return;
  }
  stop_signal = signal;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  // One handler at a time: the second signal must not interrupt the first.
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction before = {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
      sigaction(signal, &action, nullptr);
  }
}

int StopSignal() { return stop_signal; }

}  // namespace backend
