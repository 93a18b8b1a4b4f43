// What every main does around its choice of backends: the command line read,
// the game folder entered, the --input file loaded; then the chosen backends
// installed and the engine run. The mains differ only in what they choose.
#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"
#include "runtime/system.h"

namespace app {

struct Run {
  runtime::Options options;
  std::unique_ptr<platform::Input> scripted;  // the --input file's buttons, or null
  std::string input_error;                     // why --input could not be used
  std::unique_ptr<platform::Machine> machine;
  std::unique_ptr<platform::Display> display;
  std::unique_ptr<platform::Audio> audio;
  std::unique_ptr<platform::Input> input;
  std::unique_ptr<platform::Clock> clock;
};

// Reads the command line (without a game folder: `default_game`, or the
// current one when null) and enters the game folder. False with the exit
// status when the program ends here (help, a bad option, a refused path).
bool Prepare(int argc, char** argv, const char* default_game, Run* run, int* status);
// Installs the chosen backends and runs the engine; its exit status. An
// --input file that could not be used is a start-up failure, shown on the
// error screen in a window.
int Start(Run* run);

}  // namespace app
