// The command line as UTF-8, as every text inside the program is: on Windows from the
// UTF-16 command line (main's argv is in the ANSI code page there, which cannot hold a
// title such as "Año nuevo · 5 €"); elsewhere argv as it came.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> Utf8Arguments(int argc, char** argv);
