// The screen: BackBuffer, which all drawing writes, and Screen, the frame
// last presented. Present copies one to the other and shows it.
#pragma once
#include <string>

#include "video/surface.h"

namespace video {

extern Surface* BackBuffer;
extern Surface* Screen;

// Loads pal.pal, opens the display, makes both surfaces and uploads the
// (black) working palette. False with a one-line cause on failure.
bool InitVideo(std::string* error);
// Opens the display and makes the surfaces without pal.pal (the palette
// stays as it is), unless already done: for showing a start-up failure.
bool OpenScreen(std::string* error);
void QuitVideo();
void Present();

}  // namespace video
