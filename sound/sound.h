// Sound: samples, the script's channel functions over the one mixer
// (sound/mixer.h), its output, and the --audio recording. A Sound is shared
// by its script handle (intrusive count); UnloadSound frees the sample and
// marks the handle unloaded, so a later use (a second unload included) is a
// script error instead of a double free. A sample whose last handle goes
// without an unload is freed by QuitSound, so reloads do not pile them up.
// The channel functions pass their arguments to the mixer unchanged and
// return its result, except that a channel below -1 for SetVol, StopSound
// and FOSound (outside its channel table) is a script error.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/intrusive_ptr.hpp>

namespace sound {

struct Sample;

struct Sound {
  Sample* sample = nullptr;  // nullptr once unloaded
  int refs = 0;
  bool unloaded = false;
};

void intrusive_ptr_add_ref(Sound* s);
void intrusive_ptr_release(Sound* s);

// Opens the output the first time (without a device: a log line, and the
// mix is stepped with the frames as in a headless run), and puts every
// channel at rest at full volume.
void InitSound();
// Halts every channel and frees the samples whose handles are gone; the
// output stays open for a reload.
void QuitSound();
// At the end of the run: closes the output and finishes the --audio file.
void CloseSound();

// Where no output pulls the mix (headless, or no device), makes it up to the
// start of frame `frame` (counted from 0): sample floor(frame * 11025 *
// period_ms / 1000), the fraction kept, so that the same frames always make
// the same samples.
void StepSound(std::uint32_t frame, std::uint32_t period_ms);

// --audio: from now on every sample the mixer makes also goes into the WAV
// file `path` (11025 Hz, 8-bit, mono), finished by CloseSound. A failure
// ends the recording; CloseSound tells it as a failed output (base/log.h).
void StartAudioFile(const std::string& path);

int SetVol(int channel, int volume);
// Decodes any sample file the decoder reads (base/sound_file.h) into the
// native format. nil for a missing file (quietly), a file of no samples, or
// one that cannot be decoded (the reason on standard error, once per version
// of the file; nothing in log.txt); a nil name or too long a path is a
// script error, and so is a sample that does not fit in the memory budget.
boost::intrusive_ptr<Sound> LoadSound(const char* name);
// A nil sample does nothing. Channels playing the sample stop.
void UnloadSound(Sound* s);
// A nil sample plays nowhere (-1).
int PlaySound(int channel, Sound* s, int loops, int ticks);
int StopSound(int channel);
int FISound(int channel, Sound* s, int loops, int ms, int ticks);
int FOSound(int channel, int ms);

}  // namespace sound
