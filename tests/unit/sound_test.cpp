// Sound against a recording fake mixer: the fixed open parameters, the
// silent fallback without an audio device, arguments and results passed
// through unchanged, and samples that cannot be used after unloading.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/scratch_dir.h"
#include "base/error.h"
#include "base/paths.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace {

namespace fs = std::filesystem;

class FakeMixer : public platform::Mixer {
 public:
  bool Open(int frequency, std::uint16_t format, int channels, int chunk_size, bool dummy_driver,
            std::string* error) override {
    calls.push_back("Open " + std::to_string(frequency) + " " + std::to_string(format) + " " +
                    std::to_string(channels) + " " + std::to_string(chunk_size) +
                    (dummy_driver ? " dummy" : " device"));
    bool ok = dummy_driver ? dummy_works : device_works;
    if (!ok) *error = dummy_driver ? "no dummy either" : "No available audio device";
    return ok;
  }
  int AllocateChannels(int count) override {
    calls.push_back("AllocateChannels " + std::to_string(count));
    return count;
  }
  void* LoadWAV(const char* path) override {
    calls.push_back(std::string("LoadWAV ") + path);
    if (std::string(path).find("missing") != std::string::npos) return nullptr;
    return new int(++loaded);
  }
  void FreeChunk(void* chunk) override {
    calls.push_back("FreeChunk " + std::to_string(*static_cast<int*>(chunk)));
    delete static_cast<int*>(chunk);
  }
  int Volume(int channel, int volume) override {
    calls.push_back("Volume " + std::to_string(channel) + " " + std::to_string(volume));
    return 77;
  }
  int PlayChannelTimed(int channel, void* chunk, int loops, int ticks) override {
    calls.push_back("Play " + std::to_string(channel) + " " + Chunk(chunk) + " " +
                    std::to_string(loops) + " " + std::to_string(ticks));
    return -3;
  }
  int HaltChannel(int channel) override {
    calls.push_back("Halt " + std::to_string(channel));
    return 5;
  }
  int FadeInChannelTimed(int channel, void* chunk, int loops, int ms, int ticks) override {
    calls.push_back("FadeIn " + std::to_string(channel) + " " + Chunk(chunk) + " " +
                    std::to_string(loops) + " " + std::to_string(ms) + " " +
                    std::to_string(ticks));
    return 6;
  }
  int FadeOutChannel(int channel, int ms) override {
    calls.push_back("FadeOut " + std::to_string(channel) + " " + std::to_string(ms));
    return 8;
  }
  void HaltMusic() override { calls.push_back("HaltMusic"); }
  void Close() override { calls.push_back("Close"); }

  static std::string Chunk(void* chunk) {
    return chunk ? "#" + std::to_string(*static_cast<int*>(chunk)) : "null";
  }
  std::string Calls() {
    std::string out;
    for (const auto& c : calls) out += c + "; ";
    calls.clear();
    return out;
  }

  std::vector<std::string> calls;
  bool device_works = true;
  bool dummy_works = true;
  int loaded = 0;
};

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<test_support::ScratchDir>("lunashot-sound",
                                                          std::initializer_list<const char*>{"script"});
    dir_ = scratch_->path();
    saved_ = platform::mixer;
    platform::mixer = &mixer;
  }
  void TearDown() override {
    platform::mixer = saved_;
    scratch_.reset();
  }
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

  FakeMixer mixer;
  std::string dir_;

 private:
  platform::Mixer* saved_ = nullptr;
  std::unique_ptr<test_support::ScratchDir> scratch_;
};

TEST_F(SoundTest, OpensWithTheFixedFormatAndEightChannels) {
  std::string error;
  EXPECT_TRUE(sound::InitSound(false, &error));
  EXPECT_EQ(mixer.Calls(), "Open 11025 32776 1 512 device; AllocateChannels 8; ");
  EXPECT_FALSE(sound::SilentSound());
  sound::InitSound(true, &error);  // headless: straight to the dummy driver
  EXPECT_EQ(mixer.Calls(), "Open 11025 32776 1 512 dummy; AllocateChannels 8; ");
  EXPECT_TRUE(sound::SilentSound());
  sound::QuitSound();
  EXPECT_EQ(mixer.Calls(), "HaltMusic; Close; ");
  EXPECT_EQ(Log(), "");
}

TEST_F(SoundTest, WithoutADeviceLogsAndRunsSilent) {
  mixer.device_works = false;
  std::string error;
  EXPECT_TRUE(sound::InitSound(false, &error));
  EXPECT_EQ(mixer.Calls(),
            "Open 11025 32776 1 512 device; Open 11025 32776 1 512 dummy; AllocateChannels 8; ");
  EXPECT_TRUE(sound::SilentSound());
  EXPECT_EQ(Log(),
            "no sound (No available audio device); running silent on SDL's dummy audio driver \n");
}

TEST_F(SoundTest, WhenTheDummyDriverFailsTooTheStartUpFails) {
  mixer.device_works = false;
  mixer.dummy_works = false;
  std::string error;
  EXPECT_FALSE(sound::InitSound(false, &error));
  EXPECT_EQ(error, "no dummy either");
}

TEST_F(SoundTest, ChannelFunctionsPassArgumentsAndResultsThrough) {
  EXPECT_EQ(sound::SetVol(-1, 1000), 77);
  EXPECT_EQ(sound::StopSound(12), 5);
  EXPECT_EQ(sound::FOSound(9, -2), 8);
  EXPECT_EQ(mixer.Calls(), "Volume -1 1000; Halt 12; FadeOut 9 -2; ");

  boost::intrusive_ptr<sound::Sound> s = sound::LoadSound("shot.wav");
  ASSERT_TRUE(s);
  EXPECT_EQ(mixer.Calls(), "LoadWAV " + dir_ + "/sound/shot.wav; ");
  EXPECT_EQ(sound::PlaySound(12, s.get(), -1, 0), -3);
  EXPECT_EQ(sound::FISound(-1, s.get(), 3, 250, -1), 6);
  EXPECT_EQ(sound::PlaySound(0, nullptr, 0, -1), -3);  // the mixer judges nil
  EXPECT_EQ(mixer.Calls(), "Play 12 #1 -1 0; FadeIn -1 #1 3 250 -1; Play 0 null 0 -1; ");
  sound::UnloadSound(s.get());
}

TEST_F(SoundTest, ChannelsBelowMinusOneAndZeroFadesNeverReachTheMixer) {
  EXPECT_EQ(ErrorOf([] { sound::SetVol(-2, 5); }),
            "SetVol: channel -2 does not exist (channels are 0 to 7; -1 means all)");
  EXPECT_NE(ErrorOf([] { sound::StopSound(-40000); }).find("StopSound: channel -40000"),
            std::string::npos);
  EXPECT_NE(ErrorOf([] { sound::FOSound(INT_MIN, 5); }).find("FOSound: channel -2147483648"),
            std::string::npos);
  EXPECT_EQ(mixer.Calls(), "");
  // Playing on such a channel touches no table: passed through.
  EXPECT_EQ(sound::PlaySound(-5, nullptr, 0, -1), -3);
  EXPECT_EQ(sound::FISound(-5, nullptr, 0, 7, -1), 6);
  EXPECT_EQ(sound::SetVol(9, 5), 77);
  // A 0 ms fade becomes 1 ms; other lengths pass unchanged.
  EXPECT_EQ(sound::FOSound(-1, 0), 8);
  EXPECT_EQ(sound::FISound(2, nullptr, 1, 0, 9), 6);
  EXPECT_EQ(sound::FOSound(3, -4), 8);
  EXPECT_EQ(mixer.Calls(),
            "Play -5 null 0 -1; FadeIn -5 null 0 7 -1; Volume 9 5; FadeOut -1 1; "
            "FadeIn 2 null 1 1 9; FadeOut 3 -4; ");
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
  EXPECT_EQ(mixer.Calls(), "FreeChunk 1; ");
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
