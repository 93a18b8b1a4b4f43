// BackBuffer, Screen and Present. The display behind platform::display
// receives the two layer-register writes at start-up, the palette through
// its registers (AdjustPalette) and one 76800-byte copy per Present.
#include "video/display.h"

#include <cstring>

#include "engine/frame.h"
#include "engine/paths.h"
#include "platform/platform.h"
#include "script/host.h"
#include "video/palette.h"
#include "video/recorder.h"

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
  engine::FramePresented();
  // A closed window also ends loops that present without calling Update.
  if (platform::host && platform::host->QuitRequested()) script::AbortRun();
}

}  // namespace video
