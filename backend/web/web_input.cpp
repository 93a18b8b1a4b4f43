// Browser input by the handheld's button indices: the page's key and touch
// state (arrows for the stick, Z = A, X = X, C = Y, Return = Start, as in the
// desktop window; the touch controls give the same bits) and the first
// gamepad the Gamepad API reports, whose buttons map through gamepad.txt over
// the standard layout's defaults, by the browser's numbers; a standard-mapped
// pad's d-pad (buttons 12-15) and its left stick give directions, as a
// desktop pad's hat and stick do. Directions from all sources add up, so
// opposite ones cancel.
#include <emscripten.h>

#include "backend/web/web_backends.h"
#include "platform/buttons.h"
#include "platform/gamepad_map.h"

namespace backend {

namespace {

// clang-format off
// Key bits: 0 left, 1 right, 2 up, 3 down, 4 Z, 5 X, 6 C, 7 Return.
EM_JS(int, lunashot_keys, (), {
  return Module.lunashotKeys ? Module.lunashotKeys() : 0;
});
// Fills pressed[0..63] and axes[0..1] (-32767..32767); 2 for a pad with
// the standard mapping, 1 for another pad, 0 without a pad.
EM_JS(int, lunashot_pad, (int* pressed, int* axes), {
  var pads = navigator.getGamepads ? navigator.getGamepads() : [];
  var pad = null;
  for (var i = 0; i < pads.length; i++) if (pads[i] && pads[i].connected) { pad = pads[i]; break; }
  if (!pad) return 0;
  for (var b = 0; b < 64; b++) HEAP32[(pressed >> 2) + b] = b < pad.buttons.length && pad.buttons[b].pressed ? 1 : 0;
  for (var a = 0; a < 2; a++) HEAP32[(axes >> 2) + a] = a < pad.axes.length ? Math.round(pad.axes[a] * 32767) : 0;
  return pad.mapping === "standard" ? 2 : 1;
});
// clang-format on

// The standard mapping's d-pad buttons.
constexpr int kPadUp = 12, kPadDown = 13, kPadLeft = 14, kPadRight = 15;

class WebInput : public platform::Input {
 public:
  void Poll(std::uint32_t) override {
    // gamepad.txt is read once the run has its paths (its faults are logged).
    if (!map_loaded_) {
      map_ = platform::LoadGamepadMap(platform::StandardGamepadMap());
      map_loaded_ = true;
    }
    std::uint32_t state = 0;
    int dx = 0, dy = 0;
    const int keys = lunashot_keys();
    dx += ((keys >> 1) & 1) - (keys & 1);
    dy += ((keys >> 3) & 1) - ((keys >> 2) & 1);
    if (keys & 16) state |= 1u << platform::kA;
    if (keys & 32) state |= 1u << platform::kX;
    if (keys & 64) state |= 1u << platform::kY;
    if (keys & 128) state |= 1u << platform::kStart;
    int pressed[64], axes[2];
    const int pad = lunashot_pad(pressed, axes);
    if (pad) {
      for (int i = 0; i < 64; ++i) {
        if (!pressed[i]) continue;
        if (pad == 2 && i >= kPadUp && i <= kPadRight) {
          dx += (i == kPadRight) - (i == kPadLeft);
          dy += (i == kPadDown) - (i == kPadUp);
          continue;
        }
        const int target = map_.target[static_cast<std::size_t>(i)];
        if (target == platform::kNoButton) continue;
        if (target < platform::kStickButtons)
          platform::AddDirection(target, &dx, &dy);
        else
          state |= 1u << target;
      }
      dx += (axes[0] > map_.dead_zone) - (axes[0] < -map_.dead_zone);
      dy += (axes[1] > map_.dead_zone) - (axes[1] < -map_.dead_zone);
    }
    state_ = state | platform::StickBits(dx, dy);
  }

  bool Button(int index) override {
    return index >= 0 && index < 32 && ((state_ >> index) & 1u) != 0;
  }

 private:
  bool map_loaded_ = false;
  platform::GamepadMap map_ = platform::StandardGamepadMap();
  std::uint32_t state_ = 0;
};

}  // namespace

std::unique_ptr<platform::Input> CreateWebInput() { return std::make_unique<WebInput>(); }

}  // namespace backend
