// The window module's entry: the SDL window, input, machine, audio and
// clock of a window run, made together in the order they depend on.
#include "backend/backends.h"

extern "C" __attribute__((visibility("default"))) void lunashot_window_backends(
    int scale, bool fullscreen, bool devices, backend::WindowBackends* out) {
  static_assert(std::is_same_v<decltype(&lunashot_window_backends), backend::WindowEntry>);
  out->display = backend::CreateWindowDisplay(scale, fullscreen);
  if (devices) out->input = backend::CreateSdlInput();
  out->machine = backend::CreateSdlMachine(out->display.get(), out->input.get());
  out->audio = backend::CreateSdlAudio();
  out->clock = backend::CreateRealClock();
}
