// Fake backends for tests that drive the core without a machine: a clock that moves when told,
// buttons set by the test, a display that keeps what it was sent, a machine whose quit request the
// test sets; FakeBackends installs them for a test's life. ErrorOf: a call's script error.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/platform.h"

namespace test_support {

class FakeClock : public platform::Clock {
 public:
  std::uint32_t now = 0;
  std::vector<std::uint32_t> delays;
  std::uint32_t Ticks() override { return now; }
  void Delay(std::uint32_t ms) override { delays.push_back(ms), now += ms; }
};

// Buttons as a bit mask; `on_poll` runs at each poll, after the count.
class FakeInput : public platform::Input {
 public:
  std::uint32_t buttons = 0;
  int polls = 0;
  std::function<void()> on_poll;
  void Poll(std::uint32_t) override { ++polls, on_poll ? on_poll() : void(); }
  bool Button(int index) override { return index >= 0 && index < 32 && ((buttons >> index) & 1u); }
};

class FakeDisplay : public platform::Display {
 public:
  using Palette = std::array<platform::Rgb, 256>;
  bool can_open = true;
  std::vector<Palette> palettes;  // every palette set, in order
  std::vector<std::uint8_t> frame = std::vector<std::uint8_t>(platform::kFrameBytes);
  int frames = 0;
  bool Open(std::string* error) override { return can_open || (*error = "no window", false); }
  void Close() override {}
  void SetPalette(const platform::Rgb (&colours)[256]) override {
    palettes.emplace_back();
    std::copy(colours, colours + 256, palettes.back().begin());
  }
  void Present(const std::uint8_t* pixels) override {
    frame.assign(pixels, pixels + platform::kFrameBytes);
    ++frames;
  }
  int SetGamma(float, float, float) override { return -1; }
};

class FakeMachine : public platform::Machine {
 public:
  bool quit = false;
  bool Init(std::string*) override { return true; }
  void Quit() override {}
  bool QuitRequested() override { return quit; }
  bool Interactive() override { return false; }
};

// Installs a set of backends (null for those a test does not need), the previous set back after.
class FakeBackends {
 public:
  explicit FakeBackends(const platform::Backends& b) : saved_(platform::backends) { platform::backends = b; }
  ~FakeBackends() { platform::backends = saved_; }
  FakeBackends(const FakeBackends&) = delete;
  FakeBackends& operator=(const FakeBackends&) = delete;

 private:
  platform::Backends saved_;
};

// The message of the script error `f` raises, "" when it raises none.
template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const base::ScriptError& e) {
    return e.what();
  }
  return "";
}

}  // namespace test_support
