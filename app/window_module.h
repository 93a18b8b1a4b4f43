// The window run's backends, from the window module beside the program.
#pragma once
#include "backend/backends.h"

namespace app {

// When the module cannot be loaded, the machine's Init fails with the cause
// (so the run ends as any failed start does) and headless stand-ins fill
// the other places.
backend::WindowBackends LoadWindowBackends(int scale, bool fullscreen, bool devices);

}  // namespace app
