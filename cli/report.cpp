// What tessarine-cards says whatever it does: its name, and the check that its output was
// all written.
#include "cli/report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const char* const kProgram = "tessarine-cards";

int Finish(int exit_code) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_code;
  const int error = errno;
  std::fprintf(stderr, "%s: no se pudo escribir la salida (%s)\n", kProgram, std::strerror(error));
  return kFailedExit;
}
