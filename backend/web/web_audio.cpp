// Browser audio: the engine's mix pulled in 512-sample buffers at 11025 Hz,
// each when the clock reaches its time (less a lead), and queued to the
// page's audio context, which plays them once the player has unlocked sound
// (browsers start audio only after a key or a click) and drops them before.
// The channels' time is the stream's, so it follows the clock as the
// desktop's follows its device.
#include <emscripten.h>

#include "backend/web/web_backends.h"

namespace backend {

namespace {

// clang-format off
EM_JS(void, lunashot_queue_audio, (const std::int8_t* samples, int count), {
  if (Module.lunashotQueueAudio) Module.lunashotQueueAudio(HEAP8.subarray(samples, samples + count));
});
// clang-format on

constexpr int kBufferSamples = 512;
// Buffers are mixed this far ahead of the clock, so the page always has
// sound queued between two frames.
constexpr std::uint32_t kLeadMs = 100;

class WebAudioImpl : public WebAudio {
 public:
  explicit WebAudioImpl(WebClock* clock) : clock_(clock) {}

  bool Open(platform::MixFunction mix, std::string*) override {
    mix_ = mix;
    start_ = clock_->Now();
    pulled_ = 0;
    return true;
  }
  void Close() override { mix_ = nullptr; }
  bool Pulls() const override { return true; }

  void Pump() override {
    if (!mix_) return;
    const std::uint32_t now = clock_->Now() - start_ + kLeadMs;
    // Buffer k plays k * 512 / 11025 s after opening.
    while (std::uint64_t{pulled_} * kBufferSamples * 1000 / platform::kSampleRate <= now) {
      std::int8_t samples[kBufferSamples];
      mix_(samples, kBufferSamples);
      lunashot_queue_audio(samples, kBufferSamples);
      ++pulled_;
    }
  }

 private:
  WebClock* clock_;
  platform::MixFunction mix_ = nullptr;
  std::uint32_t start_ = 0;
  std::uint32_t pulled_ = 0;
};

}  // namespace

std::unique_ptr<WebAudio> CreateWebAudio(WebClock* clock) {
  return std::make_unique<WebAudioImpl>(clock);
}

}  // namespace backend
