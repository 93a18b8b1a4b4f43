// The eight-channel mixer and samples. A Sound is shared by its script
// handle (intrusive count); UnloadSound frees the sample and marks the handle
// unloaded, so a later use is a script error instead of a double free.
#pragma once
#include <boost/intrusive_ptr.hpp>

namespace sound {

struct Sound {
  void* chunk = nullptr;  // the mixer's sample, nullptr once unloaded
  int refs = 0;
  bool unloaded = false;
};

void intrusive_ptr_add_ref(Sound* s);
void intrusive_ptr_release(Sound* s);

// Opens the mixer (11025 Hz, signed 8-bit, mono, 512 samples, 8 channels).
// Without an audio device: a log line, then SDL's dummy driver; only when
// that fails too does the start-up failure path apply.
void InitSound(bool headless);
void QuitSound();

int SetVol(int channel, int volume);
boost::intrusive_ptr<Sound> LoadSound(const char* name);
void UnloadSound(Sound* s);
int PlaySound(int channel, Sound* s, int loops, int ticks);
int StopSound(int channel);
int FISound(int channel, Sound* s, int loops, int ms, int ticks);
int FOSound(int channel, int ms);

}  // namespace sound
