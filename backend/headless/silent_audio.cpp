// Silent audio for headless runs (and the browser page's test mode): nothing
// is played and nothing pulls, so the engine steps the mix with its frames
// on the virtual clock, and the same run always makes the same samples.
#include "backend/backends.h"

namespace backend {

namespace {

class SilentAudio : public platform::Audio {
 public:
  bool Open(platform::MixFunction, std::string*) override { return true; }
  void Close() override {}
  bool Pulls() const override { return false; }
};

}  // namespace

std::unique_ptr<platform::Audio> CreateSilentAudio() { return std::make_unique<SilentAudio>(); }

}  // namespace backend
