// lunashot-pack sound: sample files into the engine's native format.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tools {

// args[0] is "sound". Returns an exit status of tools/commands.h.
int SoundCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tools
