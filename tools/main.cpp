// lunashot-pack: turns pictures into the engine's palette, sprite and font
// files, sprite files back into pictures, and sample files into the
// engine's native sound format.
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tools::Run(args, std::cout, std::cerr);
}
