// Whether the program's error stream is a terminal, where a progress bar is worth
// drawing; one small file per platform.
#pragma once

bool ErrorStreamIsTerminal();
