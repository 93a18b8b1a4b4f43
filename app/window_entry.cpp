// The window module's entry: the SDL window, input, machine, audio and
// clock of a window run, made in the order they depend on, and the art build.
#include "app/art_build.h"
#include "app/window_module.h"

extern "C" __attribute__((visibility("default"))) void lunashot_window_backends(
    int scale, bool fullscreen, bool devices, app::WindowBackends* out) {
  static_assert(std::is_same_v<decltype(&lunashot_window_backends), app::WindowEntry>);
  out->display = backend::CreateWindowDisplay(scale, fullscreen);
  if (devices) out->input = backend::CreateSdlInput();
  out->machine = backend::CreateSdlMachine(out->display.get(), out->input.get());
  out->audio = backend::CreateSdlAudio();
  out->clock = backend::CreateRealClock();
  out->art_run = app::RunArtBuild;
  out->art_sources = app::ArtSources;
}
