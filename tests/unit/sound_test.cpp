// Sound against a fake audio backend: the silent fallback without an audio
// device, the arguments that never reach the mixer or reach it changed, and
// samples that cannot be used after unloading.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"
#include "base/error.h"
#include "base/paths.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace {

// Notes the calls that the checks below are about; results are fixed.
class FakeAudio : public platform::Audio {
 public:
  std::string calls;
  bool device_works = true, silent_works = true;
  int loaded = 0;

  bool Open(std::string* error) override {
    return Opened("Open", device_works, "No available audio device", error);
  }
  bool OpenSilent(std::string* error) override {
    return Opened("OpenSilent", silent_works, "no dummy either", error);
  }
  void Close() override {}
  int AllocateChannels(int count) override { return Note("AllocateChannels", count, count); }
  void* LoadSample(const std::int8_t*, std::size_t) override { return nullptr; }
  void* LoadWAV(const char* path) override {
    calls += std::string("LoadWAV ") + path + "; ";
    return std::strstr(path, "missing") ? nullptr : new int(++loaded);
  }
  void FreeSample(void* sample) override {
    Note("Free", *static_cast<int*>(sample), 0);
    delete static_cast<int*>(sample);
  }
  int Play(int channel, void*, int, int) override { return Note("Play", channel, -3); }
  int FadeIn(int channel, void*, int, int ms, int) override { return Note("FadeIn", channel, 6, ms); }
  int FadeOut(int channel, int ms) override { return Note("FadeOut", channel, 8, ms); }
  int Stop(int channel) override { return Note("Stop", channel, 5); }
  int Volume(int channel, int) override { return Note("Volume", channel, 77); }
  std::string Calls() { return std::exchange(calls, ""); }

 private:
  int Note(const char* name, int n, int result, int ms = -1) {
    calls += name + (" " + std::to_string(n)) + (ms >= 0 ? " " + std::to_string(ms) + "ms" : "") + "; ";
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
  void SetUp() override {
    scratch_ = std::make_unique<test_support::ScratchDir>("lunashot-sound",
                                                          std::initializer_list<const char*>{"script"});
    dir_ = scratch_->path();
  }
  void TearDown() override { scratch_.reset(); }
  std::string Log() {
    std::ifstream in(dir_ + "/script/log.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  template <class F>
  std::string ErrorOf(F f) {
    try {
      f();
    } catch (const base::ScriptError& e) {
      return e.what();
    }
    return "";
  }

  FakeAudio mixer;
  test_support::FakeBackends backends_{{nullptr, nullptr, &mixer, nullptr, nullptr}};
  std::string dir_;

 private:
  std::unique_ptr<test_support::ScratchDir> scratch_;
};

TEST_F(SoundTest, WithoutADeviceLogsAndRunsSilent) {
  std::string error;
  EXPECT_TRUE(sound::InitSound(&error));
  EXPECT_EQ(mixer.Calls(), "Open; AllocateChannels 8; ");
  EXPECT_EQ(Log(), "");
  mixer.device_works = false;
  EXPECT_TRUE(sound::InitSound(&error));
  EXPECT_EQ(mixer.Calls(), "Open; OpenSilent; AllocateChannels 8; ");
  EXPECT_EQ(Log(),
            "no sound (No available audio device); running silent on SDL's dummy audio driver \n");
  mixer.silent_works = false;  // and when that fails too, so does the start-up
  EXPECT_FALSE(sound::InitSound(&error));
  EXPECT_EQ(error, "no dummy either");
}

TEST_F(SoundTest, ChannelsBelowMinusOneAndZeroFadesNeverReachTheMixer) {
  EXPECT_EQ(ErrorOf([] { sound::SetVol(-2, 5); }),
            "SetVol: channel -2 does not exist (channels are 0 to 7; -1 means all)");
  EXPECT_NE(ErrorOf([] { sound::StopSound(-40000); }).find("StopSound: channel -40000"),
            std::string::npos);
  EXPECT_NE(ErrorOf([] { sound::FOSound(INT_MIN, 5); }).find("FOSound: channel -2147483648"),
            std::string::npos);
  EXPECT_EQ(mixer.Calls(), "");
  // Playing on such a channel touches no table: passed through, as are the
  // mixer's results.
  EXPECT_EQ(sound::PlaySound(-5, nullptr, 0, -1), -3);
  EXPECT_EQ(sound::FISound(-5, nullptr, 0, 7, -1), 6);
  EXPECT_EQ(sound::SetVol(-1, 5), 77);
  EXPECT_EQ(sound::StopSound(-1), 5);
  // A 0 ms fade becomes 1 ms; other lengths pass unchanged.
  EXPECT_EQ(sound::FOSound(-1, 0), 8);
  EXPECT_EQ(sound::FISound(2, nullptr, 1, 0, 9), 6);
  EXPECT_EQ(sound::FOSound(3, 4), 8);
  EXPECT_EQ(mixer.Calls(),
            "Play -5; FadeIn -5 7ms; Volume -1; Stop -1; FadeOut -1 1ms; FadeIn 2 1ms; "
            "FadeOut 3 4ms; ");
}

TEST_F(SoundTest, LoadSoundGivesNilQuietlyAndRefusesBadNames) {
  EXPECT_FALSE(sound::LoadSound("missing.wav"));
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(ErrorOf([] { sound::LoadSound(nullptr); }), "LoadSound: the file name is nil");
  const std::string long_name(300, 'w');
  EXPECT_EQ(ErrorOf([&] { sound::LoadSound(long_name.c_str()); }),
            "LoadSound: the path would be longer than 255 characters");
  EXPECT_EQ(mixer.Calls(), "LoadWAV " + dir_ + "/sound/missing.wav; ");
}

TEST_F(SoundTest, AnUnloadedSoundCannotBeUsedOrFreedAgain) {
  boost::intrusive_ptr<sound::Sound> s = sound::LoadSound("boom.wav");
  ASSERT_TRUE(s);
  mixer.Calls();
  sound::UnloadSound(s.get());
  EXPECT_EQ(mixer.Calls(), "Free 1; ");
  EXPECT_TRUE(s->unloaded);
  EXPECT_EQ(ErrorOf([&] { sound::UnloadSound(s.get()); }),
            "UnloadSound: the sound was already unloaded");
  EXPECT_EQ(ErrorOf([&] { sound::PlaySound(0, s.get(), 0, -1); }),
            "PlaySound: the sound was unloaded");
  EXPECT_EQ(ErrorOf([&] { sound::FISound(0, s.get(), 0, 10, -1); }),
            "FISound: the sound was unloaded");
  EXPECT_EQ(mixer.Calls(), "");  // nothing reached the mixer
  sound::UnloadSound(nullptr);
  EXPECT_EQ(mixer.Calls(), "");
}

}  // namespace
