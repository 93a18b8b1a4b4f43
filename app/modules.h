// The program's modules: shared objects beside the program's own file that
// hold what only some runs need (the window's, the sound codecs), so that
// the others never map the libraries behind them.
#pragma once
#include <string>

namespace app {

// The entry `entry` of module `file`, loaded once (and kept to the end);
// null with the cause when it cannot be had. Never looked for in the
// game's folder or on a search path.
void* ModuleEntry(const char* file, const char* entry, std::string* error);

}  // namespace app
