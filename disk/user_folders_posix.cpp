// The user's pictures folder on Linux and other POSIX systems, from the file in which
// xdg-user-dirs names the user's folders: $XDG_CONFIG_HOME/user-dirs.dirs, by default
// ~/.config/user-dirs.dirs. As xdg-user-dir, a folder the file does not name is the home.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "disk/user_dirs_file.h"
#include "disk/user_folders.h"

namespace {

constexpr const char* kPicturesKind = "PICTURES";
constexpr const char* kDataFolderName = "tessarine";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// $HOME, as xdg-user-dirs takes it; the password database only where it is not set.
std::string HomeFolder() {
  const std::string home = Environment("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// A relative XDG_CONFIG_HOME is ignored, as the XDG base directories say.
std::string UserDirsPath(const std::string& home) {
  const std::string config = Environment("XDG_CONFIG_HOME");
  if (!config.empty() && config[0] == '/') return config + "/user-dirs.dirs";
  return home.empty() ? "" : home + "/.config/user-dirs.dirs";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string UserPicturesFolder() {
  const std::string home = HomeFolder();
  const std::string path = UserDirsPath(home);
  const std::string named =
      path.empty() ? "" : UserDirFromText(ReadText(path), kPicturesKind, home);
  return named.empty() ? home : named;
}

std::string UserDataFolder() {
  const std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty() && data[0] == '/') return data + "/" + kDataFolderName;
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + "/.local/share/" + kDataFolderName;
}
