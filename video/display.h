// The screen: BackBuffer, which all drawing writes, and Screen, which wraps
// the display's framebuffer. Present copies one to the other, nothing else.
#pragma once
#include <string>

#include "video/surface.h"

namespace video {

extern Surface* BackBuffer;
extern Surface* Screen;

// Loads pal.pal, sets up the display controller and both surfaces, uploads
// the (black) working palette. False with a one-line cause on failure.
bool InitVideo(std::string* error);
void QuitVideo();
void Present();

}  // namespace video
