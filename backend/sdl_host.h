// The SDL 1.2 host: one Host for the window and the headless runs, built
// from the parts below, each in its own file.
#pragma once
#include <memory>
#include <string>

#include "base/input_script.h"
#include "platform/platform.h"

namespace backend {

using platform::Clock;
using platform::Display;
using platform::Host;
using platform::Input;
using platform::Mixer;

struct HostConfig {
  bool headless = false;
  int scale = 0;  // 0: the largest integer factor that fits, at least 2
  bool fullscreen = false;
  std::string record_dir;
  // --input: the buttons come from these steps instead of the devices.
  bool scripted = false;
  std::vector<base::InputStep> input_steps;
};

std::unique_ptr<Host> CreateSdlHost(const HostConfig& config);

// A display that also reacts to the window's events.
class SdlDisplay : public Display {
 public:
  virtual void ToggleFullscreen() {}
  virtual void Redraw() {}
};

// sdl_window.cpp: the 320x240 frame scaled into a window.
std::unique_ptr<SdlDisplay> CreateWindowDisplay(const HostConfig& config, std::string* error);
// sdl_headless.cpp: a framebuffer in memory, nothing shown.
std::unique_ptr<SdlDisplay> CreateHeadlessDisplay(const HostConfig& config, std::string* error);
// sdl_clock.cpp: SDL_GetTicks/SDL_Delay, or virtual time that passes only
// when the engine waits.
std::unique_ptr<Clock> CreateRealClock();
std::unique_ptr<Clock> CreateVirtualClock();
// sdl_input.cpp: joystick 0, keyboard and gamepad. `pump` handles the
// window's events and is called at every poll.
std::unique_ptr<Input> CreateDeviceInput(const HostConfig& config, void (*pump)());
// sdl_mixer.cpp: SDL_mixer.
std::unique_ptr<Mixer> CreateSdlMixer();

}  // namespace backend
