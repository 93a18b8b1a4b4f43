// How a desktop gamepad's buttons reach the handheld's button indices, read
// from gamepad.txt in the game directory. The file is plain text, one
// setting per line; blank lines and lines starting with '#' are skipped:
//
//   <pad button> <name>    pad button: the raw button number, 0-255, or a
//                          button by its place on a known pad (the names of
//                          kControllerButtons: a is the south face button, x
//                          west, y north, start, back, leftshoulder, ...);
//                          name (case ignored): A, B, X, Y, Start, Select, L,
//                          R, or a stick direction Up, Down, Left, Right,
//                          UpLeft, UpRight, DownLeft, DownRight
//   deadzone <0-32767>     how far the left stick must leave the centre
//   GUID,name,a:b0,...     a pad layout in the desktop's mapping format, for a
//                          pad its database lacks (a line whose first word
//                          holds a comma)
//
// When the file gives at least one button line, its lines are the whole
// button table; otherwise the default applies: a known pad's south, west and
// north buttons and start give A, X, Y and Start; any other pad's raw
// buttons 0 -> A, 1 -> X, 2 -> Y, 7 -> Start, in the browser the standard
// layout's (StandardGamepadMap); dead zone 8000. A bad line is
// reported ("line N: problem") and skipped; the other lines still apply.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/buttons.h"

namespace platform {

constexpr int kPadButtons = 256;
constexpr int kNoButton = -1;
// A known pad's buttons by place, in the desktop's own names and order.
constexpr const char* kControllerButtons[] = {
    "a",         "b",          "x",          "y",             "back",     "guide",
    "start",     "leftstick",  "rightstick", "leftshoulder", "rightshoulder", "dpup",
    "dpdown",    "dpleft",     "dpright",    "misc1",         "paddle1",  "paddle2",
    "paddle3",   "paddle4",    "touchpad"};
constexpr int kControllerButtonCount = sizeof kControllerButtons / sizeof kControllerButtons[0];

struct GamepadMap {
  // The handheld Button each raw pad button gives, kNoButton when unmapped.
  std::array<std::int8_t, kPadButtons> target;
  // The same for a known pad's buttons, by kControllerButtons' places.
  std::array<std::int8_t, kControllerButtonCount> named;
  // True when the file gave the button table: a known pad then reads its
  // raw numbers too; otherwise they are only for pads of no known layout.
  bool file_buttons = false;
  int dead_zone = 8000;
  struct Layout {
    int line;          // in gamepad.txt, for messages
    std::string text;  // the mapping line as written
  };
  std::vector<Layout> layouts;
};

GamepadMap DefaultGamepadMap();
// The browser's "standard" mapping by its button numbers: bottom face button
// (0) -> A, left (2) -> X, top (3) -> Y, Start (9) -> Start.
GamepadMap StandardGamepadMap();
// Parses the text of a gamepad.txt over `defaults`; each bad line adds
// "line N: problem".
GamepadMap ParseGamepadMap(const std::string& text, std::vector<std::string>* errors,
                           const GamepadMap& defaults = DefaultGamepadMap());
// Reads gamepad.txt from the working directory (the game directory):
// `defaults` when the file is missing; every bad line is written to log.txt
// and standard error as "gamepad.txt line N: problem".
GamepadMap LoadGamepadMap(const GamepadMap& defaults = DefaultGamepadMap());

// The stick as pads give it. AddDirection adds the direction of a handheld
// stick button (0 up, 1 up-left, ... 7 up-right, counter-clockwise) to dx, dy;
// StickBits gives the stick button of the summed direction (dx right, dy
// down, any size; opposites cancel) as a button bit, 0 for none.
void AddDirection(int stick_button, int* dx, int* dy);
std::uint32_t StickBits(int dx, int dy);

}  // namespace platform
