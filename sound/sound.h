// The eight-channel mixer and samples. A Sound is shared by its script
// handle (intrusive count); UnloadSound frees the sample and marks the handle
// unloaded, so a later use (a second unload included) is a script error
// instead of a double free. A sample whose last handle goes without an
// unload is freed by QuitSound, so reloads do not pile them up. The channel functions pass their arguments to
// the mixer unchanged and return its result, except where the mixer itself
// would fail: a channel below -1 for SetVol, StopSound and FOSound (outside
// its channel table) is a script error, and a fade of 0 ms (a division by
// zero on the audio thread) fades over 1 ms.
#pragma once
#include <cstddef>
#include <string>

#include <boost/intrusive_ptr.hpp>

namespace sound {

struct Sound {
  void* chunk = nullptr;  // the mixer's sample, nullptr once unloaded
  int refs = 0;
  bool unloaded = false;
  std::size_t charged = 0;  // the sample's bytes in the memory budget, given back when it is freed
};

void intrusive_ptr_add_ref(Sound* s);
void intrusive_ptr_release(Sound* s);

// Opens the audio backend with 8 channels. Without an audio device: a log
// line, then the silent output (the game runs silent); false with the cause
// only when that fails too.
bool InitSound(std::string* error);
void QuitSound();

int SetVol(int channel, int volume);
// Decodes any sample file the decoder reads (base/sound_file.h) into the
// native format. nil for a missing file (quietly) or one that cannot be
// decoded (the reason on standard error, once per version of the file;
// nothing in log.txt); a nil name or too long a path is a script error, and
// so is a sample that does not fit in the memory budget.
boost::intrusive_ptr<Sound> LoadSound(const char* name);
// A nil sample does nothing, as the mixer's own free does.
void UnloadSound(Sound* s);
// A nil sample is handed to the mixer as it is (which refuses it).
int PlaySound(int channel, Sound* s, int loops, int ticks);
int StopSound(int channel);
int FISound(int channel, Sound* s, int loops, int ms, int ticks);
int FOSound(int channel, int ms);

}  // namespace sound
