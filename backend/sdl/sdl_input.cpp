// Device input by the handheld's button indices. Sources, combined at every
// poll: joystick 0 (the handheld's own, read by button index; or a desktop
// gamepad, whose hat or left stick gives the eight stick buttons and whose
// buttons map through gamepad.txt), and in a window the keyboard: arrows for
// the stick, Z = A, X = X, C = Y, Return = Start. Stick directions from all
// sources add up, so opposite directions cancel and two arrows give the
// diagonal's own button, as the handheld's stick does. A key pressed since
// the last poll counts as down at the next one even if it is already up
// again, so a tap shorter than a frame is never lost.
#include <SDL.h>

#include <cstdint>
#include <utility>

#include "backend/backends.h"
#include "platform/buttons.h"
#include "platform/gamepad_map.h"

namespace backend {

namespace {

// The handheld's joystick: at least 16 buttons and neither axes nor hats.
bool IsHandheld(SDL_Joystick* j) {
  return SDL_JoystickNumButtons(j) >= 16 && SDL_JoystickNumAxes(j) == 0 &&
         SDL_JoystickNumHats(j) == 0;
}


class DeviceInput : public SdlInput {
 public:
  void Open() override {
    if (SDL_NumJoysticks() > 0) joystick_ = SDL_JoystickOpen(0);
    if (joystick_ && !IsHandheld(joystick_)) {
      gamepad_ = true;
      map_ = platform::LoadGamepadMap();
    }
    keyboard_ = true;
  }

  void SetEventPump(std::function<void()> pump) override { pump_ = std::move(pump); }

  void KeyPressed(int key, bool alt) override {
    for (std::size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i)
      if (kKeys[i] == key && !(key == SDLK_RETURN && alt)) pressed_ |= 1u << i;
  }

  void Poll(std::uint32_t) override {
    SDL_JoystickUpdate();
    if (pump_) pump_();
    if (!keyboard_ && !joystick_) return;
    std::uint32_t state = 0;
    int dx = 0, dy = 0;
    if (joystick_ && !gamepad_) {
      for (int i = 0; i < 32; ++i)
        if (SDL_JoystickGetButton(joystick_, i) == 1) state |= 1u << i;
    } else if (joystick_) {
      ReadGamepad(&state, &dx, &dy);
    }
    if (keyboard_) ReadKeyboard(&state, &dx, &dy);
    state_ = state | platform::StickBits(dx, dy);
  }

  bool Button(int index) override {
    return index >= 0 && index < 32 && ((state_ >> index) & 1u) != 0;
  }

 private:
  void ReadGamepad(std::uint32_t* state, int* dx, int* dy) {
    const int buttons = SDL_JoystickNumButtons(joystick_);
    for (int i = 0; i < buttons && i < platform::kPadButtons; ++i) {
      const int target = map_.target[static_cast<std::size_t>(i)];
      if (target == platform::kNoButton || SDL_JoystickGetButton(joystick_, i) != 1) continue;
      if (target < platform::kStickButtons)
        platform::AddDirection(target, dx, dy);
      else
        *state |= 1u << target;
    }
    if (SDL_JoystickNumHats(joystick_) > 0) {
      const Uint8 hat = SDL_JoystickGetHat(joystick_, 0);
      *dx += ((hat & SDL_HAT_RIGHT) ? 1 : 0) - ((hat & SDL_HAT_LEFT) ? 1 : 0);
      *dy += ((hat & SDL_HAT_DOWN) ? 1 : 0) - ((hat & SDL_HAT_UP) ? 1 : 0);
    }
    if (SDL_JoystickNumAxes(joystick_) >= 2) {
      const int x = SDL_JoystickGetAxis(joystick_, 0);
      const int y = SDL_JoystickGetAxis(joystick_, 1);
      *dx += (x > map_.dead_zone) - (x < -map_.dead_zone);
      *dy += (y > map_.dead_zone) - (y < -map_.dead_zone);
    }
  }

  // The game's keys, in the order of the pressed_ bits.
  static constexpr int kKeys[] = {SDLK_RIGHT, SDLK_LEFT, SDLK_DOWN, SDLK_UP,
                                  SDLK_z,     SDLK_x,    SDLK_c,    SDLK_RETURN};

  void ReadKeyboard(std::uint32_t* state, int* dx, int* dy) {
    const Uint8* keys = SDL_GetKeyState(nullptr);
    if (!keys) return;
    bool down[sizeof kKeys / sizeof kKeys[0]];
    for (std::size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i)
      down[i] = keys[kKeys[i]] || ((pressed_ >> i) & 1u);
    pressed_ = 0;
    *dx += down[0] - down[1];
    *dy += down[2] - down[3];
    if (down[4]) *state |= 1u << platform::kA;
    if (down[5]) *state |= 1u << platform::kX;
    if (down[6]) *state |= 1u << platform::kY;
    // Alt+Return toggles fullscreen; it is not Start.
    if (down[7] && !(SDL_GetModState() & KMOD_ALT)) *state |= 1u << platform::kStart;
  }

  std::function<void()> pump_;
  SDL_Joystick* joystick_ = nullptr;
  bool gamepad_ = false;
  bool keyboard_ = false;
  platform::GamepadMap map_ = platform::DefaultGamepadMap();
  std::uint32_t state_ = 0;
  std::uint32_t pressed_ = 0;  // keys pressed since the last poll
};

}  // namespace

std::unique_ptr<SdlInput> CreateSdlInput() { return std::make_unique<DeviceInput>(); }

}  // namespace backend
