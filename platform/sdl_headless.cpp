// The headless display: the framebuffer lives in memory and nothing is shown.
// Palette registers are accepted and ignored; gamma cannot be set.
#include <vector>

#include "platform/sdl_host.h"

namespace platform {

namespace {

class HeadlessDisplay : public SdlDisplay {
 public:
  void WriteRegister(std::uint32_t, std::uint16_t) override {}
  std::uint8_t* Framebuffer() override { return frame_.data(); }
  void FrameWritten() override {}
  int SetGamma(float, float, float) override { return -1; }

 private:
  std::vector<std::uint8_t> frame_ = std::vector<std::uint8_t>(kFrameBytes);
};

}  // namespace

std::unique_ptr<SdlDisplay> CreateHeadlessDisplay(const HostConfig&, std::string*) {
  return std::make_unique<HeadlessDisplay>();
}

}  // namespace platform
