// The browser backends (compiled only by ./make.sh web, under Emscripten):
// a canvas display, Web Audio fed with the engine's mix, keyboard and
// Gamepad API buttons, and clocks whose waits hand control back to the page.
// The page's JavaScript (web/index.html) owns the canvas, the audio context,
// the key state and the stored files.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace backend {

// web_machine.cpp: a clock that also tells the time without side effects
// (the audio's time base) and calls `pump` whenever the engine asks the time
// or waits, so that sound keeps flowing however the script runs.
class WebClock : public platform::Clock {
 public:
  virtual std::uint32_t Now() = 0;
  void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

 protected:
  std::function<void()> pump_;
};
// Real time: waits sleep in the browser; a frame that did not wait yields
// anyway at its next reading of the time, so late frames do not starve the
// page.
std::unique_ptr<WebClock> CreateWebRealClock();
// Virtual time, as headless runs have it; the page still gets control back
// every few frames.
std::unique_ptr<WebClock> CreateWebVirtualClock();
// No setup; `interactive` decides whether a script error shows the error
// screen (a player) or ends the run with a failure status (test mode).
std::unique_ptr<platform::Machine> CreateWebMachine(bool interactive);
// Has the page store the game's changed files (replays, log.txt) and waits
// until they are in the browser's storage, so a frame shown after a save
// never outlives it (a reload or a closed tab keeps the file).
void StoreChangedFiles();

// web_display.cpp: the frame through the palette onto the page's canvas.
std::unique_ptr<platform::Display> CreateWebDisplay();

// web_audio.cpp: the mix pulled in 512-sample buffers on `clock`'s time
// and queued to the page's audio context. Pump() pulls the buffers due.
class WebAudio : public platform::Audio {
 public:
  virtual void Pump() = 0;
};
std::unique_ptr<WebAudio> CreateWebAudio(WebClock* clock);

// web_input.cpp: arrows, Z, X, C and Return as on the desktop, and the first
// gamepad through gamepad.txt's rules (a standard pad's d-pad, buttons
// 12-15, is the stick).
std::unique_ptr<platform::Input> CreateWebInput();

}  // namespace backend
