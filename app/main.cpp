// lunashot: runs a game's script/start.lua, or writes a starter game
// (`lunashot new DIR`); see --help. Chooses the backends (window or
// headless, device or scripted buttons) for the run.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/new_game.h"
#include "app/start.h"
#include "app/window_module.h"
#include "backend/backends.h"
#include "backend/scripted_input.h"
#include "runtime/devkeys.h"
#include "runtime/system.h"

int main(int argc, char** argv) {
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
  app::Run run;
  int status = 0;
  if (!app::Prepare(argc, argv, nullptr, &run, &status)) return status;
  const runtime::Options& options = run.options;

  // The one place that chooses the desktop's backends.
  run.input = std::move(run.scripted);
  if (options.headless) {
    run.machine = backend::CreateHeadlessMachine();
    run.display = backend::CreateHeadlessDisplay();
    run.audio = backend::CreateSilentAudio();
    run.clock = backend::CreateVirtualClock();
  } else {
    app::WindowBackends window =
        app::LoadWindowBackends(options.scale, options.fullscreen, !run.input);
    run.machine = std::move(window.machine);
    if (window.display)
      run.display = std::move(window.display);
    else
      run.display = backend::CreateHeadlessDisplay();
    if (window.input) run.input = std::move(window.input);
    run.audio = std::move(window.audio);
    run.clock = std::move(window.clock);
    runtime::Art = {window.art_run, window.art_sources};
  }
  if (!run.input)
    run.input = std::make_unique<backend::ScriptedInput>(std::vector<base::InputStep>{});
  status = app::Start(&run);
  // A stopped headless run shut down cleanly, but it did not finish: its
  // caller hears of the signal as if the run had been killed by it.
  if (options.headless && backend::HeadlessStopSignal() != 0)
    status = 128 + backend::HeadlessStopSignal();
  runtime::ReturnToMenu(status);
}
