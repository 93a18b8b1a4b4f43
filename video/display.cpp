// BackBuffer, Screen and Present. The display backend receives the palette
// from AdjustPalette alone and each presented frame once, from Screen.
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
  if (!OpenScreen(error)) return false;
  AdjustPalette();
  return true;
}

bool OpenScreen(std::string* error) {
  if (Screen && BackBuffer) return true;
  if (!platform::backends.display->Open(error)) return false;
  if (!Screen) Screen = CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
  if (!BackBuffer) BackBuffer = CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
  if (!Screen || !BackBuffer) {
    *error = "out of memory for the screen";
    return false;
  }
  return true;
}

void QuitVideo() {
  StopRecording();
  if (Screen) DestroySurface(Screen);
  if (BackBuffer) DestroySurface(BackBuffer);
  Screen = BackBuffer = nullptr;
  if (platform::backends.display) platform::backends.display->Close();
}

void Present() {
  std::memcpy(Screen->pixels, BackBuffer->pixels, static_cast<std::size_t>(Screen->size));
  platform::backends.display->Present(Screen->pixels);
  if (Recording()) RecordFrame(Screen->pixels);
  if (GifRecording()) RecordGifFrame(Screen->pixels);
}

}  // namespace video
