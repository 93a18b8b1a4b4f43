// The scripted input backend.
#include "backend/scripted_input.h"

#include "base/file.h"

namespace backend {

namespace {
// A scripted play is a few lines a frame; anything near this is not one.
constexpr std::size_t kMaxInputFileBytes = std::size_t{64} << 20;
}  // namespace

ScriptedInput::ScriptedInput(std::vector<base::InputStep> steps) : steps_(std::move(steps)) {
  // The N = 0 line holds before any poll.
  while (next_ < steps_.size() && steps_[next_].from_update == 0) state_ = steps_[next_++].buttons;
}

void ScriptedInput::Poll(std::uint32_t update_calls) {
  while (next_ < steps_.size() && steps_[next_].from_update <= update_calls)
    state_ = steps_[next_++].buttons;
}

bool ScriptedInput::Button(int index) {
  return index >= 0 && index < 32 && ((state_ >> index) & 1u) != 0;
}

std::unique_ptr<ScriptedInput> LoadScriptedInput(const std::string& path, std::string* error) {
  std::vector<std::uint8_t> text;
  base::FileError failure;
  if (!base::ReadFile(path, kMaxInputFileBytes, &text, &failure)) {
    *error = "cannot read input file " + path + ": " + failure.reason;
    return nullptr;
  }
  std::vector<base::InputStep> steps;
  if (!base::ParseInputScript(std::string(text.begin(), text.end()), &steps, error)) {
    *error = "input file " + path + ": " + *error;
    return nullptr;
  }
  return std::make_unique<ScriptedInput>(std::move(steps));
}

}  // namespace backend
