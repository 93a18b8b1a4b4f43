// gamepad.txt: the parser (pure, so tests and fuzzers can drive it) and the
// loader that reports bad lines to log.txt.
#include "platform/gamepad_map.h"

#include <cctype>
#include <cerrno>
#include <sstream>

#include "base/file.h"
#include "base/log.h"

namespace platform {

namespace {

constexpr char kFileName[] = "gamepad.txt";

struct Name {
  const char* text;
  int index;
};
constexpr Name kNames[] = {{"up", kUp},       {"upleft", kUpLeft},       {"left", kLeft},
                           {"downleft", kDownLeft}, {"down", kDown}, {"downright", kDownRight},
                           {"right", kRight}, {"upright", kUpRight}, {"start", kStart},
                           {"select", kSelect}, {"l", kL},         {"r", kR},
                           {"a", kA},         {"b", kB},             {"x", kX},
                           {"y", kY}};

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Splits a line at blanks (space, tab, CR).
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// A decimal number from 0 to max; false for anything else.
bool Number(const std::string& word, long max, long* out) {
  if (word.empty() || word.size() > 6) return false;
  long v = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  *out = v;
  return true;
}

// Shows a word in a message without control bytes.
std::string Shown(const std::string& word) {
  std::string out;
  for (char c : word.substr(0, 32)) out += (c >= 0x20 && c < 0x7f) ? c : '?';
  return "'" + out + "'";
}

// A layout line ("GUID,name,a:b0,..."), trimmed, or empty with the problem.
// Only its shape is checked here; the desktop's loader judges the rest.
std::string LayoutLine(const std::string& line, std::string* problem) {
  const std::size_t first = line.find_first_not_of(" \t");
  const std::size_t last = line.find_last_not_of(" \t\r");
  const std::string text = line.substr(first, last - first + 1);
  const std::size_t comma = text.find(',');
  bool hex = comma == 32;
  for (std::size_t i = 0; hex && i < comma; ++i)
    hex = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
  bool printable = text.size() <= 1024;
  for (char c : text) printable = printable && c >= 0x20 && c < 0x7f;
  if (!hex || text.find(',', comma + 1) == std::string::npos || !printable) {
    *problem = "a pad layout line is 'GUID,name,a:b0,...' (32 hex digits first, printable, "
               "at most 1024 characters)";
    return {};
  }
  return text;
}

// A map whose raw buttons a, x, y and start give A, X, Y and Start, and no
// button by place.
GamepadMap RawMap(int a, int x, int y, int start) {
  GamepadMap map;
  map.target.fill(kNoButton);
  map.named.fill(kNoButton);
  map.target[a] = kA;
  map.target[x] = kX;
  map.target[y] = kY;
  map.target[start] = kStart;
  return map;
}

}  // namespace

GamepadMap DefaultGamepadMap() {
  GamepadMap map = RawMap(0, 1, 2, 7);
  map.named[0] = kA;  // a: south
  map.named[2] = kX;  // x: west
  map.named[3] = kY;  // y: north
  map.named[6] = kStart;
  return map;
}

GamepadMap StandardGamepadMap() { return RawMap(0, 2, 3, 9); }

GamepadMap ParseGamepadMap(const std::string& text, std::vector<std::string>* errors,
                           const GamepadMap& defaults) {
  GamepadMap map = defaults;
  std::array<std::int8_t, kPadButtons> table;
  table.fill(kNoButton);
  std::array<std::int8_t, kControllerButtonCount> named;
  named.fill(kNoButton);
  bool any_button = false;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    auto fail = [&](const std::string& problem) {
      errors->push_back("line " + std::to_string(number) + ": " + problem);
    };
    std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    if (words[0].find(',') != std::string::npos) {
      std::string problem;
      std::string layout = LayoutLine(line, &problem);
      if (layout.empty())
        fail(problem);
      else
        map.layouts.push_back({number, layout});
      continue;
    }
    if (words.size() != 2) {
      fail("expected two words, '<pad button> <name>' or 'deadzone <0-32767>'");
      continue;
    }
    long value = 0;
    if (Lower(words[0]) == "deadzone") {
      if (!Number(words[1], 32767, &value)) {
        fail("the dead zone " + Shown(words[1]) + " is not a number from 0 to 32767");
        continue;
      }
      map.dead_zone = static_cast<int>(value);
      continue;
    }
    int place = kNoButton;
    for (int i = 0; i < kControllerButtonCount; ++i)
      if (Lower(words[0]) == kControllerButtons[i]) place = i;
    if (place == kNoButton && !Number(words[0], kPadButtons - 1, &value)) {
      fail("the pad button " + Shown(words[0]) +
           " is neither a number from 0 to 255 nor a pad button's name (a, b, x, y, start, "
           "back, leftshoulder, ...)");
      continue;
    }
    const std::string name = Lower(words[1]);
    int index = kNoButton;
    for (const Name& n : kNames)
      if (name == n.text) index = n.index;
    if (index == kNoButton) {
      fail("unknown button name " + Shown(words[1]) +
           " (A, B, X, Y, Start, Select, L, R, Up, Down, Left, Right, UpLeft, UpRight, "
           "DownLeft, DownRight)");
      continue;
    }
    std::int8_t& slot = place == kNoButton ? table[static_cast<std::size_t>(value)]
                                           : named[static_cast<std::size_t>(place)];
    if (slot != kNoButton) {
      fail("pad button " + (place == kNoButton ? std::to_string(value) : Lower(words[0])) +
           " is mapped twice");
      continue;
    }
    slot = static_cast<std::int8_t>(index);
    any_button = true;
  }
  if (any_button) {
    map.target = table;
    map.named = named;
    map.file_buttons = true;
  }
  return map;
}

GamepadMap LoadGamepadMap(const GamepadMap& defaults) {
  std::vector<std::uint8_t> bytes;
  base::FileError failure;
  std::vector<std::string> errors;
  GamepadMap map = defaults;
  // A file that does not open is no map; one that does not read whole (a map
  // is a few lines) is reported.
  if (base::ReadFile(kFileName, std::size_t{1} << 20, &bytes, &failure))
    map = ParseGamepadMap(std::string(bytes.begin(), bytes.end()), &errors, defaults);
  else if (failure.step != std::string("cannot open"))
    errors.push_back(failure.Text());
  for (const std::string& e : errors) base::Tell(std::string(kFileName) + " " + e);
  return map;
}

void AddDirection(int stick_button, int* dx, int* dy) {
  static const int kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
  static const int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
  *dx += kDx[stick_button];
  *dy += kDy[stick_button];
}

std::uint32_t StickBits(int dx, int dy) {
  static const int kButtons[3][3] = {{kUpLeft, kUp, kUpRight},          // dy = -1; dx = -1, 0, 1
                                     {kLeft, -1, kRight},              // dy = 0
                                     {kDownLeft, kDown, kDownRight}};  // dy = 1
  auto sign = [](int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); };
  const int button = kButtons[sign(dy) + 1][sign(dx) + 1];
  return button < 0 ? 0u : 1u << button;
}

}  // namespace platform
