// The headless display: the framebuffer lives in memory and nothing is
// shown; no SDL video at all, so no window and no text-mode fallback. The
// palette registers are decoded like the window's; gamma cannot be set.
#include <vector>

#include "backend/palette_registers.h"
#include "backend/sdl_host.h"

namespace backend {

namespace {

class HeadlessDisplay : public SdlDisplay {
 public:
  void WriteRegister(std::uint32_t offset, std::uint16_t value) override {
    palette_.Write(offset, value);
  }
  std::uint8_t* Framebuffer() override { return frame_.data(); }
  void FrameWritten() override {}
  int SetGamma(float, float, float) override { return -1; }

 private:
  PaletteRegisters palette_;
  std::vector<std::uint8_t> frame_ = std::vector<std::uint8_t>(platform::kFrameBytes);
};

}  // namespace

std::unique_ptr<SdlDisplay> CreateHeadlessDisplay(const HostConfig&, std::string*) {
  return std::make_unique<HeadlessDisplay>();
}

}  // namespace backend
