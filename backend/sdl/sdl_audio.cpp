// The sound device through SDL's audio: SDL's thread pulls the engine's mix
// a buffer of 512 samples at a time, under SDL's audio lock. The buffers are
// in the engine's format; a device that wants another SDL converts for.
#include <SDL.h>

#include "backend/backends.h"

namespace backend {

namespace {

constexpr int kBufferSamples = 512;

class SdlAudio : public platform::Audio {
 public:
  bool Open(platform::MixFunction mix, std::string* error) override {
    mix_ = mix;
    SDL_AudioSpec wanted{};
    wanted.freq = platform::kSampleRate;
    wanted.format = AUDIO_S8;
    wanted.channels = 1;
    wanted.samples = kBufferSamples;
    wanted.callback = &SdlAudio::Callback;
    wanted.userdata = this;
    // No spec asked back: SDL then converts to whatever the device takes.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
      *error = SDL_GetError();
      return false;
    }
    open_ = true;
    SDL_PauseAudio(0);
    return true;
  }
  void Close() override {
    if (open_) SDL_CloseAudio();
    open_ = false;
  }
  bool Pulls() const override { return true; }
  void Lock() override { SDL_LockAudio(); }
  void Unlock() override { SDL_UnlockAudio(); }

 private:
  static void Callback(void* self, Uint8* stream, int length) {
    static_cast<SdlAudio*>(self)->mix_(reinterpret_cast<std::int8_t*>(stream), length);
  }

  platform::MixFunction mix_ = nullptr;
  bool open_ = false;
};

}  // namespace

std::unique_ptr<platform::Audio> CreateSdlAudio() { return std::make_unique<SdlAudio>(); }

}  // namespace backend
