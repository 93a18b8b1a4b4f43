// The scripted input backend (--input): button states from a parsed input
// file, taken on by the count of Update calls.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/input_script.h"
#include "platform/platform.h"

namespace backend {

// An Input backend that replays a parsed script against the Update count:
// a poll takes on every step whose N the count has reached.
class ScriptedInput : public platform::Input {
 public:
  explicit ScriptedInput(std::vector<base::InputStep> steps);
  void Poll(std::uint32_t update_calls) override;
  bool Button(int index) override;

 private:
  std::vector<base::InputStep> steps_;
  std::size_t next_ = 0;
  std::uint32_t state_ = 0;
};

// Reads and parses the --input file at `path`. Null with the cause on one
// line, naming the file (and the bad line).
std::unique_ptr<ScriptedInput> LoadScriptedInput(const std::string& path, std::string* error);

}  // namespace backend
