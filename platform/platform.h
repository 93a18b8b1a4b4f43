// What the engine core needs from the machine, in the engine's own terms: a
// 320x240 screen of 8-bit colour indices shown through a 256-colour palette,
// an output for the mixed sound, the handheld's buttons, a millisecond
// clock, and the machine's start and stop. The core calls only these; the
// backends (window, headless, test fakes) implement them. Header only; no
// SDL type or constant appears here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
constexpr int kFrameBytes = kScreenWidth * kScreenHeight;

struct Rgb {
  std::uint8_t r, g, b;
};

// What the developer's overlay shows over the window, from the core. It is
// drawn by the display on top of the shown frame, never into the frame.
struct OverlayFigures {
  int level = 0;                  // 0 off; 1 the figures; 2 also each instance's shapes
  std::uint32_t frame_ms = 0;     // from one frame's start to the next one's
  std::uint32_t work_ms = 0;      // of that, the time before the wait
  std::uint32_t presented = 0;    // frames presented in the last second
  std::uint32_t late_frames = 0;  // since the run began
  std::uint32_t notices = 0;      // notices told since the run began (base::Notice)
  int lists[8] = {};              // instances in each list (enemy 0, 1, enemy
                                  // bullets, player bullets, layers 0-3)
  int free_slots = 0;
  int pending_events = 0;
  std::size_t script_heap = 0;  // bytes
  struct Shape {
    int x, y, radius;  // screen pixels: hotspot and collision size
  };
  std::vector<Shape> shapes;
};

class Display {
 public:
  virtual ~Display() = default;
  // Brings the screen up (a window appears). False with a one-line cause.
  virtual bool Open(std::string* error) = 0;
  // Takes the screen down; harmless when it is not open.
  virtual void Close() = 0;
  // The 256 colours from now on. What is on screen changes at once, as a
  // hardware palette does, without a new frame.
  virtual void SetPalette(const Rgb (&colours)[256]) = 0;
  // Shows a frame of kFrameBytes colour indices, row by row. The display
  // keeps what it needs; `frame` may change after the call.
  virtual void Present(const std::uint8_t* frame) = 0;
  // 0 on success, -1 when gamma cannot be set (scripts see this value).
  virtual int SetGamma(float red, float green, float blue) = 0;
  // The whole factor each screen pixel is shown at (1 without a window).
  virtual int Scale() { return 1; }
  // A short note for the player beside the game's name (window title);
  // empty: the name alone.
  virtual void SetTitle(const std::string& /*name*/, const std::string& /*note*/) {}
  // The overlay from now on (level 0: none); the window shows it at once.
  virtual void SetOverlay(const OverlayFigures& /*figures*/) {}
};

// The developer's commands, given by keys of the window that never reach the
// buttons. Each is reported once.
enum class DevCommand {
  kNone,
  kReload,      // end the run and start script/start.lua again
  kScreenshot,  // save the screen as a picture
  kGif,         // start or stop recording an animation
  kOverlay,     // cycle the figures overlay: off, figures, figures and shapes
  kPause,       // pause or resume the game
  kStep,        // while paused: run exactly one frame
};

// Sound output: the engine's mix is signed 8-bit mono samples at
// kSampleRate. An output that plays them pulls the mix itself, a buffer at a
// time, from its own thread or its own events; one that does not (headless)
// leaves the engine to step the mix with its frames.
constexpr int kSampleRate = 11025;
using MixFunction = void (*)(std::int8_t* samples, int count);

class Audio {
 public:
  virtual ~Audio() = default;
  // Starts the output. One that Pulls calls `mix` from now on for each
  // buffer it is about to play, under its lock. False with the cause when
  // there is no device.
  virtual bool Open(MixFunction mix, std::string* error) = 0;
  // Stops calling `mix`; harmless when not open.
  virtual void Close() = 0;
  // True when the output calls the mix at its own pace.
  virtual bool Pulls() const = 0;
  // Keeps `mix` from running while the engine changes what it reads; an
  // output that mixes on the engine's own thread needs nothing here.
  virtual void Lock() {}
  virtual void Unlock() {}
};

// Buttons by the handheld's indices (platform/buttons.h).
class Input {
 public:
  virtual ~Input() = default;
  // Takes a new reading of the buttons; Button reports the latest one.
  // `update_calls` counts the game's Update calls so far, this one included
  // (a scripted play is timed by it).
  virtual void Poll(std::uint32_t update_calls) = 0;
  virtual bool Button(int index) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start; wraps after 2^32.
  virtual std::uint32_t Ticks() = 0;
  virtual void Delay(std::uint32_t ms) = 0;
};

// The machine's start and stop around the run, and the player's part in it.
class Machine {
 public:
  virtual ~Machine() = default;
  // Brings up what the other backends need and opens the buttons' devices,
  // before the display and the audio open. False with the cause.
  virtual bool Init(std::string* error) = 0;
  // After the display and the audio have closed.
  virtual void Quit() = 0;
  // True once the player has asked to stop (closed the window).
  virtual bool QuitRequested() = 0;
  // The same, taking in the window's events first: asked while a script
  // runs long without a frame, when nothing else looks at them. A reload
  // among the commands not yet taken (kReload) ends such a run too: the
  // runtime takes it once the run has stopped.
  virtual bool QuitRequestedNow() { return QuitRequested(); }
  // The next developer command given since the last call, oldest first.
  virtual DevCommand TakeCommand() { return DevCommand::kNone; }
  // Ends the program with `status` once the run is over. The handheld's
  // machines hand over to its launcher instead (backend/launcher.cpp).
  [[noreturn]] virtual void Exit(int status) {
    std::fflush(nullptr);
    std::exit(status);
  }
  // True when a player watches the display and answers with the buttons; a
  // script error is then shown on screen. Unattended runs report it in the
  // exit status instead.
  virtual bool Interactive() = 0;
};

// The backends of a run, set in one place before the engine starts: main,
// or a test, which leaves null those it does not use.
struct Backends {
  Machine* machine = nullptr;
  Display* display = nullptr;
  Audio* audio = nullptr;
  Input* input = nullptr;
  Clock* clock = nullptr;
};

inline Backends backends;

}  // namespace platform
