// SDL_mixer behind the Audio interface, shared by the device output
// (sdl_audio.cpp) and the silent one (silent_audio.cpp), which differ only
// in how they open and close.
#pragma once
#include <string>

#include "platform/platform.h"

namespace backend {

class SdlAudio : public platform::Audio {
 public:
  // The device SDL picks, in the device format.
  bool Open(std::string* error) override;
  // SDL's dummy driver: a thread consumes the mix in real time, so channels
  // start, end and fade as on a device, and nothing is heard.
  bool OpenSilent(std::string* error) override;
  void Close() override;
  int AllocateChannels(int count) override;
  // A sample in the mixer's own chunk: a copy of `samples`, resampled to the
  // device's rate and widened to its sample format and channel count when
  // they differ from the device format. nullptr for no samples.
  void* LoadSample(const std::int8_t* samples, std::size_t count) override;
  void FreeSample(void* sample) override;
  int Play(int channel, void* sample, int loops, int ticks) override;
  int FadeIn(int channel, void* sample, int loops, int ms, int ticks) override;
  int FadeOut(int channel, int ms) override;
  int Stop(int channel) override;
  int Volume(int channel, int volume) override;
};

}  // namespace backend
