// lunashot: runs a game's script/start.lua; see --help.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backend/sdl_host.h"
#include "base/file.h"
#include "base/input_script.h"
#include "base/paths.h"
#include "runtime/system.h"

namespace {

// An --input file is a list of frames and buttons: a few kilobytes.
constexpr std::size_t kMaxInputFileBytes = std::size_t{64} << 20;

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
  if (!options.game_dir.empty() && chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    return 2;
  }
  backend::HostConfig config;
  if (!options.input_file.empty()) {
    std::vector<std::uint8_t> text;
    base::FileError failure;
    std::string error;
    if (!base::ReadFile(options.input_file, kMaxInputFileBytes, &text, &failure)) {
      error = "cannot read input file " + options.input_file + ": " + failure.reason;
    } else if (!base::ParseInputScript(std::string(text.begin(), text.end()), &config.input_steps,
                                       &error)) {
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
