// BackBuffer, Screen and Present.
#include "video/display.h"

#include <cstring>

#include "engine/paths.h"
#include "platform/platform.h"
#include "video/palette.h"

namespace video {

Surface* BackBuffer = nullptr;
Surface* Screen = nullptr;

bool InitVideo(std::string* error) {
  const char* path = engine::GetSpritePath("pal.pal");
  if (!path) {
    *error = "the path of pal.pal is too long";
    return false;
  }
  if (!LoadPalette(path, error)) return false;
  if (!platform::host->OpenDisplay(error)) return false;
  platform::display->WriteRegister(platform::kRegLayerControl, 0x2AB);
  platform::display->WriteRegister(platform::kRegLineWidth, 320);
  Screen = WrapSurface(platform::display->Framebuffer(), 320, 240);
  BackBuffer = CreateSurface(320, 240);
  AdjustPalette();
  return true;
}

void QuitVideo() {
  if (Screen) DestroySurface(Screen);
  if (BackBuffer) DestroySurface(BackBuffer);
  Screen = BackBuffer = nullptr;
  if (platform::host) platform::host->CloseDisplay();
}

void Present() {
  std::memcpy(Screen->pixels, BackBuffer->pixels, static_cast<std::size_t>(Screen->size));
  platform::display->FrameWritten();
}

}  // namespace video
