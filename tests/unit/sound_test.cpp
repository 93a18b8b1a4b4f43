// Sound's start without a device, and sample files made here decoded into the samples the mixer
// plays. The mixer itself is checked sample for sample by the sound_mix game test.
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

// Appends each (value, byte count), little- or big-endian.
void Put(std::vector<std::uint8_t>* out, std::initializer_list<std::pair<std::int64_t, int>> fields,
         bool big_endian = false) {
  for (auto [v, bytes] : fields)
    for (int i = 0; i < bytes; ++i)
      out->push_back(std::uint8_t(v >> (8 * (big_endian ? bytes - 1 - i : i))));
}

// A WAV of 100 data bytes whose fmt chunk says what the arguments say.
std::vector<std::uint8_t> Wav(int tag, int channels, std::uint32_t rate, int bits, int align,
                              std::vector<std::uint8_t> extra = {}) {
  std::vector<std::uint8_t> fmt;
  Put(&fmt,
      {{tag, 2}, {channels, 2}, {rate, 4}, {std::int64_t(rate) * align, 4}, {align, 2}, {bits, 2}});
  fmt.insert(fmt.end(), extra.begin(), extra.end());
  const std::int64_t n = fmt.size();
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  Put(&out, {{4 + 8 + n + 8 + 100, 4}});
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(&out, {{n, 4}});
  out.insert(out.end(), fmt.begin(), fmt.end());
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  Put(&out, {{100, 4}});
  for (int i = 0; i < 100; ++i) out.push_back(std::uint8_t(i * 37));
  return out;
}

// An Amiga 8SVX sample of 100 bytes at `rate`: 100 one-shot samples, no
// repeat, one octave, no compression, full volume.
std::vector<std::uint8_t> Svx(int rate) {
  std::vector<std::uint8_t> out = {'F', 'O', 'R', 'M'};
  Put(&out, {{4 + 28 + 108, 4}}, true);
  out.insert(out.end(), {'8', 'S', 'V', 'X', 'V', 'H', 'D', 'R'});
  Put(&out, {{20, 4}, {100, 4}, {0, 4}, {0, 4}, {rate, 2}, {0x0100, 2}, {0x10000, 4}}, true);
  out.insert(out.end(), {'B', 'O', 'D', 'Y'});
  Put(&out, {{100, 4}}, true);
  out.resize(out.size() + 100, 9);
  return out;
}

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

// The files that crashed the mixer's own loader, and others it cannot use:
// nil, and the reason once on standard error however often they are loaded.
TEST_F(SoundTest, MalformedFilesAreNilWithTheReasonOnStandardErrorOnce) {
  const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 's', 'o', 'u', 'n', 'd'};
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"rate_2_30.wav", Wav(1, 1, 1u << 30, 16, 2), "claims 1073741824 samples per second"},
      {"rate_4.wav", Wav(1, 1, 4, 16, 2), "claims 4 samples per second"},
      {"channels_0.wav", Wav(1, 0, 8000, 16, 2), "decoded (Channel count is zero)"},
      {"channels_256.wav", Wav(1, 256, 8000, 8, 256), "claims 256 channels"},
      {"ima_align_0.wav", Wav(0x11, 1, 8000, 4, 0, {2, 0, 0xF9, 1}),
       "not a sound file that can be decoded"},
      {"ima_block_0.wav", Wav(0x11, 1, 8000, 4, 256, {2, 0, 0, 0}), "Invalid number of samples"},
      {"rate_0.8svx", Svx(0), "not a sound file that can be decoded"},
      {"text.wav", text, "not a sound file that can be decoded"},
      {"long.flac", {}, "it lasts 660 seconds, longer than 600"},
  };
  // Silence compresses well: eleven minutes of it in a small file.
  ASSERT_TRUE(Sox("long.flac", "-r 8000 -b 16", "trim 0 660"));
  for (const auto& c : cases) {
    if (!c.bytes.empty()) WriteSound(c.name, c.bytes);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sound::LoadSound(c.name) || sound::LoadSound(c.name));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(err.rfind(std::string("lunashot: LoadSound: sound/") + c.name + ": ", 0) == 0 &&
                err.find(c.reason) != err.npos && std::count(err.begin(), err.end(), '\n') == 1)
        << err;
  }
  EXPECT_EQ(Log(), "");
  // Mended, the same file loads.
  WriteNative("text.wav", 20);
  EXPECT_TRUE(sound::LoadSound("text.wav"));
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

}  // namespace
