// What the engine core needs from the machine, in the engine's own terms: a
// 320x240 screen of 8-bit colour indices shown through a 256-colour palette,
// mixer channels for 8-bit samples, the handheld's buttons, a millisecond
// clock, and the machine's start and stop. The core calls only these; the
// backends (window, headless, test fakes) implement them. Header only; no
// SDL type or constant appears here.
#pragma once
#include <cstddef>
#include <cstdint>
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

// The audio device format: signed 8-bit mono samples at 11025 Hz, mixed in
// buffers of kAudioBufferSamples.
constexpr int kSampleRate = 11025;
constexpr int kAudioBufferSamples = 512;

// Mixer channels playing samples. The channel calls have SDL mixer 1.2's
// argument and return-value semantics (channel -1: any free channel, or all
// channels; loops -1: forever; ticks -1: no time limit), since scripts see
// their results unchanged. A sample is opaque; nullptr stands for none.
class Audio {
 public:
  virtual ~Audio() = default;
  // Opens the output in the device format. False with the cause.
  virtual bool Open(std::string* error) = 0;
  // Opens an output that is never heard but whose channels behave as a
  // heard one's: the fallback when there is no device.
  virtual bool OpenSilent(std::string* error) = 0;
  virtual void Close() = 0;
  // The number of mixing channels; returns the number now allocated.
  virtual int AllocateChannels(int count) = 0;
  // Copies `count` samples in the device format; nullptr on failure.
  virtual void* LoadSample(const std::int8_t* samples, std::size_t count) = 0;
  // Frees a sample; nullptr does nothing.
  virtual void FreeSample(void* sample) = 0;
  // The channel that plays, or -1.
  virtual int Play(int channel, void* sample, int loops, int ticks) = 0;
  virtual int FadeIn(int channel, void* sample, int loops, int ms, int ticks) = 0;
  // The number of channels that start fading out.
  virtual int FadeOut(int channel, int ms) = 0;
  // Always 0.
  virtual int Stop(int channel) = 0;
  // Sets a volume of 0-128 (-1 reads it); returns the previous one (for
  // channel -1 the average).
  virtual int Volume(int channel, int volume) = 0;
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
