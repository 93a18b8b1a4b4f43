// The window display (placeholder until the window backend lands).
#include "platform/sdl_host.h"

namespace platform {

std::unique_ptr<SdlDisplay> CreateWindowDisplay(const HostConfig&, std::string* error) {
  *error = "no window backend yet: run with --headless";
  return nullptr;
}

}  // namespace platform
