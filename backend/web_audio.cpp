// Browser audio: SDL_mixer 1.2's channel logic (play, fade in and out, time
// limits, loops, volume) run here in 512-sample buffers at 11025 Hz, each
// buffer mixed when the clock reaches its time, so channels start, end and
// fade as on the desktop whatever the page does. The mixed buffers go to the
// page's audio context, which plays them once the player has unlocked sound
// (browsers start audio only after a key or a click) and drops them before.
#include <emscripten.h>

#include <vector>

#include "backend/web_backends.h"

namespace backend {

namespace {

// clang-format off
EM_JS(void, lunashot_queue_audio, (const std::int8_t* samples, int count), {
  if (Module.lunashotQueueAudio) Module.lunashotQueueAudio(HEAP8.subarray(samples, samples + count));
});
// clang-format on

constexpr int kMaxVolume = 128;
constexpr int kDefaultChannels = 8;
// Buffers are mixed this far ahead of the clock, so the page always has
// sound queued between two frames.
constexpr std::uint32_t kLeadMs = 100;

struct Sample {
  std::vector<std::int8_t> data;
};

enum class Fading { kNone, kOut, kIn };

struct Channel {
  const Sample* chunk = nullptr;
  std::size_t at = 0;  // next sample to play
  int playing = 0;     // samples left in this pass
  int looping = 0;
  int volume = kMaxVolume;
  int fade_volume = kMaxVolume;
  int fade_volume_reset = kMaxVolume;
  Fading fading = Fading::kNone;
  std::uint32_t fade_length = 0;
  std::uint32_t ticks_fade = 0;
  std::uint32_t expire = 0;
};

class WebAudioImpl : public WebAudio {
 public:
  explicit WebAudioImpl(WebClock* clock) : clock_(clock) {}

  bool Open(std::string*) override {
    open_ = true;
    start_ = clock_->Now();
    mixed_ = 0;
    channels_.assign(kDefaultChannels, Channel{});
    return true;
  }
  bool OpenSilent(std::string* error) override { return Open(error); }
  void Close() override {
    Stop(-1);
    open_ = false;
  }

  void Mix() override {
    if (!open_) return;
    const std::uint32_t now = clock_->Now() - start_ + kLeadMs;
    // Buffer k starts playing k * 512 / 11025 s after opening and is mixed
    // kLeadMs before that. Its channels see the time it is mixed at, as
    // SDL_mixer's see the time of the callback: limits and fades end when
    // the clock says, not when the sound is heard.
    for (;;) {
      const std::uint64_t plays =
          std::uint64_t{mixed_} * platform::kAudioBufferSamples * 1000 / platform::kSampleRate;
      if (plays > now) break;
      MixBuffer(start_ + (plays > kLeadMs ? static_cast<std::uint32_t>(plays) - kLeadMs : 0));
      ++mixed_;
    }
  }

  int AllocateChannels(int count) override {
    Mix();
    const int have = static_cast<int>(channels_.size());
    if (count < 0 || count == have) return have;
    for (int i = count; i < have; ++i) Stop(i);
    channels_.resize(static_cast<std::size_t>(count));
    return count;
  }

  // No samples: nullptr, as the desktop mixer gives.
  void* LoadSample(const std::int8_t* samples, std::size_t count) override {
    if (count == 0) return nullptr;
    auto* sample = new Sample;
    sample->data.assign(samples, samples + count);
    return sample;
  }

  void FreeSample(void* sample) override {
    if (!sample) return;
    // A channel never plays freed samples (the mixer's callers halt first);
    // forget them all the same.
    for (Channel& c : channels_)
      if (c.chunk == sample) c = Released(c);
    delete static_cast<Sample*>(sample);
  }

  int Play(int channel, void* sample, int loops, int ticks) override {
    return Start(channel, sample, loops, false, 0, ticks);
  }
  int FadeIn(int channel, void* sample, int loops, int ms, int ticks) override {
    return Start(channel, sample, loops, true, ms, ticks);
  }

  int FadeOut(int channel, int ms) override {
    Mix();
    if (!open_) return 0;
    if (channel == -1) {
      int status = 0;
      for (int i = 0; i < Count(); ++i) status += FadeOut(i, ms);
      return status;
    }
    if (!Valid(channel)) return 0;
    Channel& c = channels_[static_cast<std::size_t>(channel)];
    if (c.playing == 0 || c.volume <= 0 || c.fading == Fading::kOut) return 0;
    // fade_volume_reset stays: SDL_mixer sets the fading state first and so
    // never takes the volume as the one to restore here.
    c.fade_volume = c.volume;
    c.fading = Fading::kOut;
    c.fade_length = static_cast<std::uint32_t>(ms);
    c.ticks_fade = clock_->Now();
    return 1;
  }

  int Stop(int channel) override {
    Mix();
    if (channel == -1) {
      for (int i = 0; i < Count(); ++i) Stop(i);
    } else if (Valid(channel)) {
      Channel& c = channels_[static_cast<std::size_t>(channel)];
      if (c.playing != 0) {
        c.playing = 0;
        c.looping = 0;
      }
      c.expire = 0;
      if (c.fading != Fading::kNone) c.volume = c.fade_volume_reset;
      c.fading = Fading::kNone;
    }
    return 0;
  }

  int Volume(int channel, int volume) override {
    Mix();
    if (channel == -1) {
      if (Count() == 0) return 0;
      int sum = 0;
      for (int i = 0; i < Count(); ++i) sum += Volume(i, volume);
      return sum / Count();
    }
    if (!Valid(channel)) return 0;
    return SetVolume(&channels_[static_cast<std::size_t>(channel)], volume);
  }

 private:
  int Count() const { return static_cast<int>(channels_.size()); }
  bool Valid(int channel) const { return channel >= 0 && channel < Count(); }

  static Channel Released(Channel c) {
    c.chunk = nullptr;
    c.playing = 0;
    c.looping = 0;
    return c;
  }

  static int SetVolume(Channel* c, int volume) {
    const int previous = c->volume;
    if (volume >= 0) c->volume = volume > kMaxVolume ? kMaxVolume : volume;
    return previous;
  }

  // Play, or fade in over `fade_ms` (any value, as SDL_mixer takes it).
  int Start(int channel, void* sample, int loops, bool fade, int fade_ms, int ticks) {
    Mix();
    const auto* chunk = static_cast<const Sample*>(sample);
    if (!chunk) return -1;
    if (channel == -1) {
      for (int i = 0; i < Count(); ++i) {
        if (channels_[static_cast<std::size_t>(i)].playing <= 0) {
          channel = i;
          break;
        }
      }
    }
    // As SDL_mixer: a channel beyond the allocated ones is returned unplayed.
    if (!Valid(channel)) return channel;
    const std::uint32_t now = clock_->Now();
    Channel& c = channels_[static_cast<std::size_t>(channel)];
    c.chunk = chunk;
    c.at = 0;
    c.playing = static_cast<int>(chunk->data.size());
    c.looping = loops;
    c.expire = ticks > 0 ? now + static_cast<std::uint32_t>(ticks) : 0;
    if (!fade) {
      c.fading = Fading::kNone;
    } else {
      c.fading = Fading::kIn;
      c.fade_volume = c.volume;
      c.fade_volume_reset = c.volume;
      c.volume = 0;
      c.fade_length = static_cast<std::uint32_t>(fade_ms);
      c.ticks_fade = now;
    }
    return channel;
  }

  // SDL_mixer's mix of one buffer at time `ticks`: expiry and fades first,
  // then each channel's samples added with clipping, loops restarting.
  void MixBuffer(std::uint32_t ticks) {
    std::int8_t out[platform::kAudioBufferSamples] = {};
    const int len = platform::kAudioBufferSamples;
    for (Channel& c : channels_) {
      if (c.expire > 0 && c.expire < ticks) {
        c.playing = 0;
        c.looping = 0;
        c.fading = Fading::kNone;
        c.expire = 0;
      } else if (c.fading != Fading::kNone) {
        const std::uint32_t elapsed = ticks - c.ticks_fade;
        if (elapsed > c.fade_length) {
          SetVolume(&c, c.fade_volume_reset);
          if (c.fading == Fading::kOut) {
            c.playing = 0;
            c.looping = 0;
            c.expire = 0;
          }
          c.fading = Fading::kNone;
        } else if (c.fading == Fading::kOut) {
          SetVolume(&c, static_cast<int>(static_cast<std::uint32_t>(c.fade_volume) *
                                         (c.fade_length - elapsed) / c.fade_length));
        } else {
          SetVolume(&c, static_cast<int>(static_cast<std::uint32_t>(c.fade_volume) * elapsed /
                                         c.fade_length));
        }
      }
      if (c.playing <= 0 || !c.chunk) continue;
      const int volume = c.volume;
      const std::vector<std::int8_t>& data = c.chunk->data;
      const int alen = static_cast<int>(data.size());
      int index = 0;
      while (c.playing > 0 && index < len) {
        const int mixable = c.playing < len - index ? c.playing : len - index;
        Add(out + index, data.data() + c.at, mixable, volume);
        c.at += static_cast<std::size_t>(mixable);
        c.playing -= mixable;
        index += mixable;
      }
      while (c.looping && index < len) {
        const int part = len - index < alen ? len - index : alen;
        Add(out + index, data.data(), part, volume);
        --c.looping;
        c.at = static_cast<std::size_t>(part);
        c.playing = alen - part;
        index += part;
      }
      if (c.playing == 0 && c.looping) {
        --c.looping;
        c.at = 0;
        c.playing = alen;
      }
    }
    lunashot_queue_audio(out, len);
  }

  // SDL's mix of signed 8-bit samples: scaled by volume / 128, clipped.
  static void Add(std::int8_t* dst, const std::int8_t* src, int count, int volume) {
    for (int i = 0; i < count; ++i) {
      int v = dst[i] + src[i] * volume / kMaxVolume;
      dst[i] = static_cast<std::int8_t>(v > 127 ? 127 : (v < -128 ? -128 : v));
    }
  }

  WebClock* clock_;
  bool open_ = false;
  std::uint32_t start_ = 0;
  std::uint32_t mixed_ = 0;
  std::vector<Channel> channels_;
};

}  // namespace

std::unique_ptr<WebAudio> CreateWebAudio(WebClock* clock) {
  return std::make_unique<WebAudioImpl>(clock);
}

}  // namespace backend
