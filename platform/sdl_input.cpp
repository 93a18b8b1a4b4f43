// Device input (placeholder: joystick 0 by button index only).
#include <SDL.h>

#include "platform/sdl_host.h"

namespace platform {

namespace {

class DeviceInput : public Input {
 public:
  explicit DeviceInput(void (*pump)()) : pump_(pump) { joystick_ = SDL_JoystickOpen(0); }
  void Poll() override {
    SDL_JoystickUpdate();
    if (pump_) pump_();
  }
  bool Button(int index) override {
    return joystick_ && SDL_JoystickGetButton(joystick_, index) == 1;
  }

 private:
  void (*pump_)();
  SDL_Joystick* joystick_ = nullptr;
};

}  // namespace

std::unique_ptr<Input> CreateDeviceInput(const HostConfig&, void (*pump)()) {
  return std::make_unique<DeviceInput>(pump);
}

}  // namespace platform
