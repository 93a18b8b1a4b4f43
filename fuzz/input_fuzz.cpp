// The --input file parser, and replaying what it accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "backend/scripted_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<base::InputStep> steps;
  std::string error;
  if (!base::ParseInputScript(text, &steps, &error)) return 0;
  backend::ScriptedInput input(std::move(steps));
  for (std::uint32_t i = 0; i < 64; ++i) {
    input.Poll(i);
    for (int b = -1; b < 34; ++b) input.Button(b);
  }
  return 0;
}
