// The gamepad.txt parser: any text gives a usable map and per-line errors.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gamepad_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  platform::GamepadMap map = platform::ParseGamepadMap(text, &errors);
  for (std::int8_t t : map.target)
    if (t != platform::kNoButton && (t < 0 || t > 15)) std::abort();
  for (std::int8_t t : map.named)
    if (t != platform::kNoButton && (t < 0 || t > 15)) std::abort();
  if (map.dead_zone < 0 || map.dead_zone > 32767) std::abort();
  return 0;
}
