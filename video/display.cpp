// BackBuffer, Screen and Present. The display behind platform::display
// receives the two layer-register writes at start-up, the palette through
// its registers (AdjustPalette) and one 76800-byte copy per Present.
#include "video/display.h"

#include <cstring>

#include "base/paths.h"
#include "platform/platform.h"
#include "video/palette.h"
#include "video/recorder.h"

namespace video {

Surface* BackBuffer = nullptr;
Surface* Screen = nullptr;

bool InitVideo(std::string* error) {
  const char* path = base::GetSpritePath("pal.pal");
  if (!path) {
    *error = "the path of pal.pal is too long";
    return false;
  }
  if (!LoadPalette(path, error)) return false;
  if (!platform::host->OpenDisplay(error)) return false;
  platform::display->WriteRegister(platform::kRegLayerControl, 0x2AB);
  platform::display->WriteRegister(platform::kRegLineWidth, platform::kScreenWidth);
  Screen = WrapSurface(platform::display->Framebuffer(), platform::kScreenWidth,
                       platform::kScreenHeight);
  BackBuffer = CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
  if (!BackBuffer) {
    *error = "out of memory for the back buffer";
    return false;
  }
  AdjustPalette();
  return true;
}

void QuitVideo() {
  StopRecording();
  if (Screen) DestroySurface(Screen);
  if (BackBuffer) DestroySurface(BackBuffer);
  Screen = BackBuffer = nullptr;
  if (platform::host) platform::host->CloseDisplay();
}

void Present() {
  std::memcpy(Screen->pixels, BackBuffer->pixels, static_cast<std::size_t>(Screen->size));
  platform::display->FrameWritten();
  if (Recording()) RecordFrame(Screen->pixels);
}

}  // namespace video
