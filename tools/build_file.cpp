// The build: every line is read and checked before the first runs, so a
// mistake on line 20 costs nothing. The lines run in the game folder (the
// working directory is changed for the build and put back after), which is
// what makes their paths relative to it. A line is out of date when an output
// is missing or older than an input, so a palette remade on one line makes
// every later line that takes it as --palette run too.
#include "tools/build_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "tools/commands.h"
#include "tools/png_io.h"

namespace tools {
namespace {

constexpr char kBuildFile[] = "art/build.txt";
constexpr std::size_t kMaxBuildFileBytes = 1 << 20;

struct Step {
  BuildLine line;
  std::vector<std::string> inputs, outputs;
};

std::string Canonical(const std::string& path) {
  std::error_code ec;
  std::string c = std::filesystem::weakly_canonical(path, ec).string();
  return ec ? path : c;
}

// Where the nearest existing folder of `path` (the path itself when
// `follow`) really is: links are resolved, so a link cannot lead out.
bool Inside(const std::string& root, const std::string& path, bool follow, std::string* why) {
  if (path.empty()) return (*why = "an empty file name", false);
  if (path[0] == '/')
    return (*why = path + ": an absolute path; name files relative to the game folder", false);
  std::filesystem::path p(path);
  for (const auto& part : p)
    if (part == "..") return (*why = path + ": leads out of the game folder (..)", false);
  if (!follow) p = p.parent_path();
  struct stat st;
  while (!p.empty() && lstat(p.c_str(), &st) != 0) p = p.parent_path();
  char real[PATH_MAX];
  if (!realpath(p.empty() ? "." : p.c_str(), real)) return true;  // the command names the problem
  std::string r = real;
  if (r == root || r.compare(0, root.size() + 1, root + "/") == 0) return true;
  *why = path + ": leads out of the game folder (through a link, to " + r + ")";
  return false;
}

bool Newer(const struct stat& a, const struct stat& b) {
  return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec > b.st_mtim.tv_sec
                                              : a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

// Missing outputs, missing inputs (the command will say) and an input newer
// than the oldest output.
bool OutOfDate(const Step& step) {
  struct stat oldest {};
  bool have = false;
  for (const std::string& o : step.outputs) {
    struct stat st;
    if (stat(o.c_str(), &st) != 0) return true;
    if (!have || Newer(oldest, st)) oldest = st, have = true;
  }
  for (const std::string& i : step.inputs) {
    struct stat st;
    if (stat(i.c_str(), &st) != 0 || Newer(st, oldest)) return true;
  }
  return false;
}

std::string Shown(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) {
    bool quote = w.empty() || w.find_first_of(" \t#\"'") != std::string::npos;
    text += (text.empty() ? "" : " ") + (quote ? "\"" + w + "\"" : w);
  }
  return text;
}

// Puts the working directory back however the build ends.
class InFolder {
 public:
  InFolder() : fd_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~InFolder() {
    if (fd_ >= 0 && fchdir(fd_) != 0) std::abort();  // the caller's paths would all be wrong
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Reads and checks every line of the build file (in the working
// directory, the game folder `root`); false after telling why on `err`.
bool ReadSteps(const std::string& root, const std::string& name, const std::string& shown_dir,
               std::vector<Step>* steps, std::ostream& err) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadInput(kBuildFile, kMaxBuildFileBytes, &bytes, &error)) {
    err << "lunashot-pack: " << shown_dir << error << "\n";
    return false;
  }
  std::vector<BuildLine> lines;
  if (!ParseBuildFile(std::string(bytes.begin(), bytes.end()), &lines, &error)) {
    err << "lunashot-pack: " << name << ", " << error << "\n";
    return false;
  }
  for (const BuildLine& line : lines) {
    Step step{line, {}, {}};
    std::string why;
    bool ok = CommandFiles(line.words, &step.inputs, &step.outputs, &why);
    for (const std::string& f : step.inputs) ok = ok && Inside(root, f, true, &why);
    for (const std::string& f : step.outputs) ok = ok && Inside(root, f, false, &why);
    if (!ok) {
      err << "lunashot-pack: " << name << ", line " << line.number << ": " << why
          << "; nothing was run\n";
      return false;
    }
    steps->push_back(std::move(step));
  }
  return true;
}

}  // namespace

bool ParseBuildFile(const std::string& text, std::vector<BuildLine>* lines, std::string* error) {
  lines->clear();
  int number = 0;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    BuildLine parsed;
    parsed.number = number;
    std::size_t i = 0;
    while (i < line.size()) {
      if (line[i] == ' ' || line[i] == '\t') {
        ++i;
        continue;
      }
      if (line[i] == '#') break;
      std::string word;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        char c = line[i++];
        if (c != '"' && c != '\'') {
          word += c;
          continue;
        }
        std::size_t close = line.find(c, i);
        if (close == std::string::npos) {
          *error = "line " + std::to_string(number) + ": the quote " + std::string(1, c) +
                   " is not closed";
          return false;
        }
        word += line.substr(i, close - i);
        i = close + 1;
      }
      parsed.words.push_back(word);
    }
    if (!parsed.words.empty()) lines->push_back(std::move(parsed));
    if (end == text.size()) break;
  }
  return true;
}

int BuildCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const char kBuildUsage[] = "usage: lunashot-pack build [GAMEDIR] [--force]\n";
  bool force = false;
  std::vector<std::string> dirs;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--force" && !force) {
      force = true;
    } else if (args[i].compare(0, 1, "-") == 0) {
      err << "lunashot-pack: "
          << (args[i] == "--force" ? "--force is given twice" : "unknown option " + args[i] + " for build")
          << "\n" << kBuildUsage;
      return kUsage;
    } else {
      dirs.push_back(args[i]);
    }
  }
  if (dirs.size() > 1) {
    err << "lunashot-pack: expected one game folder\n" << kBuildUsage;
    return kUsage;
  }
  BuildReport report;
  return RunBuildFile(dirs.empty() ? "." : dirs[0], force, out, err, &report);
}

int RunBuildFile(const std::string& game, bool force, std::ostream& out, std::ostream& err,
                 BuildReport* report) {
  *report = BuildReport();
  InFolder back;
  if (!back.ok() || chdir(game.c_str()) != 0) {
    err << "lunashot-pack: " << game << ": cannot enter the game folder: " << std::strerror(errno)
        << "\n";
    return kFailed;
  }
  char real[PATH_MAX];
  if (!realpath(".", real)) {
    err << "lunashot-pack: " << game << ": " << std::strerror(errno) << "\n";
    return kFailed;
  }
  const std::string root = real;
  const std::string name = (game == "." ? "" : game + "/") + kBuildFile;
  std::vector<Step> steps;
  if (!ReadSteps(root, name, (game == "." ? "" : game + "/"), &steps, err)) return kFailed;
  int ran = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (!force && !OutOfDate(steps[i])) continue;
    // The sets that later lines remake: those out of date now, and those
    // that read what this line writes (a new palette makes them so).
    std::set<std::string> mine, rebuilt;
    for (const std::string& o : steps[i].outputs) mine.insert(Canonical(o));
    for (std::size_t j = i + 1; j < steps.size(); ++j) {
      bool remade = force || OutOfDate(steps[j]);
      for (const std::string& in : steps[j].inputs) remade = remade || mine.count(Canonical(in));
      if (remade)
        for (const std::string& o : steps[j].outputs) rebuilt.insert(Canonical(o));
    }
    out << name << ", line " << steps[i].line.number << ": " << Shown(steps[i].line.words) << "\n";
    int status = Run(steps[i].line.words, out, err, rebuilt);
    if (status != 0) {
      err << "lunashot-pack: " << name << ", line " << steps[i].line.number
          << " failed; what the lines before it made is kept\n";
      report->failed_line = steps[i].line.number;
      return kFailed;
    }
    report->made.insert(report->made.end(), steps[i].outputs.begin(), steps[i].outputs.end());
    ++ran;
  }
  out << name << ": " << (ran ? std::to_string(ran) + " of " + std::to_string(steps.size()) +
                                    " lines run"
                              : "everything is up to date (" + std::to_string(steps.size()) +
                                    " lines)")
      << "\n";
  return kOk;
}

std::vector<std::string> BuildSources() {
  char real[PATH_MAX];
  std::vector<Step> steps;
  std::ostringstream quiet;
  if (access(kBuildFile, F_OK) != 0) return {};
  // A file with a mistake is watched itself, so that mending it is seen.
  if (!realpath(".", real) || !ReadSteps(real, kBuildFile, "", &steps, quiet)) return {kBuildFile};
  std::set<std::string> made;
  for (const Step& step : steps) made.insert(step.outputs.begin(), step.outputs.end());
  std::vector<std::string> sources{kBuildFile};
  std::set<std::string> seen;
  for (const Step& step : steps)
    for (const std::string& in : step.inputs)
      if (!made.count(in) && seen.insert(in).second) sources.push_back(in);
  return sources;
}

}  // namespace tools
