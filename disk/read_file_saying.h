// Reading an input file whole, or saying in Spanish why it could not be read, the path
// first ("cartones.csv: no existe"), for the command line to show as it is.
#pragma once
#include <cstddef>
#include <string>

// The file's bytes, or why not: the error is set when it is missing, too large or
// unreadable, and empty when it was read.
struct FileRead {
  std::string bytes;
  std::string error;
};

// `what` names what the file should hold, for a file too large to be one ("una lista de
// cartones").
FileRead ReadFileSaying(const std::string& path, size_t most_bytes, const char* what);
