// SDL_mixer on SDL's audio: the device output, and the dummy driver for a
// silent run. Samples are SDL_mixer chunks.
#include "backend/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend/backends.h"
#include "base/sound_file.h"

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

namespace {

// The samples in the device's real format: resampled with soxr when its rate
// is another, then widened by SDL for its sample format and channels.
bool ToDeviceFormat(const std::int8_t* samples, std::size_t count, int rate, Uint16 format,
                    int channels, std::vector<Uint8>* pcm) {
  const Uint8* bytes = reinterpret_cast<const Uint8*>(samples);
  if (rate == base::kNativeSoundRate && format == AUDIO_S8 && channels == 1) {
    pcm->assign(bytes, bytes + count);
    return true;
  }
  Uint16 from = AUDIO_S8;
  std::vector<Uint8> source(bytes, bytes + count);
  if (rate != base::kNativeSoundRate) {
    std::vector<float> in(count), out;
    for (std::size_t i = 0; i < count; ++i) in[i] = samples[i] / 128.0f;
    std::string error;
    if (!base::ResampleMono(in, base::kNativeSoundRate, rate, &out, &error)) return false;
    source.resize(out.size() * 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
      Sint16 v = Sint16(std::clamp(std::lround(out[i] * 32768.0f), -32768L, 32767L));
      std::memcpy(&source[i * 2], &v, 2);
    }
    from = AUDIO_S16SYS;
  }
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, from, 1, rate, format, Uint8(channels), rate) < 0) return false;
  if (source.size() > std::size_t(INT_MAX / std::max(cvt.len_mult, 1))) return false;
  cvt.len = int(source.size());
  source.resize(source.size() * std::max(cvt.len_mult, 1));
  cvt.buf = source.data();
  if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return false;
  source.resize(cvt.needed ? std::size_t(cvt.len_cvt) : std::size_t(cvt.len));
  *pcm = std::move(source);
  return true;
}

}  // namespace

void* SdlAudio::LoadSample(const std::int8_t* samples, std::size_t count) {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (count == 0 || !Mix_QuerySpec(&rate, &format, &channels)) return nullptr;
  std::vector<Uint8> pcm;
  if (!ToDeviceFormat(samples, count, rate, format, channels, &pcm) || pcm.empty() ||
      pcm.size() > 0xFFFFFFFFu)
    return nullptr;
  // allocated = 1: Mix_FreeChunk frees the buffer with the chunk.
  Mix_Chunk* chunk = static_cast<Mix_Chunk*>(std::malloc(sizeof(Mix_Chunk)));
  Uint8* buffer = static_cast<Uint8*>(std::malloc(pcm.size()));
  if (!chunk || !buffer) {
    std::free(chunk);
    std::free(buffer);
    return nullptr;
  }
  std::memcpy(buffer, pcm.data(), pcm.size());
  chunk->allocated = 1;
  chunk->abuf = buffer;
  chunk->alen = Uint32(pcm.size());
  chunk->volume = MIX_MAX_VOLUME;
  return chunk;
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
