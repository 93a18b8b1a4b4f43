// Sound: the one mixer behind the script's functions, the output that plays
// it (or the frames that step it), and the --audio file. Everything the mix
// reads is changed under the output's lock; samples are reached only through
// a Sound that is not unloaded.
#include "sound/sound.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/log.h"
#include "base/memory_budget.h"
#include "base/native_wav.h"
#include "base/paths.h"
#include "base/sound_file.h"
#include "platform/platform.h"
#include "sound/mixer.h"

namespace sound {

static_assert(platform::kSampleRate == base::kNativeSoundRate, "one sample rate");

namespace {

Mixer mixer;
bool opened = false;                // InitSound has opened the output (or found none)
platform::Audio* output = nullptr;  // the output that opened
bool pulled = false;                // it pulls the mix; otherwise StepSound makes it
std::set<std::string> failed;       // versions of files that LoadSound could not use
// Samples whose last handle went without UnloadSound. They may still be
// playing, so they are freed when the channels halt (a reload, the end).
std::vector<Sample*> orphans;

// The output's lock around a change of the channels.
class Locked {
 public:
  Locked() {
    if (pulled) output->Lock();
  }
  ~Locked() {
    if (pulled) output->Unlock();
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

// Every sample is made and freed here: the place that accounts for their
// memory in the budget. A sample that does not fit is a script error.
std::size_t SampleBytes(std::size_t samples) {
  return samples + sizeof(Sample) + 2 * base::kBlockOverhead;
}
Sample* NewSample(std::vector<std::int8_t>&& data, std::size_t loop_start = 0) {
  base::Charge("LoadSound", SampleBytes(data.size()));
  if (loop_start >= data.size()) loop_start = 0;
  return new Sample{std::move(data), loop_start};
}
void FreeSample(Sample* sample) {
  base::Release(SampleBytes(sample->data.size()));
  delete sample;
}

// The --audio file: the header is written again with the sizes at the end.
struct AudioFile {
  std::FILE* file = nullptr;
  std::string path;
  std::uint64_t samples = 0;
  bool failed = false;
  std::string why;  // the first failure
} recording;

// WAV sizes are 32-bit: a recording stops short of them (about 108 hours).
constexpr std::uint64_t kMaxRecordedSamples = 0xFFFFFF00u;

// May run on the output's thread: the failure is told (and counted as a
// failed output) by CloseSound, on the engine's.
void RecordingFailed(const char* step) {
  if (!recording.failed)
    recording.why = "--audio " + recording.path + ": " + step + ": " +
                    (errno ? std::strerror(errno) : "failed");
  if (recording.file) std::fclose(recording.file);
  recording.file = nullptr;
  recording.failed = true;
}

void Record(const std::int8_t* samples, int count) {
  if (!recording.file) return;
  if (recording.samples + static_cast<std::uint64_t>(count) > kMaxRecordedSamples) {
    errno = EFBIG;
    return RecordingFailed("cannot write");
  }
  std::uint8_t bytes[512];
  for (int done = 0; done < count;) {
    const int n = count - done < 512 ? count - done : 512;
    for (int i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(samples[done + i]) ^ 0x80;
    errno = 0;
    if (std::fwrite(bytes, 1, static_cast<std::size_t>(n), recording.file) !=
        static_cast<std::size_t>(n))
      return RecordingFailed("cannot write");
    done += n;
  }
  recording.samples += static_cast<std::uint64_t>(count);
}

void FinishRecording() {
  if (!recording.file) return;
  const auto n = static_cast<std::uint32_t>(recording.samples);
  const std::vector<std::uint8_t> header = base::NativeWavHeader(n);
  errno = 0;
  const bool pad_ok = n % 2 == 0 || std::fputc(0x80, recording.file) != EOF;
  if (!pad_ok || std::fseek(recording.file, 0, SEEK_SET) != 0 ||
      std::fwrite(header.data(), 1, header.size(), recording.file) != header.size())
    return RecordingFailed("cannot write");
  std::FILE* file = std::exchange(recording.file, nullptr);
  errno = 0;
  if (std::fclose(file) != 0) RecordingFailed("cannot write");
}

// What an output calls for each buffer it plays, under its lock.
void Pull(std::int8_t* samples, int count) {
  mixer.Mix(samples, count);
  Record(samples, count);
}

// The sample of a Sound a script passes; nullptr for nil.
// nil plays nothing, as it always has: most often a LoadSound that failed,
// so the author hears of it.
const Sample* SampleOf(Sound* s, const char* function) {
  if (!s) {
    if (base::NoticesOn())
      base::Notice(
          std::string(function) + " nil",
          std::string(function) + ": the sound is nil (a LoadSound that failed?): nothing plays");
    return nullptr;
  }
  if (s->unloaded) base::Fail(function, "the sound was unloaded");
  return s->sample;
}

// The mixer takes any other channel below 0 as one past its table; SDL_mixer
// indexed its table with it, so scripts never relied on an answer.
void CheckChannel(int channel, const char* function) {
  if (channel < -1)
    base::Fail(function, "channel %d does not exist (channels are 0 to 7; -1 means all)", channel);
}

}  // namespace

void intrusive_ptr_add_ref(Sound* s) { ++s->refs; }
void intrusive_ptr_release(Sound* s) {
  if (--s->refs != 0) return;
  if (s->sample) orphans.push_back(s->sample);
  delete s;
}

void InitSound() {
  platform::Audio* audio = platform::backends.audio;
  if (!opened && audio) {
    std::string error;
    if (audio->Open(&Pull, &error)) {
      output = audio;
      pulled = audio->Pulls();
    } else {
      base::Tell("no sound (" + error + "); running silent");
    }
  }
  opened = true;
  Locked lock;
  mixer.Reset();
}

void QuitSound() {
  {
    Locked lock;
    mixer.Halt(-1);
  }
  // Halted channels read no sample.
  for (Sample* sample : orphans) FreeSample(sample);
  orphans.clear();
}

void CloseSound() {
  if (output) output->Close();
  output = nullptr;
  opened = pulled = false;
  FinishRecording();
  if (recording.failed) base::OutputFailed(recording.why);
  recording.failed = false;
}

void StepSound(std::uint32_t frame, std::uint32_t period_ms) {
  if (pulled) return;
  const std::uint64_t end = std::uint64_t{frame} * platform::kSampleRate * period_ms / 1000;
  std::int8_t samples[512];
  while (mixer.Position() < end) {
    const std::uint64_t left = end - mixer.Position();
    const int n = left < sizeof samples ? static_cast<int>(left) : static_cast<int>(sizeof samples);
    Pull(samples, n);
  }
}

void StartAudioFile(const std::string& path) {
  recording = AudioFile{};
  recording.path = path;
  errno = 0;
  recording.file = std::fopen(path.c_str(), "wb");
  if (!recording.file) return RecordingFailed("cannot create");
  // Room for the header, written with the sizes at the end.
  const std::vector<std::uint8_t> header = base::NativeWavHeader(0);
  if (std::fwrite(header.data(), 1, header.size(), recording.file) != header.size())
    RecordingFailed("cannot write");
}


int SetVol(int channel, int volume) {
  CheckChannel(channel, "SetVol");
  Locked lock;
  return mixer.Volume(channel, volume);
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
    // Told once per version of the file: a script that retries every frame
    // does not fill the log.
    failed.insert(version);
    base::Tell(std::string("LoadSound: sound/") + name + ": " + error);
    return nullptr;
  }
  if (samples.empty()) return nullptr;  // nothing to play: no sample, as SDL_mixer had it
  boost::intrusive_ptr<Sound> s(new Sound);
  s->sample = NewSample(std::move(samples), std::size_t(source.loop_start));
  return s;
}

void UnloadSound(Sound* s) {
  if (!s) return;
  if (s->unloaded) base::Fail("UnloadSound", "the sound was already unloaded");
  {
    Locked lock;
    mixer.Forget(s->sample);
  }
  FreeSample(s->sample);
  s->sample = nullptr;
  s->unloaded = true;
}

int PlaySound(int channel, Sound* s, int loops, int ticks) {
  const Sample* sample = SampleOf(s, "PlaySound");
  Locked lock;
  return mixer.Play(channel, sample, loops, ticks);
}

int StopSound(int channel) {
  CheckChannel(channel, "StopSound");
  Locked lock;
  return mixer.Halt(channel);
}

int FISound(int channel, Sound* s, int loops, int ms, int ticks) {
  const Sample* sample = SampleOf(s, "FISound");
  Locked lock;
  return mixer.FadeIn(channel, sample, loops, ms, ticks);
}

int FOSound(int channel, int ms) {
  CheckChannel(channel, "FOSound");
  Locked lock;
  return mixer.FadeOut(channel, ms);
}

}  // namespace sound
