// The command line on POSIX systems: bytes as the shell gave them, UTF-8 by convention.
#include "cli/arguments.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}
