// lunashot in a browser page (built by ./make.sh web): the page packages the
// game at /game and passes the options of its address as arguments (see
// web/index.html). Chooses the browser backends, or for the page's test mode
// (--headless) the virtual clock, scripted buttons and silent audio, as the
// native headless run does, so the two give the same frames and samples.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/start.h"
#include "backend/backends.h"
#include "backend/scripted_input.h"
#include "backend/web/web_backends.h"

int main(int argc, char** argv) {
  app::Run run;
  int status = 0;
  if (!app::Prepare(argc, argv, "/game", &run, &status)) return status;
  const bool test_mode = run.options.headless;
  std::unique_ptr<backend::WebClock> clock =
      test_mode ? backend::CreateWebVirtualClock() : backend::CreateWebRealClock();
  run.machine = backend::CreateWebMachine(!test_mode);
  run.display = backend::CreateWebDisplay();
  if (test_mode) {
    run.audio = backend::CreateSilentAudio();  // the mix stepped with the frames
  } else {
    std::unique_ptr<backend::WebAudio> web_audio = backend::CreateWebAudio(clock.get());
    clock->SetPump([pulls = web_audio.get()] { pulls->Pump(); });
    run.audio = std::move(web_audio);
  }
  run.input = std::move(run.scripted);
  if (!run.input && test_mode)
    run.input = std::make_unique<backend::ScriptedInput>(std::vector<base::InputStep>{});
  else if (!run.input)
    run.input = backend::CreateWebInput();
  run.clock = std::move(clock);
  return app::Start(&run);
}
