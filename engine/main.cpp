// lunashot: runs a game's script/start.lua; see --help.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/system.h"
#include "platform/sdl_host.h"

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
  engine::Options options;
  std::string message;
  int status = 0;
  if (!engine::ParseOptions(argc, argv, &options, &message, &status)) {
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
  platform::HostConfig config;
  config.headless = options.headless;
  config.scale = options.scale;
  config.fullscreen = options.fullscreen;
  config.record_dir = options.record_dir;
  std::unique_ptr<platform::Host> host = platform::CreateSdlHost(config);
  platform::host = host.get();
  engine::ReturnToMenu(engine::RunEngine(options));
}
