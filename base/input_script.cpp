// The --input parser. The parser accepts exactly the
// documented grammar (blanks around tokens, CR line ends) and names the first
// bad line; it never reads past the text.
#include "base/input_script.h"

#include <cstddef>

namespace base {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class LineParser {
 public:
  explicit LineParser(const std::string& line) : s_(line) {}

  void SkipBlanks() {
    while (p_ < s_.size() && IsBlank(s_[p_])) ++p_;
  }
  bool AtEnd() const { return p_ >= s_.size(); }
  char Peek() const { return AtEnd() ? '\0' : s_[p_]; }
  void Next() { ++p_; }

  // A decimal number up to `max`; false with a message otherwise.
  bool Number(std::uint32_t max, const char* what, std::uint32_t* out, std::string* error) {
    if (!IsDigit(Peek())) {
      *error = std::string("expected ") + what + Found();
      return false;
    }
    std::uint64_t v = 0;
    while (IsDigit(Peek())) {
      v = v * 10 + static_cast<std::uint64_t>(Peek() - '0');
      if (v > max) {
        *error = std::string(what) + " is larger than " + std::to_string(max);
        return false;
      }
      Next();
    }
    *out = static_cast<std::uint32_t>(v);
    return true;
  }

  std::string Found() const {
    if (AtEnd()) return ", found the end of the line";
    char c = Peek();
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
      return ", found byte " + std::to_string(static_cast<unsigned char>(c));
    return std::string(", found '") + c + "'";
  }

 private:
  const std::string& s_;
  std::size_t p_ = 0;
};

// One step line; false with the problem (without the line number).
bool ParseStep(const std::string& line, InputStep* step, std::string* error) {
  LineParser in(line);
  in.SkipBlanks();
  if (!in.Number(0xFFFFFFFFu, "an Update count", &step->from_update, error)) return false;
  if (!IsBlank(in.Peek())) {
    *error = "expected a blank after the Update count" + in.Found();
    return false;
  }
  in.SkipBlanks();
  step->buttons = 0;
  if (in.Peek() == '-') {
    in.Next();
  } else {
    for (;;) {
      std::uint32_t b = 0;
      if (!in.Number(31, "a button index", &b, error)) return false;
      step->buttons |= 1u << b;
      in.SkipBlanks();
      if (in.Peek() != ',') break;
      in.Next();
      in.SkipBlanks();
    }
  }
  in.SkipBlanks();
  if (!in.AtEnd()) {
    *error = "unexpected text after the buttons" + in.Found();
    return false;
  }
  return true;
}

}  // namespace

bool ParseInputScript(const std::string& text, std::vector<InputStep>* steps, std::string* error) {
  steps->clear();
  unsigned long number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    ++number;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;

    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    InputStep step{};
    std::string problem;
    if (!ParseStep(line, &step, &problem)) {
      *error = "line " + std::to_string(number) + ": " + problem;
      return false;
    }
    if (!steps->empty() && step.from_update <= steps->back().from_update) {
      *error = "line " + std::to_string(number) + ": Update count " +
               std::to_string(step.from_update) + " does not rise above the previous line's " +
               std::to_string(steps->back().from_update);
      return false;
    }
    steps->push_back(step);
  }
  return true;
}

}  // namespace base
