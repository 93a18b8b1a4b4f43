// Device input by the handheld's button indices. Sources, combined at every
// poll: one pad (the handheld's own joystick, read by button index; a pad of
// known layout, read by place through the desktop's pad database and
// gamepad.txt; or any other joystick, by raw numbers through gamepad.txt),
// and in a window the keyboard: arrows for the stick, Z = A, X = X, C = Y,
// Return = Start. Stick directions from all sources add up, so opposite
// directions cancel and two arrows give the diagonal's own button, as the
// handheld's stick does. A key pressed since the last poll counts as down at
// the next one even if it is already up again, so a tap shorter than a frame
// is never lost. Pads come and go while the game runs: the one in use stays
// until it is pulled out; then, or while there is none, the first one
// connected is taken.
#include <SDL.h>

#include <cstdint>
#include <utility>

#include "backend/backends.h"
#include "backend/sdl/test_pads.h"
#include "base/log.h"
#include "platform/buttons.h"
#include "platform/gamepad_map.h"

namespace backend {

namespace {

// The handheld's joystick: at least 16 buttons and neither axes nor hats.
bool IsHandheld(SDL_Joystick* j) {
  return SDL_JoystickNumButtons(j) >= 16 && SDL_JoystickNumAxes(j) == 0 &&
         SDL_JoystickNumHats(j) == 0;
}

int Direction(int value, int dead_zone) { return (value > dead_zone) - (value < -dead_zone); }

class DeviceInput : public SdlInput {
 public:
  void Open() override {
    test_pads_ = TestPadsFromEnvironment();
    keyboard_ = true;
  }

  void SetEventPump(std::function<void()> pump) override { pump_ = std::move(pump); }

  void KeyPressed(int key, bool alt) override {
    for (std::size_t i = 0; i < kKeyCount; ++i)
      if (kKeys[i] == key && !(key == SDLK_RETURN && alt)) pressed_ |= 1u << i;
  }

  void Poll(std::uint32_t update_calls) override {
    if (test_pads_) test_pads_->Step(update_calls);
    SDL_JoystickUpdate();
    if (pump_) pump_();
    if (!keyboard_) return;
    FollowPads();
    std::uint32_t state = 0;
    int dx = 0, dy = 0;
    if (joystick_ && handheld_) {
      for (int i = 0; i < 32; ++i)
        if (SDL_JoystickGetButton(joystick_, i) == 1) state |= 1u << i;
    } else if (controller_) {
      ReadController(&state, &dx, &dy);
    } else if (joystick_) {
      ReadJoystick(&state, &dx, &dy);
    }
    ReadKeyboard(&state, &dx, &dy);
    state_ = state | platform::StickBits(dx, dy);
  }

  bool Button(int index) override {
    return index >= 0 && index < 32 && ((state_ >> index) & 1u) != 0;
  }

 private:
  // Drops a pad that was pulled out and, while there is none, takes the
  // first one connected. Joysticks are looked at again only when their
  // number changed, so a pad that cannot be opened is not tried every poll.
  void FollowPads() {
    if (joystick_ && !SDL_JoystickGetAttached(joystick_)) ClosePad();
    const int count = SDL_NumJoysticks();
    if (joystick_ || count == seen_) return;
    seen_ = count;
    for (int i = 0; i < count && !joystick_; ++i) OpenPad(i);
  }

  void OpenPad(int index) {
    if (!map_loaded_) LoadMap();
    joystick_ = SDL_JoystickOpen(index);
    if (!joystick_) return;
    handheld_ = IsHandheld(joystick_);
    if (!handheld_ && SDL_IsGameController(index)) {
      controller_ = SDL_GameControllerOpen(index);
      if (controller_) {
        SDL_JoystickClose(joystick_);
        joystick_ = SDL_GameControllerGetJoystick(controller_);
      }
    }
  }

  void ClosePad() {
    if (controller_)
      SDL_GameControllerClose(controller_);
    else
      SDL_JoystickClose(joystick_);
    controller_ = nullptr;
    joystick_ = nullptr;
    seen_ = -1;
  }

  // gamepad.txt, read when the first pad arrives; its layout lines join the
  // database before any pad is opened by place.
  void LoadMap() {
    map_loaded_ = true;
    map_ = platform::LoadGamepadMap();
    for (const platform::GamepadMap::Layout& layout : map_.layouts)
      if (SDL_GameControllerAddMapping(layout.text.c_str()) < 0)
        base::Tell("gamepad.txt line " + std::to_string(layout.line) + ": the pad layout is refused (" +
                   SDL_GetError() + ")");
    for (int i = 0; i < platform::kControllerButtonCount; ++i)
      places_[i] = SDL_GameControllerGetButtonFromString(platform::kControllerButtons[i]);
  }

  void Give(int target, std::uint32_t* state, int* dx, int* dy) {
    if (target == platform::kNoButton) return;
    if (target < platform::kStickButtons)
      platform::AddDirection(target, dx, dy);
    else
      *state |= 1u << target;
  }

  void ReadRawButtons(std::uint32_t* state, int* dx, int* dy) {
    const int buttons = SDL_JoystickNumButtons(joystick_);
    for (int i = 0; i < buttons && i < platform::kPadButtons; ++i)
      if (SDL_JoystickGetButton(joystick_, i) == 1)
        Give(map_.target[static_cast<std::size_t>(i)], state, dx, dy);
  }

  // A pad of known layout: its buttons by place, its d-pad and left stick
  // as the stick; raw numbers only when gamepad.txt gave the table.
  void ReadController(std::uint32_t* state, int* dx, int* dy) {
    for (int i = 0; i < platform::kControllerButtonCount; ++i)
      if (places_[i] != SDL_CONTROLLER_BUTTON_INVALID &&
          SDL_GameControllerGetButton(controller_, places_[i]) == 1)
        Give(map_.named[static_cast<std::size_t>(i)], state, dx, dy);
    if (map_.file_buttons) ReadRawButtons(state, dx, dy);
    auto down = [this](SDL_GameControllerButton b) {
      return SDL_GameControllerGetButton(controller_, b) == 1 ? 1 : 0;
    };
    *dx += down(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) - down(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    *dy += down(SDL_CONTROLLER_BUTTON_DPAD_DOWN) - down(SDL_CONTROLLER_BUTTON_DPAD_UP);
    *dx += Direction(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX),
                     map_.dead_zone);
    *dy += Direction(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY),
                     map_.dead_zone);
  }

  // Any other joystick: raw buttons, hat 0 and axes 0 and 1.
  void ReadJoystick(std::uint32_t* state, int* dx, int* dy) {
    ReadRawButtons(state, dx, dy);
    if (SDL_JoystickNumHats(joystick_) > 0) {
      const Uint8 hat = SDL_JoystickGetHat(joystick_, 0);
      *dx += ((hat & SDL_HAT_RIGHT) ? 1 : 0) - ((hat & SDL_HAT_LEFT) ? 1 : 0);
      *dy += ((hat & SDL_HAT_DOWN) ? 1 : 0) - ((hat & SDL_HAT_UP) ? 1 : 0);
    }
    if (SDL_JoystickNumAxes(joystick_) >= 2) {
      *dx += Direction(SDL_JoystickGetAxis(joystick_, 0), map_.dead_zone);
      *dy += Direction(SDL_JoystickGetAxis(joystick_, 1), map_.dead_zone);
    }
  }

  // The game's keys, in the order of the pressed_ bits.
  static constexpr SDL_Keycode kKeys[] = {SDLK_RIGHT, SDLK_LEFT, SDLK_DOWN, SDLK_UP,
                                          SDLK_z,     SDLK_x,    SDLK_c,    SDLK_RETURN};
  static constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

  void ReadKeyboard(std::uint32_t* state, int* dx, int* dy) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    bool down[kKeyCount];
    // The keys' places are looked up at each poll: the keyboard's layout is
    // known only once the window is up, and may change.
    for (std::size_t i = 0; i < kKeyCount; ++i) {
      const SDL_Scancode place = SDL_GetScancodeFromKey(kKeys[i]);
      down[i] = (place > 0 && place < count && keys[place]) || ((pressed_ >> i) & 1u);
    }
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
  std::unique_ptr<TestPads> test_pads_;
  SDL_Joystick* joystick_ = nullptr;
  SDL_GameController* controller_ = nullptr;
  bool handheld_ = false;
  bool keyboard_ = false;
  int seen_ = -1;  // joysticks connected when last looked at
  bool map_loaded_ = false;
  platform::GamepadMap map_ = platform::DefaultGamepadMap();
  SDL_GameControllerButton places_[platform::kControllerButtonCount] = {};
  std::uint32_t state_ = 0;
  std::uint32_t pressed_ = 0;  // keys pressed since the last poll
};

}  // namespace

std::unique_ptr<SdlInput> CreateSdlInput() { return std::make_unique<DeviceInput>(); }

}  // namespace backend
