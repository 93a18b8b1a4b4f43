// The window run's backends and art build, from the window module
// (lunashot-window.so beside the program, built from backend/sdl/,
// app/window_entry.cpp and the asset tool), so that a headless run never
// maps SDL, the display and sound libraries it brings, or the tool's. The
// module takes base/, platform/ and backend/ from the program.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "backend/backends.h"

namespace app {

struct WindowBackends {
  std::unique_ptr<backend::WindowDisplay> display;
  std::unique_ptr<backend::SdlInput> input;  // null when the buttons are scripted
  std::unique_ptr<platform::Machine> machine;
  std::unique_ptr<platform::Audio> audio;
  std::unique_ptr<platform::Clock> clock;
  // The game's art build (runtime::ArtBuild), null without the module.
  bool (*art_run)(std::string* note, std::string* report) = nullptr;
  std::vector<std::string> (*art_sources)() = nullptr;
};

// app/window_entry.cpp: the module's one entry, found by this name.
#define LUNASHOT_WINDOW_ENTRY "lunashot_window_backends"
using WindowEntry = void (*)(int scale, bool fullscreen, bool devices, WindowBackends* out);

// When the module cannot be loaded, the machine's Init fails with the cause
// (so the run ends as any failed start does) and headless stand-ins fill
// the other places.
WindowBackends LoadWindowBackends(int scale, bool fullscreen, bool devices);

}  // namespace app
