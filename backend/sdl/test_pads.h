// Test-only: virtual pads that the window tests plug in and press, scripted
// by the environment variable LUNASHOT_TEST_PADS; without it nothing here runs.
#pragma once
#include <cstdint>
#include <memory>

namespace backend {

// LUNASHOT_TEST_PADS holds pads separated by ';', each a list of words: its
// kind first (xbox and ps4: the desktop database's layouts of those pads;
// pad: a pad of no known layout, 2 axes, 12 buttons, a hat; handheld: 16
// buttons and nothing else), then +N (plugged in at Update N; default at
// start), -N (pulled out at Update N), B@N (raw button B down during
// Update N only) and hP@N (hat 0 at SDL's position P, 1 up, 2 right, 4
// down, 8 left, during Update N only).
class TestPads {
 public:
  virtual ~TestPads() = default;
  // Plugs, pulls and presses what the script says for this Update.
  virtual void Step(std::uint32_t update_calls) = 0;
};
// Null when the variable is not set. A word that cannot be used is told
// and skipped.
std::unique_ptr<TestPads> TestPadsFromEnvironment();

}  // namespace backend
