// SDL_mixer behind the Mixer interface.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend/sdl_host.h"
#include "base/sound_file.h"

namespace backend {

namespace {

// The device normally runs in the native format and takes the samples as
// they are. A device that does not: the samples are resampled to its rate by
// the decoder's resampler (SDL 1.2's own rate change is unfiltered and only
// exact for powers of two), then widened to its sample format and channel
// count by SDL, which is exact when the rate stays.
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
  void* LoadSample(const std::int8_t* samples, std::size_t count) override {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (count == 0 || !Mix_QuerySpec(&rate, &format, &channels)) return nullptr;
    std::vector<Uint8> pcm;
    if (!ToDeviceFormat(samples, count, rate, format, channels, &pcm) || pcm.empty() ||
        pcm.size() > 0xFFFFFFFFu)
      return nullptr;
    // Mix_FreeChunk frees both with free() (allocated = 1).
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
  void FreeSample(void* sample) override { Mix_FreeChunk(static_cast<Mix_Chunk*>(sample)); }
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
