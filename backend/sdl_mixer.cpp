// SDL_mixer behind the Mixer interface.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>

#include "backend/sdl_host.h"

namespace backend {

namespace {

class SdlMixer : public Mixer {
 public:
  bool Open(int frequency, std::uint16_t format, int channels, int chunk_size, bool dummy_driver,
            std::string* error) override {
    if (dummy_driver) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        *error = SDL_GetError();
        return false;
      }
    }
    if (Mix_OpenAudio(frequency, format, channels, chunk_size) < 0) {
      *error = SDL_GetError();
      return false;
    }
    return true;
  }
  int AllocateChannels(int count) override { return Mix_AllocateChannels(count); }
  void* LoadWAV(const char* path) override {
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (!rw) return nullptr;
    return Mix_LoadWAV_RW(rw, 1);
  }
  void FreeChunk(void* chunk) override { Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk)); }
  int Volume(int channel, int volume) override { return Mix_Volume(channel, volume); }
  int PlayChannelTimed(int channel, void* chunk, int loops, int ticks) override {
    return Mix_PlayChannelTimed(channel, static_cast<Mix_Chunk*>(chunk), loops, ticks);
  }
  int HaltChannel(int channel) override { return Mix_HaltChannel(channel); }
  int FadeInChannelTimed(int channel, void* chunk, int loops, int ms, int ticks) override {
    return Mix_FadeInChannelTimed(channel, static_cast<Mix_Chunk*>(chunk), loops, ms, ticks);
  }
  int FadeOutChannel(int channel, int ms) override { return Mix_FadeOutChannel(channel, ms); }
  void HaltMusic() override { Mix_HaltMusic(); }
  void Close() override { Mix_CloseAudio(); }
};

}  // namespace

std::unique_ptr<Mixer> CreateSdlMixer() { return std::make_unique<SdlMixer>(); }

}  // namespace backend
