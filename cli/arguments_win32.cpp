// The command line on Windows: the UTF-16 one the program was started with, split by the
// system's own rules and turned into UTF-8.
#include <windows.h>
#include <shellapi.h>

#include "cli/arguments.h"
#include "text/utf16_win32.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8OfWide(wide[i]));
  LocalFree(wide);
  return arguments;
}
