// Sound's start without a device, and sample files made here decoded into the samples the mixer
// plays. The mixer itself is checked sample for sample by the sound_channels game test, refused
// files by sound_files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/sound_file.h"
#include "platform/platform.h"
#include "sound/mixer.h"
#include "sound/sound.h"
#include "tests/unit/fake_platform.h"
#include "tests/unit/scratch_dir.h"

namespace {

// An output that has no device, or one that is never heard.
class FakeAudio : public platform::Audio {
 public:
  bool device = true;
  bool Open(platform::MixFunction, std::string* error) override {
    if (!device) *error = "No available audio device";
    return device;
  }
  void Close() override {}
  bool Pulls() const override { return false; }
};

class SoundTest : public ::testing::Test {
 protected:
  // Samples a test dropped without an unload go with its fake mixer.
  void TearDown() override { sound::QuitSound(); }
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
  FakeAudio output;
  test_support::FakeBackends backends_{{nullptr, nullptr, &output, nullptr, nullptr}};
};

TEST_F(SoundTest, WithoutADeviceLogsAndRunsSilent) {
  sound::InitSound();
  sound::CloseSound();
  EXPECT_EQ(Log(), "");
  output.device = false;
  sound::InitSound();
  sound::CloseSound();
  EXPECT_EQ(Log(), "no sound (No available audio device); running silent \n");
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
    const auto sound = sound::LoadSound(f[0]);
    ASSERT_TRUE(sound);
    const std::vector<std::int8_t>& s = sound->sample->data;
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
  EXPECT_EQ(sound::LoadSound("native.wav")->sample->data, ramp);
  ASSERT_TRUE(Sox("noise.wav", "-b 16 -r 44100 -c 2", "synth 0.2 whitenoise vol 0.3"));
  const std::vector<std::int8_t> first = sound::LoadSound("noise.wav")->sample->data;
  EXPECT_EQ(sound::LoadSound("noise.wav")->sample->data, first);
  EXPECT_NEAR(double(first.size()), 2205.0, 2.0);
  sound::QuitSound();  // frees the samples dropped without an unload
}

// The engine reads plain native WAVs without the codecs; whatever it takes
// must decode to the codecs' very samples, and whatever it cannot be sure
// of goes to them.
TEST(PlainNativeWav, ReadsWhatTheCodecsReadTheSameAndLeavesTheRestToThem) {
  std::vector<std::int8_t> ramp(301);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = std::int8_t(i * 7);
  const std::vector<std::uint8_t> plain = base::EncodeNativeWav(ramp);
  auto with = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
    std::vector<std::uint8_t> out = plain;
    if (at + bytes.size() > out.size()) out.resize(at + bytes.size());
    std::copy(bytes.begin(), bytes.end(), out.begin() + std::ptrdiff_t(at));
    return out;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> file;
    bool read;
  } rows[] = {
      {"as written", plain, true},
      {"an even length", base::EncodeNativeWav({1, 2, 3, 4}), true},
      {"a wrong RIFF length", with(4, {0, 0, 0, 0}), true},
      {"samples that spell an S3M's mark", with(44, {'S', 'C', 'R', 'M'}), true},
      {"a LIST chunk after the data", with(plain.size(), {'L', 'I', 'S', 'T', 2, 0, 0, 0, 'a', 'b'}), true},
      {"a loop", base::EncodeNativeWav(ramp, 10), false},
      {"16-bit", with(34, {16}), false},
      {"stereo", with(22, {2}), false},
      {"22050 Hz", with(24, {0x22, 0x56}), false},
      {"data longer than the file", with(40, {0, 2, 0, 0}), false},
      {"no samples", base::NativeWavHeader(0), false},
      {"a chunk cut short after the data", with(plain.size(), {'L', 'I', 'S', 'T', 9, 0, 0, 0}), false},
  };
  for (const auto& row : rows) {
    std::vector<std::int8_t> fast, codecs;
    EXPECT_EQ(base::ReadPlainNativeWav(row.file.data(), row.file.size(), 1 << 20, &fast), row.read)
        << row.what;
    if (!row.read) continue;
    base::SoundSource source;
    std::string error;
    ASSERT_TRUE(base::DecodeSound(row.file.data(), row.file.size(), &codecs, &source, &error))
        << row.what << ": " << error;
    EXPECT_EQ(fast, codecs) << row.what;
    EXPECT_EQ(source.loop_start, 0) << row.what;
  }
}

}  // namespace
