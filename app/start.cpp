// The start shared by the desktop's and the browser's mains.
#include "app/start.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "backend/scripted_input.h"
#include "base/paths.h"
#include "runtime/outputs.h"

namespace app {

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

bool Prepare(int argc, char** argv, const char* default_game, Run* run, int* status) {
  // A script's print reaches a pipe (a test, an editor's console) line by
  // line, not when the buffer fills or the program ends.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  runtime::Options& options = run->options;
  std::string message;
  *status = 0;
  if (!runtime::ParseOptions(argc, argv, &options, &message, status)) {
    std::fputs(message.c_str(), *status == 0 ? stdout : stderr);
    return false;
  }
  // Start-up failures end an unattended run with a failure status; a player
  // reads them on the error screen.
  if (options.headless) runtime::SetStartupFailureStatus(runtime::kStartupFailed);
  for (std::string* path : {&options.record_dir, &options.input_file, &options.gif_file,
                            &options.frame_hashes, &options.audio_file})
    *path = Absolute(*path);
  if (options.game_dir.empty() && default_game) options.game_dir = default_game;
  // Without a game, the current directory must be one: anywhere else the run
  // would only fail, and leave a log.txt in a folder that is no game's.
  if (options.game_dir.empty() && access("script/start.lua", F_OK) != 0) {
    std::fputs(
        "usage: lunashot [options] GAMEDIR (no script/start.lua here; lunashot --help "
        "lists the options)\n",
        stderr);
    *status = 2;
    return false;
  }
  if (!options.game_dir.empty() && chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    *status = 2;
    return false;
  }
  if (!runtime::CheckOutputPaths(options, &message)) {
    std::fputs(message.c_str(), stderr);
    *status = 2;
    return false;
  }
  if (!options.input_file.empty())
    run->scripted = backend::LoadScriptedInput(options.input_file, &run->input_error);
  return true;
}

int Start(Run* run) {
  platform::backends = {run->machine.get(), run->display.get(), run->audio.get(),
                        run->input.get(), run->clock.get()};
  if (!run->input_error.empty()) {
    base::InitPaths();
    runtime::StartupFailure(run->input_error);
  }
  return runtime::RunEngine(run->options);
}

}  // namespace app
