// The --input file format: scripted button states by Update call, for headless runs
// and tests. Each line that is not blank and does not start with '#' (after
// leading blanks) is "N B1,B2,..." or "N -": from the N-th call of Update on
// (calls counted from 1 over the whole run; N = 0 sets the state before the
// first call) exactly the listed button indices (0-31) are down, "-" none.
// N rises strictly from line to line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace base {

struct InputStep {
  std::uint32_t from_update;  // 0: before the first Update
  std::uint32_t buttons;      // bit i: button i down (indices 0..31)
};

// Parses the whole text. False with "line N: problem" on the first bad line.
bool ParseInputScript(const std::string& text, std::vector<InputStep>* steps, std::string* error);

}  // namespace base
