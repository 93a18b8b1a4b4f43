// Every backend a run can be built from, one per file. A window run uses
// the SDL machine, window, audio and input with the real clock; a headless
// run uses the headless machine and display, silent audio and the virtual
// clock; either takes its buttons from an --input file instead when given.
#pragma once
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace backend {

// sdl/sdl_window.cpp: the frame scaled by a whole factor of real pixels into
// a window (scale 0: the largest that fits, at least 2), or desktop fullscreen.
class WindowDisplay : public platform::Display {
 public:
  virtual void ToggleFullscreen() = 0;
  // Draws the last frame again (the window was exposed).
  virtual void Redraw() = 0;
};
std::unique_ptr<WindowDisplay> CreateWindowDisplay(int scale, bool fullscreen);

// sdl/sdl_input.cpp: one pad (the handheld's own joystick, a pad of known
// layout, or another joystick, through gamepad.txt), followed as pads are
// plugged in and pulled out, and the keyboard.
class SdlInput : public platform::Input {
 public:
  // Gets ready once SDL is up; pads are opened as they come (gamepad.txt is
  // read when the first one does).
  virtual void Open() = 0;
  // Called at every poll so that the window's events are handled.
  virtual void SetEventPump(std::function<void()> pump) = 0;
  // The window saw SDL key `key` go down (with Alt held or not).
  virtual void KeyPressed(int key, bool alt) = 0;
};
std::unique_ptr<SdlInput> CreateSdlInput();

// sdl/sdl_machine.cpp: SDL for pads, and the window's events:
// close and Escape (a second one ends the process at once), SIGINT and
// SIGTERM as in stop_signal.cpp, Alt+Enter, expose and resize, and the developer keys
// (F3, F5, Shift+F5, F6, F7, F9, F12). `input` is null when the buttons are
// scripted.
std::unique_ptr<platform::Machine> CreateSdlMachine(WindowDisplay* window, SdlInput* input);
// sdl/sdl_audio.cpp: the audio device, pulling the mix on SDL's thread.
std::unique_ptr<platform::Audio> CreateSdlAudio();
// sdl/real_clock.cpp: SDL's milliseconds.
std::unique_ptr<platform::Clock> CreateRealClock();

// launcher.cpp: the handheld's way out: its menu program, started from its
// own folder, or a plain exit with `status` where there is none.
[[noreturn]] void ReturnToLauncher(int status);
// stop_signal.cpp: SIGINT and SIGTERM ask the run to stop; a second one
// ends the process at once (the signal's default action).
void CatchStopSignals();
// The signal that asked the run to stop, or 0.
int StopSignal();

// headless/headless_machine.cpp: nothing to bring up; no player; SIGINT and SIGTERM
// stop the run.
std::unique_ptr<platform::Machine> CreateHeadlessMachine();
// The signal that stopped a headless run, or 0.
int HeadlessStopSignal();
// headless/headless_display.cpp: nothing shown; gamma cannot be set.
std::unique_ptr<platform::Display> CreateHeadlessDisplay();
// headless/silent_audio.cpp: nothing played; the engine steps the mix with its frames.
std::unique_ptr<platform::Audio> CreateSilentAudio();
// headless/virtual_clock.cpp: time passes only when the engine waits.
std::unique_ptr<platform::Clock> CreateVirtualClock();

}  // namespace backend
