// lunashot in a browser page (built by ./make.sh web): the page packages the
// game at /game and passes the options of its address as arguments (see
// web/index.html). Chooses the browser backends, or for the page's test mode
// (--headless) the virtual clock, scripted buttons and silent audio, as the
// native headless run does, so the two give the same frames and samples.
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
#include "backend/web/web_backends.h"
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
  // Start-up failures end a test run with a failure status, as headless
  // runs do; a player reads them on the error screen.
  if (options.headless) runtime::SetStartupFailureStatus(runtime::kStartupFailed);
  std::unique_ptr<platform::Input> input;
  std::string input_error;  // reported once the backends are chosen
  if (!options.input_file.empty())
    input = backend::LoadScriptedInput(options.input_file, &input_error);

  std::unique_ptr<backend::WebClock> clock =
      options.headless ? backend::CreateWebVirtualClock() : backend::CreateWebRealClock();
  std::unique_ptr<platform::Machine> machine = backend::CreateWebMachine(!options.headless);
  std::unique_ptr<platform::Display> display = backend::CreateWebDisplay();
  std::unique_ptr<platform::Audio> audio;
  if (options.headless) {
    audio = backend::CreateSilentAudio();  // the mix stepped with the frames
  } else {
    std::unique_ptr<backend::WebAudio> web_audio = backend::CreateWebAudio(clock.get());
    clock->SetPump([pulls = web_audio.get()] { pulls->Pump(); });
    audio = std::move(web_audio);
  }
  if (!input) {
    if (options.headless)
      input = std::make_unique<backend::ScriptedInput>(std::vector<base::InputStep>{});
    else
      input = backend::CreateWebInput();
  }
  platform::backends = {machine.get(), display.get(), audio.get(), input.get(), clock.get()};
  if (!input_error.empty()) {
    base::InitPaths();
    runtime::StartupFailure(input_error);
  }
  return runtime::RunEngine(options);
}
