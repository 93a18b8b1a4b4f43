// lunashot-pack: turns pictures into the engine's palette, sprite and font
// files, and sprite files back into pictures.
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tools::Run(args, std::cout, std::cerr);
}
