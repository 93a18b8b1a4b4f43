// The --input file: scripted button states by Update call, for headless runs.
// Lines "N B1,B2,..." or "N -", N ascending; '#' starts a comment line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace event {

struct InputStep {
  std::uint32_t from_update;  // 0: before the first Update
  std::uint32_t buttons;      // bit i: button i down (indices 0..31)
};

// Parses the whole text. False with "line N: problem" on the first bad line.
bool ParseInputScript(const std::string& text, std::vector<InputStep>* steps, std::string* error);

// An Input backend that replays a parsed script against the Update count.
class ScriptedInput : public platform::Input {
 public:
  explicit ScriptedInput(std::vector<InputStep> steps);
  void Poll() override;
  bool Button(int index) override;

 private:
  std::vector<InputStep> steps_;
  std::size_t next_ = 0;
  std::uint32_t state_ = 0;
};

}  // namespace event
