// The browser display: each frame goes through the palette into RGBA and the
// page puts it on a 320x240 canvas, which CSS scales by whole factors. Files
// the game wrote are stored before the frame after them is shown.
#include <emscripten.h>

#include <cstring>

#include "backend/web/web_backends.h"

namespace backend {

namespace {

// clang-format off
EM_JS(void, lunashot_show_frame, (const std::uint8_t* rgba), {
  if (Module.lunashotShowFrame) Module.lunashotShowFrame(HEAPU8.subarray(rgba, rgba + 320 * 240 * 4));
});
// clang-format on

class WebDisplay : public platform::Display {
 public:
  bool Open(std::string*) override { return true; }
  void Close() override {}

  void SetPalette(const platform::Rgb (&colours)[256]) override {
    std::memcpy(palette_, colours, sizeof palette_);
    // A hardware palette changes what is on screen at once.
    if (shown_) Show();
  }

  void Present(const std::uint8_t* frame) override {
    StoreChangedFiles();
    std::memcpy(frame_, frame, sizeof frame_);
    shown_ = true;
    Show();
  }

  // Gamma belongs to the display hardware; the page has none to set.
  int SetGamma(float, float, float) override { return -1; }

 private:
  void Show() {
    for (int i = 0; i < platform::kFrameBytes; ++i) {
      const platform::Rgb& c = palette_[frame_[i]];
      rgba_[4 * i] = c.r;
      rgba_[4 * i + 1] = c.g;
      rgba_[4 * i + 2] = c.b;
      rgba_[4 * i + 3] = 255;
    }
    lunashot_show_frame(rgba_);
  }

  bool shown_ = false;
  platform::Rgb palette_[256] = {};
  std::uint8_t frame_[platform::kFrameBytes] = {};
  std::uint8_t rgba_[platform::kFrameBytes * 4] = {};
};

}  // namespace

std::unique_ptr<platform::Display> CreateWebDisplay() { return std::make_unique<WebDisplay>(); }

}  // namespace backend
