// Sound against a fake audio backend (the silent fallback, arguments the mixer never gets or gets
// changed, files decoded into what the mixer is handed; refused files: sound_files), then SDL_mixer
// on SDL's dummy driver (chunks in the device's format; the silent output reopened).
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "backend/backends.h"
#include "base/sound_file.h"
#include "platform/platform.h"
#include "sound/sound.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"

namespace {

using test_support::ErrorOf;

class FakeAudio : public platform::Audio {
 public:
  std::string calls;
  bool device_works = true, silent_works = true;
  std::deque<int> chunks;
  std::vector<std::int8_t> last_sample;

  bool Open(std::string* error) override {
    return Opened("Open", device_works, "No available audio device", error);
  }
  bool OpenSilent(std::string* error) override {
    return Opened("OpenSilent", silent_works, "no dummy either", error);
  }
  void Close() override {}
  int AllocateChannels(int count) override { return Note("AllocateChannels", count, count); }
  void* LoadSample(const std::int8_t* samples, std::size_t count) override {
    last_sample.assign(samples, samples + count);
    // Kept here: scripts may never unload theirs.
    return &chunks.emplace_back(Note("LoadSample", int(count), 0));
  }
  void FreeSample(void* sample) override { Note("Free", *static_cast<int*>(sample), 0); }
  int Play(int channel, void*, int, int) override { return Note("Play", channel, 0); }
  int FadeIn(int channel, void*, int, int ms, int) override {
    return Note("FadeIn", channel, 0, ms);
  }
  int FadeOut(int channel, int ms) override { return Note("FadeOut", channel, 0, ms); }
  int Stop(int channel) override { return Note("Stop", channel, 0); }
  int Volume(int channel, int) override { return Note("Volume", channel, 0); }
  std::string Calls() { return std::exchange(calls, ""); }

 private:
  int Note(const char* name, int n, int result, int ms = -1) {
    calls +=
        name + (" " + std::to_string(n)) + (ms >= 0 ? " " + std::to_string(ms) + "ms" : "") + "; ";
    return result;
  }
  bool Opened(const char* name, bool works, const char* cause, std::string* error) {
    calls += std::string(name) + "; ";
    if (!works) *error = cause;
    return works;
  }
};

class SoundTest : public ::testing::Test {
 protected:
  std::string Log() { return scratch_.Text("script/log.txt"); }
  void WriteSound(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    scratch_.Write("sound/" + name, bytes);
  }
  // A native sample of `n` steps of a ramp, so every byte value occurs.
  std::vector<std::int8_t> WriteNative(const std::string& name, std::size_t n) {
    std::vector<std::int8_t> ramp(n);
    for (std::size_t i = 0; i < n; ++i) ramp[i] = std::int8_t(i * 7);
    WriteSound(name, base::EncodeNativeWav(ramp));
    return ramp;
  }
  // -D: no dither, so that a file is the same on every run.
  bool Sox(const std::string& name, const std::string& options, const std::string& effect) {
    std::string command = "sox -D -n " + options + " '" + dir_ + "/sound/" + name + "' " + effect;
    return std::system(command.c_str()) == 0;
  }

  test_support::ScratchDir scratch_{"lunashot-sound", {"script", "sound"}};
  std::string dir_ = scratch_.path();
  FakeAudio mixer;
  test_support::FakeBackends backends_{{nullptr, nullptr, &mixer, nullptr, nullptr}};
};

TEST_F(SoundTest, WithoutADeviceLogsAndRunsSilentAndRefusesWhatWouldBreakTheMixer) {
  std::string error;
  EXPECT_TRUE(sound::InitSound(&error));
  EXPECT_EQ(mixer.Calls() + "| " + Log(), "Open; AllocateChannels 8; | ");
  mixer.device_works = false;
  EXPECT_TRUE(sound::InitSound(&error));
  EXPECT_EQ(mixer.Calls() + "| " + Log(),
            "Open; OpenSilent; AllocateChannels 8; | no sound (No available audio device); running "
            "silent on SDL's dummy audio driver \n");
  mixer.silent_works = false;  // and when that fails too, so does the start-up
  EXPECT_TRUE(!sound::InitSound(&error) && error == "no dummy either") << error;
  mixer.Calls();
  // Channels below -1 and 0 ms fades never reach the mixer.
  EXPECT_EQ(ErrorOf([] { sound::SetVol(-2, 5); }),
            "SetVol: channel -2 does not exist (channels are 0 to 7; -1 means all)");
  ErrorOf([] { sound::StopSound(-40000); });  // their messages: the sound_wav game test
  ErrorOf([] { sound::FOSound(INT_MIN, 5); });
  EXPECT_EQ(mixer.Calls(), "");
  // A 0 ms fade becomes 1 ms; other lengths pass unchanged.
  sound::FOSound(-1, 0);
  sound::FISound(2, nullptr, 1, 0, 9);
  sound::FOSound(3, 4);
  EXPECT_EQ(mixer.Calls(), "FadeOut -1 1ms; FadeIn 2 1ms; FadeOut 3 4ms; ");
}

// Half a second of a 440 Hz sine at half scale in each format reaches the
// mixer as 5512 native samples of the same pitch and level.
TEST_F(SoundTest, CommonFormatsLoadAtTheirPitchAndLevel) {
  const char* formats[][2] = {
      {"s24.wav", "-b 24 -r 44100"},          {"s32.wav", "-b 32 -e signed -r 96000"},
      {"f32.wav", "-b 32 -e float -r 48000"}, {"stereo.aiff", "-b 16 -r 22050 -c 2"},
      {"s.flac", "-b 16 -r 32000"},           {"stereo.ogg", "-r 44100 -c 2"},
      {"mulaw.au", "-r 8000 -e mu-law"},      {"u8.voc", "-b 8 -r 8000"},
      {"ima.wav", "-r 16000 -e ima-adpcm"},   {"s8.8svx", "-b 8 -r 11025"},
  };
  for (const auto& f : formats) {
    SCOPED_TRACE(f[0]);
    ASSERT_TRUE(Sox(f[0], f[1], "synth 0.5 sine 440 vol 0.5"));
    ASSERT_TRUE(sound::LoadSound(f[0]));
    const std::vector<std::int8_t>& s = mixer.last_sample;
    EXPECT_NEAR(double(s.size()), 5512.0, 110.0);  // ADPCM pads its last block
    int peak = 0, crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
      peak = std::max(peak, std::abs(int(s[i])));
      if (s[i - 1] < 0 && s[i] >= 0) {
        if (crossings++ == 0) first = i;
        last = i;
      }
    }
    ASSERT_TRUE(std::abs(peak - 64) <= 6 && crossings > 100) << peak << " " << crossings;
    EXPECT_NEAR((crossings - 1) * 11025.0 / double(last - first), 440.0, 440 * 0.02);
  }
}

TEST_F(SoundTest, NativeFilesLoadUnchangedAndConversionsRepeatExactly) {
  const std::vector<std::int8_t> ramp = WriteNative("native.wav", 1001);
  ASSERT_TRUE(sound::LoadSound("native.wav"));
  EXPECT_EQ(mixer.last_sample, ramp);
  ASSERT_TRUE(Sox("noise.wav", "-b 16 -r 44100 -c 2", "synth 0.2 whitenoise vol 0.3"));
  ASSERT_TRUE(sound::LoadSound("noise.wav"));
  const std::vector<std::int8_t> first = mixer.last_sample;
  ASSERT_TRUE(sound::LoadSound("noise.wav"));
  EXPECT_EQ(mixer.last_sample, first);
  EXPECT_NEAR(double(first.size()), 2205.0, 2.0);
  // The three dropped without an unload are freed when the mixer closes; an unloaded one once.
  mixer.Calls();
  sound::UnloadSound(sound::LoadSound("native.wav").get());
  sound::QuitSound();
  EXPECT_EQ(mixer.Calls(), "LoadSample 1001; Free 0; Stop -1; Free 0; Free 0; Free 0; ");
}

const std::int8_t kSamples[] = {0, 1, -1, 127, -128, 64};

// Closes SDL_mixer as often as it was opened.
void CloseMixer() {
  int r = 0, c = 0;
  Uint16 f = 0;
  while (Mix_QuerySpec(&r, &f, &c)) Mix_CloseAudio();
}

// SDL_mixer opened on the dummy driver in a given format, closed after.
struct DummyMixer {
  DummyMixer(int rate, Uint16 format, int channels) {
    CloseMixer();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    EXPECT_EQ(Mix_OpenAudio(rate, format, channels, 512), 0) << SDL_GetError();
  }
  ~DummyMixer() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
};

TEST(SdlAudio, LoadSampleConvertsToTheDevicesFormatAndRate) {
  // The device's bytes for the input {0, 1, -1, 127, -128, 64} (16-bit: low byte first).
  struct Case {
    Uint16 format;
    int channels, rate;
    std::vector<int> expected;  // empty: resampled, only the length is known
  };
  const Case cases[] = {
      {AUDIO_S8, 1, 11025, {0, 1, 255, 127, 128, 64}},
      {AUDIO_U8, 1, 11025, {128, 129, 127, 255, 0, 192}},
      {AUDIO_S8, 2, 11025, {0, 0, 1, 1, 255, 255, 127, 127, 128, 128, 64, 64}},
      {AUDIO_S16LSB, 1, 11025, {0, 0, 0, 1, 0, 255, 0, 127, 0, 128, 0, 64}},
      {AUDIO_S8, 1, 22050, {}},
  };
  for (const Case& c : cases) {
    DummyMixer mixer(c.rate, c.format, c.channels);
    auto audio = backend::CreateSdlAudio();
    void* sample = audio->LoadSample(kSamples, sizeof kSamples);
    ASSERT_NE(sample, nullptr) << c.format << " " << c.rate;
    const auto* chunk = static_cast<Mix_Chunk*>(sample);
    if (c.expected.empty()) {  // twice the rate: about twice the samples
      EXPECT_NEAR(double(chunk->alen), 2.0 * sizeof kSamples, 2.0);
      audio->FreeSample(sample);
      continue;
    }
    std::vector<int> got(chunk->abuf, chunk->abuf + chunk->alen);
    EXPECT_EQ(got, c.expected) << c.format << " x" << c.channels;
    EXPECT_EQ(audio->Play(-1, sample, 0, -1), 0);
    audio->FreeSample(sample);  // halts the channel first
  }
}

TEST(SilentAudio, OpensAgainAfterItsQuickClose) {
  for (int round = 0; round < 2; ++round) {
    auto audio = backend::CreateSilentAudio();
    std::string error;
    ASSERT_TRUE(audio->Open(&error)) << error;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);  // open once, not twice
    EXPECT_TRUE(rate == 11025 && format == AUDIO_S8 && channels == 1);
    EXPECT_EQ(audio->AllocateChannels(8), 8);
    void* sample = audio->LoadSample(kSamples, sizeof kSamples);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(audio->Play(-1, sample, -1, -1) == 0 && audio->Play(-1, sample, -1, -1) == 1);
    audio->Close();
    audio->FreeSample(sample);
  }
  CloseMixer();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace
