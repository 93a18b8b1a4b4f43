// The browser's machine and clocks. Every wait is an Asyncify sleep, which
// returns to the page's event loop and resumes the engine from a timer. A
// script that runs long without a frame yields too, from the stop check, so
// the page stays alive and its close, reload or "play again" can end it.
#include <emscripten.h>

#include "backend/web/web_backends.h"

namespace backend {

namespace {

constexpr double kYieldMs = 50;
// When the engine last gave the page its event loop back.
double last_yield = emscripten_get_now();
void Yield(std::uint32_t ms) {
  emscripten_sleep(ms);
  last_yield = emscripten_get_now();
}

// clang-format off
// 1 while the page wants the game paused (hidden or without focus).
EM_JS(int, lunashot_page_paused, (), {
  return Module.lunashotPaused && Module.lunashotPaused() ? 1 : 0;
});
// 1 once the page has asked the run to end (play again, the page going away).
EM_JS(int, lunashot_page_stop, (), {
  return Module.lunashotStopping && Module.lunashotStopping() ? 1 : 0;
});
// Starts storing the files the game changed; 1 while a store is under way.
EM_JS(int, lunashot_store_files, (), {
  return Module.lunashotStoreFiles && Module.lunashotStoreFiles() ? 1 : 0;
});
// clang-format on

class WebMachine : public platform::Machine {
 public:
  explicit WebMachine(bool interactive) : interactive_(interactive) {}
  bool Init(std::string*) override { return true; }
  void Quit() override {}
  bool QuitRequested() override { return lunashot_page_stop() != 0; }
  // Asked only by a script that has not reached a frame for a while: the
  // page gets its event loop back every kYieldMs, which costs such a script
  // a few per cent of its time.
  bool QuitRequestedNow() override {
    if (emscripten_get_now() - last_yield >= kYieldMs) Yield(0);
    return QuitRequested();
  }
  bool Interactive() override { return interactive_; }
  // The page's pause is the desktop's F6, a toggle: each change of what the
  // page wants is one command, so the run's pause follows the page's.
  platform::DevCommand TakeCommand() override {
    const bool wanted = lunashot_page_paused() != 0;
    if (wanted == paused_) return platform::DevCommand::kNone;
    paused_ = wanted;
    return platform::DevCommand::kPause;
  }

 private:
  bool interactive_;
  bool paused_ = false;
};

class RealClock : public WebClock {
 public:
  std::uint32_t Now() override {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now() - start_));
  }
  std::uint32_t Ticks() override {
    // Two readings without a wait between them: the frame before was late.
    // Yield, but not more than once in a few milliseconds, since scripts
    // may read the time often.
    if (!slept_ && Now() - last_yield_ >= 8) Sleep(0);
    slept_ = false;
    if (pump_) pump_();
    return Now();
  }
  void Delay(std::uint32_t ms) override {
    Sleep(ms);
    if (pump_) pump_();
  }

 private:
  void Sleep(std::uint32_t ms) {
    Yield(ms);
    slept_ = true;
    last_yield_ = Now();
  }

  double start_ = emscripten_get_now();
  bool slept_ = true;
  std::uint32_t last_yield_ = 0;
};

class VirtualClock : public WebClock {
 public:
  std::uint32_t Now() override { return now_; }
  std::uint32_t Ticks() override { return now_; }
  void Delay(std::uint32_t ms) override {
    now_ += ms;
    // Yielding costs a timer's minimum delay; every eighth wait is enough
    // for the page to paint and stay responsive.
    if (++waits_ % 8 == 0) Yield(0);
    if (pump_) pump_();
  }

 private:
  std::uint32_t now_ = 0;
  std::uint32_t waits_ = 0;
};

}  // namespace

void StoreChangedFiles() {
  while (lunashot_store_files()) emscripten_sleep(1);
}

std::unique_ptr<WebClock> CreateWebRealClock() { return std::make_unique<RealClock>(); }
std::unique_ptr<WebClock> CreateWebVirtualClock() { return std::make_unique<VirtualClock>(); }
std::unique_ptr<platform::Machine> CreateWebMachine(bool interactive) {
  return std::make_unique<WebMachine>(interactive);
}

}  // namespace backend
