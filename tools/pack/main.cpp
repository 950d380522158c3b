// kestrava-pack: packs the driver folders into the program file and lists what a program file
// carries. See tool_main.h for the command line.
#include <iostream>

#include "tools/pack/tool_main.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kestrava::pack::PackToolMain(args, std::cout, std::cerr);
}
