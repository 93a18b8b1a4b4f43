// lunashot: runs a game's script/start.lua; see --help. Chooses the
// backends (window or headless, device or scripted buttons) for the run.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "backend/backends.h"
#include "backend/scripted_input.h"
#include "base/input_script.h"
#include "base/paths.h"
#include "runtime/system.h"

namespace {

// Relative option paths name places below the directory lunashot was
// started from, not below the game directory it changes into.
std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

}  // namespace

int main(int argc, char** argv) {
  runtime::Options options;
  std::string message;
  int status = 0;
  if (!runtime::ParseOptions(argc, argv, &options, &message, &status)) {
    std::fputs(message.c_str(), status == 0 ? stdout : stderr);
    return status;
  }
  options.record_dir = Absolute(options.record_dir);
  options.input_file = Absolute(options.input_file);
  options.frame_hashes = Absolute(options.frame_hashes);
  if (!options.game_dir.empty() && chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    return 2;
  }
  std::unique_ptr<platform::Input> scripted;
  if (!options.input_file.empty()) {
    std::ifstream in(options.input_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    std::vector<base::InputStep> steps;
    if (!in) {
      error = "cannot read input file " + options.input_file + ": " + std::strerror(errno);
    } else if (!base::ParseInputScript(text.str(), &steps, &error)) {
      error = "input file " + options.input_file + ": " + error;
    }
    if (!error.empty()) {
      base::InitPaths();
      runtime::StartupFailure(error);
    }
    scripted = std::make_unique<backend::ScriptedInput>(std::move(steps));
  }

  // The one place that chooses the backends.
  std::unique_ptr<platform::Machine> machine;
  std::unique_ptr<platform::Display> display;
  std::unique_ptr<platform::Audio> audio;
  std::unique_ptr<platform::Input> input = std::move(scripted);
  std::unique_ptr<platform::Clock> clock;
  if (options.headless) {
    machine = backend::CreateHeadlessMachine();
    display = backend::CreateHeadlessDisplay();
    audio = backend::CreateSilentAudio();
    clock = backend::CreateVirtualClock();
    if (!input) input = std::make_unique<backend::ScriptedInput>(std::vector<base::InputStep>{});
  } else {
    std::unique_ptr<backend::WindowDisplay> window =
        backend::CreateWindowDisplay(options.scale, options.fullscreen);
    std::unique_ptr<backend::SdlInput> devices;
    if (!input) devices = backend::CreateSdlInput();
    machine = backend::CreateSdlMachine(window.get(), devices.get());
    display = std::move(window);
    if (devices) input = std::move(devices);
    audio = backend::CreateSdlAudio();
    clock = backend::CreateRealClock();
  }
  platform::backends = {machine.get(), display.get(), audio.get(), input.get(), clock.get()};
  runtime::ReturnToMenu(runtime::RunEngine(options));
}
