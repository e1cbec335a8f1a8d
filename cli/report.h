// What tessarine-cards says: its name before every message, its exit codes, and the
// check that its standard output was all written.
#pragma once

extern const char* const kProgram;  // "tessarine-cards"
constexpr int kFailedExit = 1;      // a file could not be saved or the output written
constexpr int kBadInputExit = 2;    // the command line or what it names is not good

// Standard output is buffered: a full disk or a closed file shows when it is flushed.
// The exit code of a run whose output was all written, else a message and kFailedExit.
int Finish(int exit_code);
