// The SDL host: SDL_Init for audio and joystick, the display chosen by mode,
// and the window's event pump (quit, Alt+Enter, redraw).
#include "backend/sdl_host.h"

#include <SDL.h>

#include <cstdlib>

#include "backend/scripted_input.h"

namespace backend {

namespace {

class SdlHost;
SdlHost* current = nullptr;

class SdlHost : public Host {
 public:
  explicit SdlHost(const HostConfig& config) : config_(config) { current = this; }
  ~SdlHost() override { current = nullptr; }

  bool InitSystem(std::string* error) override {
    if (config_.headless) {
      // Never a window, and silent: the dummy drivers.
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) < 0) {
      *error = SDL_GetError();
      return false;
    }
    clock_ = config_.headless ? CreateVirtualClock() : CreateRealClock();
    if (config_.scripted)
      input_ = std::make_unique<ScriptedInput>(config_.input_steps);
    else
      input_ = CreateDeviceInput(config_, &Pump);
    mixer_ = CreateSdlMixer();
    platform::clock = clock_.get();
    platform::input = input_.get();
    platform::mixer = mixer_.get();
    return true;
  }

  bool OpenDisplay(std::string* error) override {
    display_ = config_.headless ? CreateHeadlessDisplay(config_, error)
                                : CreateWindowDisplay(config_, error);
    platform::display = display_.get();
    return display_ != nullptr;
  }

  void CloseDisplay() override {
    platform::display = nullptr;
    display_.reset();
  }

  void QuitSystem() override {
    platform::mixer = nullptr;
    mixer_.reset();
    SDL_Quit();
  }

  bool QuitRequested() override { return quit_; }

  static void Pump() {
    if (!current || current->config_.headless) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          current->quit_ = true;
          break;
        case SDL_KEYDOWN:
          if (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT) &&
              current->display_)
            current->display_->ToggleFullscreen();
          break;
        case SDL_VIDEOEXPOSE:
          if (current->display_) current->display_->Redraw();
          break;
        default:
          break;
      }
    }
  }

 private:
  HostConfig config_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Input> input_;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<SdlDisplay> display_;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<Host> CreateSdlHost(const HostConfig& config) {
  return std::make_unique<SdlHost>(config);
}

}  // namespace backend
