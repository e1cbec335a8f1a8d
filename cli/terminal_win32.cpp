// The error stream's terminal test on Windows (a console, not a pipe or a file).
#include <io.h>
#include <stdio.h>

#include "cli/terminal.h"

bool ErrorStreamIsTerminal() { return ::_isatty(_fileno(stderr)) != 0; }
