// Output paths are compared by where they lead, not by how they are spelled:
// the longest part that exists is resolved by the system (realpath), a
// dangling link is followed by hand, and the rest is taken by name, as it
// would be once the missing folders exist.
#include "runtime/outputs.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

namespace runtime {

namespace {

struct Output {
  const char* option;
  const std::string& path;
};

// The folders of a game whose files the engine reads (and writes itself).
const char* const kGameFolders[] = {"script", "sprite", "sound", "replay"};

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= path.size();) {
    std::size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(at, end - at);
    if (!part.empty() && part != ".") parts.push_back(part);
    at = end + 1;
  }
  return parts;
}

// The first n parts as an absolute path.
std::string Join(const std::vector<std::string>& parts, std::size_t n) {
  std::string path;
  for (std::size_t i = 0; i < n; ++i) path += "/" + parts[i];
  return path.empty() ? "/" : path;
}

// Where the absolute `path` leads; `links` counts the links followed by hand.
std::string Resolve(const std::string& path, int links = 0) {
  const std::vector<std::string> parts = Split(path);
  for (std::size_t n = parts.size();; --n) {
    const std::string prefix = Join(parts, n);
    char real[PATH_MAX];
    if (realpath(prefix.c_str(), real)) {
      std::vector<std::string> out = Split(real);
      for (std::size_t i = n; i < parts.size(); ++i) {
        if (parts[i] != "..")
          out.push_back(parts[i]);
        else if (!out.empty())
          out.pop_back();
      }
      return Join(out, out.size());
    }
    // A link to something missing: writing through it would create its target.
    char target[PATH_MAX];
    ssize_t length = n > 0 && links < 40 ? readlink(prefix.c_str(), target, sizeof target - 1) : -1;
    if (length > 0) {
      target[length] = '\0';
      std::string next = target[0] == '/' ? target : Join(parts, n - 1) + "/" + target;
      for (std::size_t i = n; i < parts.size(); ++i) next += "/" + parts[i];
      return Resolve(next, links + 1);
    }
    if (n == 0) return path;  // "/" always resolves; kept for the loop's sake
  }
}

bool Within(const std::string& path, const std::string& folder) {
  return path == folder ||
         (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          (folder == "/" || path[folder.size()] == '/'));
}

}  // namespace

bool CheckOutputPaths(const Options& options, std::string* message) {
  // Every option that names a file or folder the run writes; --record-frames
  // counts as its folder, since the frames go straight into it.
  const Output outputs[] = {
      {"--gif", options.gif_file},
      {"--frame-hashes", options.frame_hashes},
      {"--record-frames", options.record_dir},
      {"--audio", options.audio_file},
  };
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return true;  // the run's start-up reports it
  const std::string input = options.input_file.empty() ? "" : Resolve(options.input_file);
  for (const Output& output : outputs) {
    if (output.path.empty()) continue;
    const std::string target = Resolve(output.path);
    std::string reason;
    for (const char* folder : kGameFolders)
      if (Within(target, Resolve(std::string(cwd) + "/" + folder)))
        reason = std::string("lies in the game's ") + folder + "/ folder, which the game reads";
    if (!input.empty() && target == input) reason = "is the --input file";
    if (!reason.empty()) {
      *message = std::string("lunashot: ") + output.option + " " + output.path + " " + reason +
                 "; write it elsewhere\n";
      return false;
    }
  }
  return true;
}

}  // namespace runtime
