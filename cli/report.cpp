// The messages tessarine-cards shares between making cards and checking them.
#include "cli/report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "card/quoted_text.h"
#include "disk/save_error_text.h"

const char* const kProgram = "tessarine-cards";

int Finish(int exit_code) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_code;
  const int error = errno;
  std::fprintf(stderr, "%s: no se pudo escribir la salida (%s)\n", kProgram, std::strerror(error));
  return kFailedExit;
}
