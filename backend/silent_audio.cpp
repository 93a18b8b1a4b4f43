// Silent audio for headless runs: SDL_mixer on SDL's dummy driver, so that
// scripts get the same results as with sound. At the end it halts every
// channel and pauses the driver instead of closing it: closing waits for the
// driver's thread to finish sleeping out a whole buffer (46 ms), on every
// run. The thread then only writes silence into the driver's own buffer and
// ends with the process, which follows at once.
#include <SDL.h>
#include <SDL_mixer.h>

#include "backend/backends.h"
#include "backend/sdl_audio.h"

namespace backend {

namespace {

class SilentAudio : public SdlAudio {
 public:
  bool Open(std::string* error) override { return OpenSilent(error); }

  void Close() override {
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    SDL_PauseAudio(1);
    // A mix already past its pause check finishes under the lock; halted
    // channels read no sample, so samples may be freed from now on.
    SDL_LockAudio();
    SDL_UnlockAudio();
  }
};

}  // namespace

std::unique_ptr<platform::Audio> CreateSilentAudio() { return std::make_unique<SilentAudio>(); }

}  // namespace backend
