// The SDL machine of window runs: SDL for audio and joystick (the window
// brings up video itself), and the window's events, handled at every poll
// of the SDL input: close, Alt+Enter (fullscreen) and expose (redraw).
#include <SDL.h>

#include "backend/backends.h"

namespace backend {

namespace {

class SdlMachine : public platform::Machine {
 public:
  SdlMachine(WindowDisplay* window, SdlInput* input) : window_(window), input_(input) {
    if (input_) input_->SetEventPump([this] { PumpEvents(); });
  }

  bool Init(std::string* error) override {
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) < 0) {
      *error = SDL_GetError();
      return false;
    }
    if (input_) input_->Open();
    return true;
  }

  void Quit() override { SDL_Quit(); }
  bool QuitRequested() override { return quit_; }
  bool Interactive() override { return true; }

 private:
  void PumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          quit_ = true;
          break;
        case SDL_KEYDOWN:
          if (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT))
            window_->ToggleFullscreen();
          break;
        case SDL_VIDEOEXPOSE:
          window_->Redraw();
          break;
        default:
          break;
      }
    }
  }

  WindowDisplay* window_;
  SdlInput* input_;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<platform::Machine> CreateSdlMachine(WindowDisplay* window, SdlInput* input) {
  return std::make_unique<SdlMachine>(window, input);
}

}  // namespace backend
