// The files a run writes on request (--gif, --frame-hashes, --record-frames)
// never replace or join the files the game reads.
#pragma once
#include <string>

#include "runtime/system.h"

namespace runtime {

// False with a message (for stderr; the run does not start, exit status 2)
// when an output path leads into the game folder's script/, sprite/, sound/
// or replay/, or to the --input file. Paths are followed as the system
// follows them (symbolic links, "..", folders not made yet). Called with the
// game folder as the working directory and the option paths made absolute.
bool CheckOutputPaths(const Options& options, std::string* message);

}  // namespace runtime
