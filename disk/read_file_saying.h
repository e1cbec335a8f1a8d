// Reading an input file whole, or saying in Spanish why it could not be read, the path
// first ("cartones.csv: no existe"), for the command line to show as it is.
#pragma once
#include <cstddef>
#include <string>

// `what` names what the file should hold, for a file too large to be one ("una lista de
// cartones"). False with *error set when the file is missing, too large or unreadable.
bool ReadFileSaying(const std::string& path, size_t most_bytes, const char* what,
                    std::string* bytes, std::string* error);
