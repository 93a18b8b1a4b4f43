// The headless display: frames and colours go nowhere (frame recording
// works from the engine's own copies), and gamma cannot be set.
#include "backend/backends.h"

namespace backend {

namespace {

class HeadlessDisplay : public platform::Display {
 public:
  bool Open(std::string*) override { return true; }
  void Close() override {}
  void SetPalette(const platform::Rgb (&)[256]) override {}
  void Present(const std::uint8_t*) override {}
  int SetGamma(float, float, float) override { return -1; }
};

}  // namespace

std::unique_ptr<platform::Display> CreateHeadlessDisplay() {
  return std::make_unique<HeadlessDisplay>();
}

}  // namespace backend
