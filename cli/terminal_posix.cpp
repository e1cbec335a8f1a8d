// The error stream's terminal test on POSIX systems.
#include <unistd.h>

#include "cli/terminal.h"

bool ErrorStreamIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }
