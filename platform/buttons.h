// The handheld's buttons by index: the numbers scripts, the key byte, replays,
// gamepad.txt and every input backend use. A reading of all buttons is a
// 32-bit state whose bit `index` is set while that button is down.
#pragma once

namespace platform {

enum Button : int {
  kUp = 0,  // the stick's eight directions, counter-clockwise from up
  kUpLeft = 1,
  kLeft = 2,
  kDownLeft = 3,
  kDown = 4,
  kDownRight = 5,
  kRight = 6,
  kUpRight = 7,
  kStart = 8,
  kSelect = 9,
  kL = 10,
  kR = 11,
  kA = 12,
  kB = 13,
  kX = 14,
  kY = 15,
};
constexpr int kStickButtons = 8;  // indices below this are stick directions
constexpr int kButtonCount = 16;

}  // namespace platform
