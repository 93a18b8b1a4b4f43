// Replay files written and read as data (see replay_file.h): numbers as "%d"
// writes them, script names as the writer quotes them.
#include "base/replay_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace base {

namespace {

// Reads a decimal int as "%d" writes it; advances `at`.
bool ReadInt(std::string_view line, std::size_t* at, int* out) {
  std::size_t i = *at;
  bool negative = i < line.size() && line[i] == '-';
  if (negative) ++i;
  std::size_t first = i;
  long long v = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - first < 11)
    v = v * 10 + (line[i++] - '0');
  if (i == first || (i - first > 1 && line[first] == '0') || (negative && v == 0)) return false;
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int>(v);
  *at = i;
  return true;
}

bool ReadIntLine(std::string_view line, const char* head, int* out) {
  std::size_t n = std::strlen(head), at = n;
  return line.compare(0, n, head) == 0 && ReadInt(line, &at, out) && at == line.size();
}

// A script name the writer could have quoted (no quote, backslash or line
// break) and that stays inside the script folder.
bool ReadScriptLine(std::string_view line, std::string* name) {
  constexpr std::string_view head = "RunScript('", tail = "')";
  if (line.size() < head.size() + tail.size() || line.compare(0, head.size(), head) != 0 ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  *name = std::string(line.substr(head.size(), line.size() - head.size() - tail.size()));
  if (name->find_first_of(std::string("'\\\r\0", 4)) != std::string::npos) return false;
  return ScriptNameStaysInside(*name);
}

bool ReadRepLine(std::string_view line, std::pair<std::uint32_t, std::uint8_t>* record) {
  std::size_t at = 4;
  int frame = 0, key = 0;
  if (line.compare(0, 4, "rep(") != 0 || !ReadInt(line, &at, &frame) || at >= line.size() ||
      line[at++] != ',' || !ReadInt(line, &at, &key) || key < 0 || key > 255 ||
      line.size() != at + 1 || line[at] != ')')
    return false;
  *record = {static_cast<std::uint32_t>(frame), static_cast<std::uint8_t>(key)};
  return true;
}

}  // namespace

bool ScriptNameStaysInside(const std::string& name) {
  if (!name.empty() && name[0] == '/') return false;
  for (std::size_t at = 0; at <= name.size();) {
    std::size_t end = name.find('/', at);
    if (end == std::string::npos) end = name.size();
    if (name.compare(at, end - at, "..") == 0) return false;
    at = end + 1;
  }
  return true;
}

std::string ReplayText(const ReplayFile& replay) {
  std::string text = "RunScript('" + replay.scripts[0] + "')\nRunScript('" + replay.scripts[1] +
                     "')\nVAR_replay=true\nVAR_life=" + std::to_string(replay.life) +
                     "\nVAR_score=" + std::to_string(replay.score) + "\n";
  char line[32];
  for (const auto& r : replay.records) {
    // %d of the frame: the value a script passed (numbers are 32-bit signed).
    std::snprintf(line, sizeof line, "rep(%d,%d)\n", static_cast<int>(r.first), r.second);
    text += line;
  }
  return text;
}

bool ParseReplay(std::string_view text, ReplayFile* replay, std::string* error) {
  // Lines 6 on are records: one allocation for them all.
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  replay->records.reserve(lines > 5 ? lines - 5 : 0);
  std::size_t at = 0;
  int n = 1;
  for (; at < text.size(); ++n) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      *error = "line " + std::to_string(n) + " does not end";
      return false;
    }
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    bool ok = false;
    if (n <= 2)
      ok = ReadScriptLine(line, &replay->scripts[n - 1]);
    else if (n == 3)
      ok = line == "VAR_replay=true";
    else if (n == 4)
      ok = ReadIntLine(line, "VAR_life=", &replay->life);
    else if (n == 5)
      ok = ReadIntLine(line, "VAR_score=", &replay->score);
    else
      ok = ReadRepLine(line, &replay->records.emplace_back());
    if (!ok) {
      *error = "line " + std::to_string(n) + " is not a line of a replay";
      return false;
    }
  }
  if (n <= 5) {
    *error = "it ends after " + std::to_string(n - 1) + " of the 5 lines that every replay has";
    return false;
  }
  return true;
}

}  // namespace base
