// Reading user-dirs.dirs as xdg-user-dirs does (its own lookup, not a shell): blanks
// before the name and around "=", a double-quoted value that begins with "$HOME/" or
// "/", backslash escapes, the closing quote optional, every other line passed over.
#include "disk/user_dirs_file.h"

#include <sstream>

namespace {

constexpr const char* kHomePrefix = "$HOME/";
constexpr const char* kBlanks = " \t";

// True if `text` continues at `at` with `word`; `at` is then moved past it.
bool Take(const std::string& text, size_t* at, const std::string& word) {
  if (text.compare(*at, word.size(), word) != 0) return false;
  *at += word.size();
  return true;
}

void SkipBlanks(const std::string& text, size_t* at) {
  const size_t next = text.find_first_not_of(kBlanks, *at);
  *at = next == std::string::npos ? text.size() : next;
}

// The folder one line names for the name, or false when the line does not name one.
bool FolderOfLine(const std::string& line, const std::string& name, const std::string& home,
                  std::string* folder) {
  size_t at = 0;
  SkipBlanks(line, &at);
  if (!Take(line, &at, name)) return false;
  SkipBlanks(line, &at);
  if (!Take(line, &at, "=")) return false;
  SkipBlanks(line, &at);
  if (!Take(line, &at, "\"")) return false;
  std::string value;
  if (Take(line, &at, kHomePrefix)) {
    // An unknown or relative home gives no absolute folder.
    if (home.empty() || home[0] != '/') return false;
    value = home + "/";
  } else if (line.compare(at, 1, "/") != 0) {
    return false;
  }
  for (; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) ++at;
    value += line[at];
  }
  *folder = value;
  return true;
}

}  // namespace

std::string UserDirFromText(const std::string& text, const std::string& kind,
                            const std::string& home) {
  const std::string name = "XDG_" + kind + "_DIR";
  std::istringstream lines(text);
  std::string line, folder;
  while (std::getline(lines, line)) {
    std::string named;
    if (FolderOfLine(line, name, home, &named)) folder = named;
  }
  return folder;
}
