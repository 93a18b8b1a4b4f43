// The SDL machine of window runs: SDL for pads (the window brings up video
// itself, the audio its device), and the window's events, handled at every
// poll of the SDL input and whenever the core asks for developer commands:
// close and Escape (quit), Alt+Enter (fullscreen), expose and resize
// (redraw), key presses (passed to the input so that short taps count) and
// the developer keys, which the input never reads as buttons. A held key's
// repeats are no presses at all. A second close or Escape ends the
// process at once: the first one's stop may be waiting on something that
// never ends. SIGINT and SIGTERM stop the run as a close does (instead of
// SDL's own handlers, which would only queue a close for the next poll).
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "backend/backends.h"

namespace backend {

namespace {

class SdlMachine : public platform::Machine {
 public:
  SdlMachine(WindowDisplay* window, SdlInput* input) : window_(window), input_(input) {
    if (input_) input_->SetEventPump([this] { PumpEvents(); });
  }

  bool Init(std::string* error) override {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Pads by the place of their buttons: a Nintendo pad's bottom button is A too.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) < 0) {
      *error = SDL_GetError();
      return false;
    }
    CatchStopSignals();
    if (input_) input_->Open();
    return true;
  }

  void Quit() override { SDL_Quit(); }
  bool QuitRequested() override { return quit_ || StopSignal() != 0; }
  bool QuitRequestedNow() override {
    PumpEvents();
    // A reload asked for ends a script that loops without a frame, as a
    // close does; the run then takes the reload.
    return QuitRequested() || std::find(commands_.begin(), commands_.end(),
                                        platform::DevCommand::kReload) != commands_.end();
  }

  platform::DevCommand TakeCommand() override {
    PumpEvents();
    if (commands_.empty()) return platform::DevCommand::kNone;
    platform::DevCommand c = commands_.front();
    commands_.pop_front();
    return c;
  }
  bool Interactive() override { return true; }
  [[noreturn]] void Exit(int status) override { ReturnToLauncher(status); }

 private:
  void PumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT: Close(); break;
        case SDL_KEYDOWN:
          if (e.key.repeat) break;
          if (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT))
            window_->ToggleFullscreen();
          if (input_) input_->KeyPressed(e.key.keysym.sym, (e.key.keysym.mod & KMOD_ALT) != 0);
          DeveloperKey(e.key.keysym.sym);
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
              e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            window_->Redraw();
          break;
        default: break;
      }
    }
  }

  void Close() {
    if (quit_) {
      // Without the program's exit steps, but with those registered for
      // this (the frame hashes not yet written).
      std::fflush(nullptr);
      std::quick_exit(0);
    }
    quit_ = true;
  }

  void DeveloperKey(SDL_Keycode key) {
    using platform::DevCommand;
    DevCommand c = DevCommand::kNone;
    switch (key) {
      case SDLK_ESCAPE: Close(); return;
      case SDLK_F3: c = DevCommand::kOverlay; break;
      case SDLK_F5: c = DevCommand::kReload; break;  // Shift+F5 too
      case SDLK_F6: c = DevCommand::kPause; break;
      case SDLK_F7: c = DevCommand::kStep; break;
      case SDLK_F9: c = DevCommand::kGif; break;
      case SDLK_F12: c = DevCommand::kScreenshot; break;
      default: return;
    }
    // A flood of presses cannot grow the queue without bound.
    if (commands_.size() < 64) commands_.push_back(c);
  }

  WindowDisplay* window_;
  SdlInput* input_;
  bool quit_ = false;
  std::deque<platform::DevCommand> commands_;
};

}  // namespace

std::unique_ptr<platform::Machine> CreateSdlMachine(WindowDisplay* window, SdlInput* input) {
  return std::make_unique<SdlMachine>(window, input);
}

}  // namespace backend
