// What the engine core needs from the machine, and nothing more: a display
// (the controller's registers and a framebuffer), a clock, button state and
// the system's start and stop. The core calls only these; the SDL backends
// (window, headless) and test fakes implement them. No SDL type appears here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Display-controller register offsets the engine writes.
constexpr std::uint32_t kRegLayerControl = 0x28DA;
constexpr std::uint32_t kRegLineWidth = 0x290C;
constexpr std::uint32_t kRegPaletteIndex = 0x2958;
constexpr std::uint32_t kRegPaletteData = 0x295A;

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
constexpr int kFrameBytes = kScreenWidth * kScreenHeight;

class Display {
 public:
  virtual ~Display() = default;
  // A 16-bit write to a display-controller register.
  virtual void WriteRegister(std::uint32_t offset, std::uint16_t value) = 0;
  // The 76800-byte framebuffer that the Screen surface wraps.
  virtual std::uint8_t* Framebuffer() = 0;
  // Called after each Present has copied a frame into the framebuffer.
  virtual void FrameWritten() = 0;
  // SDL_SetGamma's contract: 0 on success, -1 when gamma cannot be set.
  virtual int SetGamma(float red, float green, float blue) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t Ticks() = 0;
  virtual void Delay(std::uint32_t ms) = 0;
};

// Joystick-style buttons by the handheld's indices (0-7 stick, 8 Start,
// 12 A, 14 X, 15 Y).
class Input {
 public:
  virtual ~Input() = default;
  // Refreshes the state the queries read (SDL_JoystickUpdate's role).
  virtual void Poll() = 0;
  virtual bool Button(int index) = 0;
};

// SDL_mixer's calls as the sound module uses them. A chunk is opaque.
class Mixer {
 public:
  virtual ~Mixer() = default;
  // Mix_OpenAudio; with dummy_driver the audio goes to SDL's dummy driver.
  virtual bool Open(int frequency, std::uint16_t format, int channels, int chunk_size,
                    bool dummy_driver, std::string* error) = 0;
  virtual int AllocateChannels(int count) = 0;
  // A chunk of `count` samples in the native format (signed 8-bit, mono,
  // 11025 Hz), copied and converted to the device's format if it differs;
  // nullptr when the mixer is not open or the conversion fails.
  virtual void* LoadSample(const std::int8_t* samples, std::size_t count) = 0;
  // Frees what LoadSample returned (Mix_FreeChunk).
  virtual void FreeSample(void* sample) = 0;
  virtual void FreeChunk(void* chunk) = 0;
  virtual int Volume(int channel, int volume) = 0;
  virtual int PlayChannelTimed(int channel, void* chunk, int loops, int ticks) = 0;
  virtual int HaltChannel(int channel) = 0;
  virtual int FadeInChannelTimed(int channel, void* chunk, int loops, int ms, int ticks) = 0;
  virtual int FadeOutChannel(int channel, int ms) = 0;
  virtual void HaltMusic() = 0;
  virtual void Close() = 0;
};

// Start and stop of the machine's services, in the order the start-up
// sequence needs them.
class Host {
 public:
  virtual ~Host() = default;
  // SDL_Init for audio and joystick, joystick 0; installs clock and input.
  virtual bool InitSystem(std::string* error) = 0;
  // Opens the window or the headless display and installs it.
  virtual bool OpenDisplay(std::string* error) = 0;
  virtual void CloseDisplay() = 0;
  // SDL_Quit.
  virtual void QuitSystem() = 0;
  // True once the player has closed the window.
  virtual bool QuitRequested() = 0;
};

// The backends in use; set by main (or a test) before the engine starts.
inline Host* host = nullptr;
inline Display* display = nullptr;
inline Clock* clock = nullptr;
inline Input* input = nullptr;
inline Mixer* mixer = nullptr;

}  // namespace platform
