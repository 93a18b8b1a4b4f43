// Sound: opening and closing the mixer, and the sample functions scripts
// call. Samples are reached only through a Sound that is not unloaded.
#include "sound/sound.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/log.h"
#include "base/memory_budget.h"
#include "base/paths.h"
#include "base/sound_file.h"
#include "platform/platform.h"

namespace sound {

namespace {

constexpr int kMixChannels = 8;

platform::Audio& Mixer() { return *platform::backends.audio; }
std::set<std::string> failed;  // versions of files that LoadSound could not use
// Samples whose last handle went without UnloadSound. They may still be
// playing, so they are freed when the mixer closes (a reload, the end).
std::vector<std::pair<void*, std::size_t>> orphans;  // and their charges

// The chunk of a sample a script passes; nullptr for nil, which plays
// nothing, as it always has: most often a LoadSound that failed, so the
// author hears of it.
void* ChunkOf(Sound* s, const char* function) {
  if (!s) {
    if (base::NoticesOn())
      base::Notice(
          std::string(function) + " nil",
          std::string(function) + ": the sound is nil (a LoadSound that failed?): nothing plays");
    return nullptr;
  }
  if (s->unloaded) base::Fail(function, "the sound was unloaded");
  return s->chunk;
}

// The mixer indexes its channel table with any channel other than -1 in
// SetVol, StopSound and FOSound, so a channel below -1 would read or write
// outside it.
void CheckChannel(int channel, const char* function) {
  if (channel < -1)
    base::Fail(function, "channel %d does not exist (channels are 0 to 7; -1 means all)", channel);
}

// A fade of 0 ms makes the mixer divide by zero on its audio thread when the
// fade starts in the same millisecond; 1 ms is the same fade without that.
int FadeLength(int ms) { return ms == 0 ? 1 : ms; }

}  // namespace

void intrusive_ptr_add_ref(Sound* s) { ++s->refs; }
void intrusive_ptr_release(Sound* s) {
  if (--s->refs != 0) return;
  if (s->chunk) orphans.emplace_back(s->chunk, s->charged);
  delete s;
}

bool InitSound(std::string* failure) {
  std::string error;
  if (!Mixer().Open(&error)) {
    const std::string note = "no sound (" + error + "); running silent on SDL's dummy audio driver";
    std::fprintf(stderr, "lunashot: %s\n", note.c_str());
    base::WriteLog(note.c_str());
    error.clear();
    if (!Mixer().OpenSilent(&error)) {
      *failure = error;
      return false;
    }
  }
  Mixer().AllocateChannels(kMixChannels);
  return true;
}

void QuitSound() {
  Mixer().Stop(-1);
  for (const auto& orphan : orphans) {
    Mixer().FreeSample(orphan.first);
    base::Release(orphan.second);
  }
  orphans.clear();
  Mixer().Close();
}

int SetVol(int channel, int volume) {
  CheckChannel(channel, "SetVol");
  return Mixer().Volume(channel, volume);
}

boost::intrusive_ptr<Sound> LoadSound(const char* name) {
  if (!name) base::Fail("LoadSound", "the file name is nil");
  const char* path = base::GetSoundPath(name);
  if (!path) base::Fail("LoadSound", "the path would be longer than 255 characters");
  // The path buffer is shared: take a copy before anything else can change it.
  const std::string file = path;
  struct stat st {};
  if (stat(file.c_str(), &st) != 0 && errno == ENOENT) return nullptr;  // missing: quietly nil
  // A file that failed is not decoded again until it changes: the reason is
  // printed once, and a game retrying every frame costs nothing (libsndfile
  // leaks a little on some broken Ogg files).
  const std::string version = file + '\n' + std::to_string(st.st_size) + ' ' +
                              std::to_string(st.st_mtim.tv_sec) + '.' +
                              std::to_string(st.st_mtim.tv_nsec);
  if (failed.count(version)) return nullptr;
  std::vector<std::int8_t> samples;
  base::SoundSource source;
  std::string error;
  if (!base::DecodeSoundFile(file, &samples, &source, &error)) {
    // Standard error, not log.txt, which is for start-up failures.
    failed.insert(version);
    std::fprintf(stderr, "lunashot: LoadSound: sound/%s: %s\n", name, error.c_str());
    return nullptr;
  }
  // The mixer keeps its own copy of the samples, in a chunk.
  const std::size_t bytes = samples.size() + 64 + 2 * base::kBlockOverhead;
  base::Charge("LoadSound", bytes);
  void* chunk = Mixer().LoadSample(samples.data(), samples.size());
  if (!chunk) {
    base::Release(bytes);
    return nullptr;
  }
  boost::intrusive_ptr<Sound> s(new Sound);
  s->chunk = chunk;
  s->charged = bytes;
  return s;
}

void UnloadSound(Sound* s) {
  if (!s) return;
  if (s->unloaded) base::Fail("UnloadSound", "the sound was already unloaded");
  Mixer().FreeSample(s->chunk);
  base::Release(s->charged);
  s->chunk = nullptr;
  s->charged = 0;
  s->unloaded = true;
}

int PlaySound(int channel, Sound* s, int loops, int ticks) {
  return Mixer().Play(channel, ChunkOf(s, "PlaySound"), loops, ticks);
}

int StopSound(int channel) {
  CheckChannel(channel, "StopSound");
  return Mixer().Stop(channel);
}

int FISound(int channel, Sound* s, int loops, int ms, int ticks) {
  return Mixer().FadeIn(channel, ChunkOf(s, "FISound"), loops, FadeLength(ms), ticks);
}

int FOSound(int channel, int ms) {
  CheckChannel(channel, "FOSound");
  return Mixer().FadeOut(channel, FadeLength(ms));
}

}  // namespace sound
