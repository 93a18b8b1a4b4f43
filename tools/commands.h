// The lunashot-pack command line: palette, sprites, unpack and font. Run
// takes the arguments after the program name and reports on the two streams,
// so tests drive it in-process just as main() does.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tools {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;  // bad input or output file; nothing was written
constexpr int kUsage = 2;   // bad command line

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tools
