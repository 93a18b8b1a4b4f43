// The scripted input backend.
#include "backend/scripted_input.h"

#include "runtime/frame.h"

namespace backend {

ScriptedInput::ScriptedInput(std::vector<base::InputStep> steps) : steps_(std::move(steps)) {
  // The N = 0 line holds before any poll.
  while (next_ < steps_.size() && steps_[next_].from_update == 0) state_ = steps_[next_++].buttons;
}

void ScriptedInput::Poll() {
  while (next_ < steps_.size() && steps_[next_].from_update <= runtime::UpdateCalls)
    state_ = steps_[next_++].buttons;
}

bool ScriptedInput::Button(int index) {
  return index >= 0 && index < 32 && ((state_ >> index) & 1u) != 0;
}

}  // namespace backend
