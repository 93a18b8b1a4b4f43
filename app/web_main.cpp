// lunashot in a browser page (built by ./make.sh web): the page packages the
// game at /game and passes the options of its address as arguments (see
// web/index.html). Chooses the browser backends, or for the page's test mode
// (--headless) the virtual clock and scripted buttons, as the native
// headless run does, so the two give the same frames.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "backend/backends.h"
#include "backend/scripted_input.h"
#include "backend/web_backends.h"
#include "base/log.h"
#include "base/paths.h"
#include "runtime/system.h"

int main(int argc, char** argv) {
  runtime::Options options;
  std::string message;
  int status = 0;
  if (!runtime::ParseOptions(argc, argv, &options, &message, &status)) {
    std::fputs(message.c_str(), stderr);
    return status == 0 ? 0 : 2;
  }
  if (options.game_dir.empty()) options.game_dir = "/game";
  if (chdir(options.game_dir.c_str()) != 0) {
    std::fprintf(stderr, "lunashot: cannot enter game directory %s: %s\n", options.game_dir.c_str(),
                 std::strerror(errno));
    return 2;
  }
  std::unique_ptr<platform::Input> input;
  if (!options.input_file.empty()) {
    std::string error;
    input = backend::LoadScriptedInput(options.input_file, &error);
    if (!input) {
      base::InitPaths();
      base::WriteLog(error.c_str());
      std::fprintf(stderr, "lunashot: %s\n", error.c_str());
      return 1;
    }
  }

  std::unique_ptr<backend::WebClock> clock =
      options.headless ? backend::CreateWebVirtualClock() : backend::CreateWebRealClock();
  std::unique_ptr<platform::Machine> machine = backend::CreateWebMachine(!options.headless);
  std::unique_ptr<platform::Display> display = backend::CreateWebDisplay();
  std::unique_ptr<backend::WebAudio> audio = backend::CreateWebAudio(clock.get());
  if (!input) {
    if (options.headless)
      input = std::make_unique<backend::ScriptedInput>(std::vector<base::InputStep>{});
    else
      input = backend::CreateWebInput();
  }
  backend::WebAudio* mixer = audio.get();
  clock->SetPump([mixer] { mixer->Mix(); });
  platform::backends = {machine.get(), display.get(), audio.get(), input.get(), clock.get()};
  return runtime::RunEngine(options);
}
