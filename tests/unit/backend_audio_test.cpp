// The SDL_mixer backends on SDL's dummy driver: LoadSample gives a chunk in
// the format the device really runs (widened when it is not the device
// format, refused at another rate) that the mixer plays and frees; the
// silent output opens in the device format, again after its quick close.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend/backends.h"

namespace {

const std::int8_t kSamples[] = {0, 1, -1, 127, -128, 64};

// SDL_mixer opened on the dummy driver in a given format, closed after.
struct DummyMixer {
  DummyMixer(int rate, Uint16 format, int channels) {
    int r = 0, c = 0;
    Uint16 f = 0;
    while (Mix_QuerySpec(&r, &f, &c)) Mix_CloseAudio();
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
  // Each device sample as a number, for the input {0, 1, -1, 127, -128, 64}.
  struct Case {
    Uint16 format;
    int channels, rate;
    std::vector<int> expected;  // empty: resampled, only the length is known
  };
  const Case cases[] = {
      {AUDIO_S8, 1, 11025, {0, 1, -1, 127, -128, 64}},
      {AUDIO_U8, 1, 11025, {128, 129, 127, 255, 0, 192}},
      {AUDIO_S8, 2, 11025, {0, 0, 1, 1, -1, -1, 127, 127, -128, -128, 64, 64}},
      {AUDIO_S16SYS, 1, 11025, {0, 256, -256, 32512, -32768, 16384}},
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
    std::vector<int> got;
    for (Uint32 i = 0; i < chunk->alen; i += c.format == AUDIO_S16SYS ? 2 : 1) {
      if (c.format == AUDIO_S16SYS) {
        Sint16 v;
        std::memcpy(&v, chunk->abuf + i, 2);
        got.push_back(v);
      } else {
        got.push_back(c.format == AUDIO_U8 ? chunk->abuf[i] : static_cast<Sint8>(chunk->abuf[i]));
      }
    }
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
    EXPECT_EQ(audio->Play(-1, sample, -1, -1), 0);
    EXPECT_EQ(audio->Play(-1, sample, -1, -1), 1);
    audio->Close();
    audio->FreeSample(sample);
  }
  int r = 0, c = 0;
  Uint16 f = 0;
  while (Mix_QuerySpec(&r, &f, &c)) Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace
