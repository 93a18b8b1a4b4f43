// lunashot: runs a game's script/start.lua, or writes a starter game
// (`lunashot new DIR`); see --help. Chooses the backends (window or
// headless, device or scripted buttons) for the run.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/new_game.h"
#include "backend/backends.h"
#include "backend/scripted_input.h"
#include "base/paths.h"
#include "runtime/outputs.h"
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
  // A script's print reaches a pipe (a test, an editor's console) line by
  // line, not when the buffer fills or the program ends.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc >= 2 && std::strcmp(argv[1], "new") == 0) {
    if (argc != 3 || argv[2][0] == '\0' || argv[2][0] == '-') {
      std::fputs("usage: lunashot new DIR (a new or empty directory)\n", stderr);
      return 2;
    }
    std::string error;
    if (!WriteStarterGame(argv[2], &error)) {
      std::fprintf(stderr, "lunashot new: %s\n", error.c_str());
      return 1;
    }
    std::printf("lunashot new: wrote a starter game in %s; play it with: lunashot %s\n", argv[2],
                argv[2]);
    return 0;
  }
  runtime::Options options;
  std::string message;
  int status = 0;
  if (!runtime::ParseOptions(argc, argv, &options, &message, &status)) {
    std::fputs(message.c_str(), status == 0 ? stdout : stderr);
    return status;
  }
  // Without a game, the current directory must be one: anywhere else the run
  // would only fail, and leave a log.txt in a folder that is no game's.
  if (options.game_dir.empty() && access("script/start.lua", F_OK) != 0) {
    std::fputs(
        "usage: lunashot [options] GAMEDIR (no script/start.lua here; lunashot --help "
        "lists the options)\n",
        stderr);
    return 2;
  }
  if (options.headless) runtime::SetStartupFailureStatus(runtime::kStartupFailed);
  options.record_dir = Absolute(options.record_dir);
  options.input_file = Absolute(options.input_file);
  options.gif_file = Absolute(options.gif_file);
  options.frame_hashes = Absolute(options.frame_hashes);
  if (!options.game_dir.empty() && chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    return 2;
  }
  if (!runtime::CheckOutputPaths(options, &message)) {
    std::fputs(message.c_str(), stderr);
    return 2;
  }
  std::unique_ptr<platform::Input> scripted;
  std::string input_error;  // reported once the backends are chosen
  if (!options.input_file.empty())
    scripted = backend::LoadScriptedInput(options.input_file, &input_error);

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
  if (!input_error.empty()) {
    base::InitPaths();
    runtime::StartupFailure(input_error);  // on the window's error screen
  }
  status = runtime::RunEngine(options);
  // A stopped headless run shut down cleanly, but it did not finish: its
  // caller hears of the signal as if the run had been killed by it.
  if (options.headless && backend::HeadlessStopSignal() != 0)
    status = 128 + backend::HeadlessStopSignal();
  runtime::ReturnToMenu(status);
}
