// Asks the window module for the window's backends.
#include "app/window_module.h"

#include <string>

#include "app/modules.h"

namespace app {

namespace {

class UnavailableMachine : public platform::Machine {
 public:
  explicit UnavailableMachine(std::string cause) : cause_(std::move(cause)) {}
  bool Init(std::string* error) override {
    *error = cause_;
    return false;
  }
  void Quit() override {}
  bool QuitRequested() override { return false; }
  bool Interactive() override { return false; }
  [[noreturn]] void Exit(int status) override { backend::ReturnToLauncher(status); }

 private:
  std::string cause_;
};

}  // namespace

WindowBackends LoadWindowBackends(int scale, bool fullscreen, bool devices) {
  WindowBackends out;
  std::string error;
  if (auto entry = reinterpret_cast<WindowEntry>(
          ModuleEntry("lunashot-window.so", LUNASHOT_WINDOW_ENTRY, &error))) {
    entry(scale, fullscreen, devices, &out);
    return out;
  }
  out.machine = std::make_unique<UnavailableMachine>("cannot open a window: " + error);
  out.audio = backend::CreateSilentAudio();
  out.clock = backend::CreateVirtualClock();
  return out;
}

}  // namespace app
