// The backend pointers the core calls through.
#include "platform/platform.h"

namespace platform {

Host* host = nullptr;
Display* display = nullptr;
Clock* clock = nullptr;
Input* input = nullptr;
Mixer* mixer = nullptr;

}  // namespace platform
