// The channel rules and the mix, step for step as SDL_mixer 1.2 (mixer.c)
// and SDL 1.2's signed 8-bit mix give them: the same answers, the same
// samples. Where its arithmetic is unsigned (fades), so is this.
#include "sound/mixer.h"

#include <cstring>

#include "platform/platform.h"

namespace sound {

namespace {

// Mix_Volume on one channel: 0..128 sets (more is 128), a negative volume
// only reads; the previous volume either way.
int SetVolume(int* volume, int to) {
  const int previous = *volume;
  if (to >= 0) *volume = to > kMaxVolume ? kMaxVolume : to;
  return previous;
}

// SDL's mix of signed 8-bit samples: each scaled by volume / 128 (rounded
// toward zero), added, clipped.
void AddSamples(std::int8_t* out, const std::int8_t* in, int count, int volume) {
  if (volume == 0) return;
  for (int i = 0; i < count; ++i) {
    const int v = out[i] + in[i] * volume / kMaxVolume;
    out[i] = static_cast<std::int8_t>(v > 127 ? 127 : (v < -128 ? -128 : v));
  }
}

bool Valid(int channel) { return channel >= 0 && channel < kChannels; }

// A fade of 0 ms would divide by zero when it is applied in the millisecond
// it began; 1 ms is the same fade without that.
std::uint32_t FadeLength(int ms) { return ms == 0 ? 1u : static_cast<std::uint32_t>(ms); }

}  // namespace

void Mixer::Reset() {
  for (Channel& c : channels_) c = Channel{};
}

std::uint32_t Mixer::Now() const {
  return static_cast<std::uint32_t>(position_ * 1000 / platform::kSampleRate);
}

int Mixer::Play(int channel, const Sample* sample, int loops, int ticks) {
  return Start(channel, sample, loops, false, 0, ticks);
}

int Mixer::FadeIn(int channel, const Sample* sample, int loops, int ms, int ticks) {
  return Start(channel, sample, loops, true, ms, ticks);
}

int Mixer::Start(int channel, const Sample* sample, int loops, bool fade, int ms, int ticks) {
  if (!sample) return -1;
  if (channel == -1) {
    for (int i = 0; i < kChannels && channel == -1; ++i)
      if (channels_[i].playing <= 0) channel = i;
  }
  // A channel past the table (or -1 with none free) is answered unplayed.
  if (!Valid(channel)) return channel;
  const std::uint32_t now = Now();
  Channel& c = channels_[channel];
  c.sample = sample;
  c.at = 0;
  c.playing = static_cast<int>(sample->data.size());
  c.looping = loops;
  c.fading = Fading::kNone;
  if (fade) {
    c.fading = Fading::kIn;
    c.fade_volume = c.volume;
    c.fade_volume_reset = c.volume;
    c.volume = 0;
    c.fade_length = FadeLength(ms);
    c.ticks_fade = now;
  }
  c.expire = ticks > 0 ? now + static_cast<std::uint32_t>(ticks) : 0;
  return channel;
}

int Mixer::FadeOut(int channel, int ms) {
  if (channel == -1) {
    int started = 0;
    for (int i = 0; i < kChannels; ++i) started += FadeOut(i, ms);
    return started;
  }
  if (!Valid(channel)) return 0;
  Channel& c = channels_[channel];
  if (c.playing == 0 || c.volume <= 0 || c.fading == Fading::kOut) return 0;
  // The volume to restore stays the one before any fade in: SDL_mixer sets
  // the fading state before it would look.
  c.fade_volume = c.volume;
  c.fading = Fading::kOut;
  c.fade_length = FadeLength(ms);
  c.ticks_fade = Now();
  return 1;
}

int Mixer::Halt(int channel) {
  if (channel == -1) {
    for (int i = 0; i < kChannels; ++i) Halt(i);
  } else if (Valid(channel)) {
    Channel& c = channels_[channel];
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

int Mixer::Volume(int channel, int volume) {
  if (channel == -1) {
    int sum = 0;
    for (int i = 0; i < kChannels; ++i) sum += Volume(i, volume);
    return sum / kChannels;
  }
  return Valid(channel) ? SetVolume(&channels_[channel].volume, volume) : 0;
}

void Mixer::Forget(const Sample* sample) {
  for (Channel& c : channels_) {
    if (c.sample != sample) continue;
    c.sample = nullptr;
    c.playing = 0;
    c.looping = 0;
  }
}

void Mixer::Mix(std::int8_t* out, int count) {
  std::memset(out, 0, static_cast<std::size_t>(count));
  const std::uint32_t now = Now();
  for (Channel& c : channels_) {
    Update(&c, now);
    if (c.playing > 0) Add(&c, out, count);
  }
  position_ += static_cast<std::uint64_t>(count);
}

// The time limit, else the fade's volume at `now`; a fade past its length
// ends at the volume it started from (and a fade out stops the channel).
void Mixer::Update(Channel* c, std::uint32_t now) {
  if (c->expire > 0 && c->expire < now) {
    c->playing = 0;
    c->looping = 0;
    c->fading = Fading::kNone;
    c->expire = 0;
    return;
  }
  if (c->fading == Fading::kNone) return;
  const std::uint32_t elapsed = now - c->ticks_fade;
  const std::uint32_t from = static_cast<std::uint32_t>(c->fade_volume);
  if (elapsed > c->fade_length) {
    SetVolume(&c->volume, c->fade_volume_reset);
    if (c->fading == Fading::kOut) {
      c->playing = 0;
      c->looping = 0;
      c->expire = 0;
    }
    c->fading = Fading::kNone;
  } else if (c->fading == Fading::kOut) {
    SetVolume(&c->volume, static_cast<int>(from * (c->fade_length - elapsed) / c->fade_length));
  } else {
    SetVolume(&c->volume, static_cast<int>(from * elapsed / c->fade_length));
  }
}

// The rest of this pass, then whole or partial passes (from the loop start)
// while loops remain; a pass that ends exactly at the end of `out` starts the
// next one.
void Mixer::Add(Channel* c, std::int8_t* out, int count) {
  const std::int8_t* data = c->sample->data.data();
  const std::size_t from = c->sample->loop_start;
  const int length = static_cast<int>(c->sample->data.size() - from);
  int index = 0;
  while (c->playing > 0 && index < count) {
    const int part = c->playing < count - index ? c->playing : count - index;
    AddSamples(out + index, data + c->at, part, c->volume);
    c->at += static_cast<std::size_t>(part);
    c->playing -= part;
    index += part;
  }
  while (c->looping != 0 && index < count) {
    const int part = count - index < length ? count - index : length;
    AddSamples(out + index, data + from, part, c->volume);
    --c->looping;
    c->at = from + static_cast<std::size_t>(part);
    c->playing = length - part;
    index += part;
  }
  if (c->playing == 0 && c->looping != 0) {
    --c->looping;
    c->at = from;
    c->playing = length;
  }
}

}  // namespace sound
