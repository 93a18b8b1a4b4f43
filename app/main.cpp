// lunashot: runs a game's script/start.lua; see --help.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>

#include "backend/sdl_host.h"
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
  if (options.headless) runtime::SetStartupFailureStatus(runtime::kStartupFailed);
  options.record_dir = Absolute(options.record_dir);
  options.input_file = Absolute(options.input_file);
  if (!options.game_dir.empty() && chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    return 2;
  }
  backend::HostConfig config;
  if (!options.input_file.empty()) {
    std::ifstream in(options.input_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    struct stat st;
    if (!in || (stat(options.input_file.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
      if (in) errno = EISDIR;  // a directory opens, and reads as nothing
      error = "cannot read input file " + options.input_file + ": " + std::strerror(errno);
    } else if (!base::ParseInputScript(text.str(), &config.input_steps, &error)) {
      error = "input file " + options.input_file + ": " + error;
    }
    if (!error.empty()) {
      base::InitPaths();
      runtime::StartupFailure(error);
    }
    config.scripted = true;
  }
  config.headless = options.headless;
  config.scale = options.scale;
  config.fullscreen = options.fullscreen;
  config.record_dir = options.record_dir;
  std::unique_ptr<platform::Host> host = backend::CreateSdlHost(config);
  platform::host = host.get();
  runtime::ReturnToMenu(runtime::RunEngine(options));
}
