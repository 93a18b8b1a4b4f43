// The lunashot-pack command line: palette, sprites, unpack, font, sound,
// remap and build. Run
// takes the arguments after the program name and reports on the two streams,
// so tests drive it in-process just as main() does.
#pragma once
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace tools {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;  // bad input or output file; nothing was written
constexpr int kUsage = 2;   // bad command line

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same for a line of a build: `rebuilt_sets` (canonical paths) are the
// sprite sets that later lines remake, whose colours a new pal.pal may move.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::set<std::string>& rebuilt_sets);

// The files a command line reads and writes, as it names them (outputs: the
// -o or last-name output and the script beside an Aseprite set). False with
// the problem for a line that is not a command writing files.
bool CommandFiles(const std::vector<std::string>& args, std::vector<std::string>* inputs,
                  std::vector<std::string>* outputs, std::string* error);

}  // namespace tools
