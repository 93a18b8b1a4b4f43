// The eight-channel mixer: channels play samples of the engine's format
// (signed 8-bit mono, 11025 Hz) with SDL_mixer 1.2's rules and results, and
// Mix makes the next stretch of the stream. Its clock is the stream itself:
// the time of every channel call and every mix is the position of the next
// sample to be made, so a run stepped the same way gives the same samples.
// Plain code without threads: an output that mixes on its own thread makes
// the engine hold its lock around every call.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

constexpr int kChannels = 8;
constexpr int kMaxVolume = 128;

// A loaded sample; never empty. A looped play's later passes start at
// `loop_start` (a module's loop point; 0, the whole sample, for the rest).
struct Sample {
  std::vector<std::int8_t> data;
  std::size_t loop_start = 0;  // below data.size()
};

class Mixer {
 public:
  // Every channel idle at full volume.
  void Reset();
  // The channel calls: SDL_mixer 1.2's Mix_PlayChannelTimed,
  // Mix_FadeInChannelTimed, Mix_FadeOutChannel, Mix_HaltChannel and
  // Mix_Volume for the same arguments, results included (channel -1: the
  // first free channel, or all; loops -1: forever; ticks <= 0: no limit; a
  // channel past the eighth is answered, never played). A channel below -1
  // is the caller's to refuse, and so is a fade of 0 ms.
  int Play(int channel, const Sample* sample, int loops, int ticks);
  int FadeIn(int channel, const Sample* sample, int loops, int ms, int ticks);
  int FadeOut(int channel, int ms);
  int Halt(int channel);
  int Volume(int channel, int volume);
  // Channels playing `sample` stop at once, as a freed chunk's do; their
  // fades and volumes go on.
  void Forget(const Sample* sample);
  // Writes the next `count` samples of the stream into `out`: time limits
  // and fades are applied once at the start, then each playing channel is
  // added at its volume, clipped.
  void Mix(std::int8_t* out, int count);
  // Samples made since the start.
  std::uint64_t Position() const { return position_; }

 private:
  enum class Fading { kNone, kOut, kIn };
  struct Channel {
    const Sample* sample = nullptr;
    std::size_t at = 0;  // next sample of this pass
    int playing = 0;     // samples left in this pass
    int looping = 0;     // passes still to come; negative: forever
    int volume = kMaxVolume;
    int fade_volume = kMaxVolume;
    int fade_volume_reset = kMaxVolume;
    Fading fading = Fading::kNone;
    std::uint32_t fade_length = 0;
    std::uint32_t ticks_fade = 0;
    std::uint32_t expire = 0;  // 0: no time limit
  };

  // Milliseconds of stream made, wrapping as SDL's ticks do.
  std::uint32_t Now() const;
  int Start(int channel, const Sample* sample, int loops, bool fade, int ms, int ticks);
  void Update(Channel* c, std::uint32_t now);
  void Add(Channel* c, std::int8_t* out, int count);

  Channel channels_[kChannels];
  std::uint64_t position_ = 0;
};

}  // namespace sound
