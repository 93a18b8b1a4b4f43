// The sound device through SDL's audio: SDL's thread pulls the engine's mix
// a buffer of 512 samples at a time, under the device's lock. The buffers
// are in the engine's format (11025 Hz, signed 8-bit, mono); a device that
// refuses it is opened in what it offers and SDL converts (no change to the
// format is allowed to reach the mix).
#include <SDL.h>

#include "backend/backends.h"

namespace backend {

namespace {

constexpr int kBufferSamples = 512;

class SdlAudio : public platform::Audio {
 public:
  bool Open(platform::MixFunction mix, std::string* error) override {
    mix_ = mix;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
      *error = SDL_GetError();
      return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = platform::kSampleRate;
    wanted.format = AUDIO_S8;
    wanted.channels = 1;
    wanted.samples = kBufferSamples;
    wanted.callback = &SdlAudio::Callback;
    wanted.userdata = this;
    SDL_AudioSpec given{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &given, 0);
    if (device_ == 0) {
      *error = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }
  void Close() override {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
  }
  bool Pulls() const override { return true; }
  void Lock() override {
    if (device_ != 0) SDL_LockAudioDevice(device_);
  }
  void Unlock() override {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }

 private:
  static void Callback(void* self, Uint8* stream, int length) {
    static_cast<SdlAudio*>(self)->mix_(reinterpret_cast<std::int8_t*>(stream), length);
  }

  platform::MixFunction mix_ = nullptr;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<platform::Audio> CreateSdlAudio() { return std::make_unique<SdlAudio>(); }

}  // namespace backend
