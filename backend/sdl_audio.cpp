// SDL_mixer on SDL's audio: the device output, and the dummy driver for a
// silent run. Samples are SDL_mixer chunks.
#include "backend/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "backend/backends.h"

namespace backend {

namespace {

Mix_Chunk* AsChunk(void* sample) { return static_cast<Mix_Chunk*>(sample); }

bool OpenMixer(std::string* error) {
  if (Mix_OpenAudio(platform::kSampleRate, AUDIO_S8, 1, platform::kAudioBufferSamples) < 0) {
    *error = SDL_GetError();
    return false;
  }
  return true;
}

}  // namespace

bool SdlAudio::Open(std::string* error) { return OpenMixer(error); }

bool SdlAudio::OpenSilent(std::string* error) {
  // A mixer still open (a silent output left running) closes for real first.
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  while (Mix_QuerySpec(&frequency, &format, &channels)) Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_AUDIO) < 0) {
    *error = SDL_GetError();
    return false;
  }
  return OpenMixer(error);
}

void SdlAudio::Close() {
  Mix_HaltMusic();
  Mix_CloseAudio();
}

int SdlAudio::AllocateChannels(int count) { return Mix_AllocateChannels(count); }

void* SdlAudio::LoadSample(const std::int8_t* samples, std::size_t count) {
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&frequency, &format, &channels) || frequency != platform::kSampleRate)
    return nullptr;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, AUDIO_S8, 1, platform::kSampleRate, format,
                        static_cast<Uint8>(channels), frequency) < 0)
    return nullptr;
  const std::size_t mult = static_cast<std::size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1);
  if (count > static_cast<std::size_t>(INT_MAX) / mult) return nullptr;
  auto* buffer = static_cast<Uint8*>(std::malloc(count * mult + 1));
  auto* chunk = static_cast<Mix_Chunk*>(std::malloc(sizeof(Mix_Chunk)));
  if (!buffer || !chunk) {
    std::free(buffer);
    std::free(chunk);
    return nullptr;
  }
  if (count > 0) std::memcpy(buffer, samples, count);
  Uint32 length = static_cast<Uint32>(count);
  if (cvt.needed) {
    cvt.buf = buffer;
    cvt.len = static_cast<int>(count);
    if (SDL_ConvertAudio(&cvt) < 0) {
      std::free(buffer);
      std::free(chunk);
      return nullptr;
    }
    length = static_cast<Uint32>(cvt.len_cvt);
  }
  // allocated = 1: Mix_FreeChunk frees the buffer with the chunk.
  chunk->allocated = 1;
  chunk->abuf = buffer;
  chunk->alen = length;
  chunk->volume = MIX_MAX_VOLUME;
  return chunk;
}

void* SdlAudio::LoadWAV(const char* path) {
  SDL_RWops* rw = SDL_RWFromFile(path, "rb");
  if (!rw) return nullptr;
  return Mix_LoadWAV_RW(rw, 1);
}

void SdlAudio::FreeSample(void* sample) { Mix_FreeChunk(AsChunk(sample)); }

int SdlAudio::Play(int channel, void* sample, int loops, int ticks) {
  return Mix_PlayChannelTimed(channel, AsChunk(sample), loops, ticks);
}

int SdlAudio::FadeIn(int channel, void* sample, int loops, int ms, int ticks) {
  return Mix_FadeInChannelTimed(channel, AsChunk(sample), loops, ms, ticks);
}

int SdlAudio::FadeOut(int channel, int ms) { return Mix_FadeOutChannel(channel, ms); }

int SdlAudio::Stop(int channel) { return Mix_HaltChannel(channel); }

int SdlAudio::Volume(int channel, int volume) { return Mix_Volume(channel, volume); }

std::unique_ptr<platform::Audio> CreateSdlAudio() { return std::make_unique<SdlAudio>(); }

}  // namespace backend
