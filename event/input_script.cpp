// --input files (placeholder until the input work lands).
#include "event/input_script.h"

namespace event {

bool ParseInputScript(const std::string&, std::vector<InputStep>*, std::string* error) {
  *error = "not implemented";
  return false;
}
ScriptedInput::ScriptedInput(std::vector<InputStep> steps) : steps_(std::move(steps)) {}
void ScriptedInput::Poll() {}
bool ScriptedInput::Button(int) { return false; }

}  // namespace event
