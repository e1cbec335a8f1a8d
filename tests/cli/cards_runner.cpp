#include "cards_runner.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Result RunCardsIn(const std::string& folder, const std::string& args, const std::string& as,
                  const std::string& out) {
  const std::string out_file = folder + "/.out", err_file = folder + "/.err";
  const std::string to = out.empty() ? out_file : out;
  const std::string command = "cd '" + folder + "' && " + as + " '" TESSARINE_CARDS_EXE "' " +
                              args + " >'" + to + "' 2>'" + err_file + "'";
  const int status = std::system(command.c_str());
  Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out_file),
                ReadAll(err_file)};
  std::remove(out_file.c_str());
  std::remove(err_file.c_str());
  return result;
}

std::vector<std::string> SortedEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* listing = opendir(folder.c_str())) {
    while (dirent* entry = readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void ScratchFolderTest::SetUp() {
  char pattern[] = "/tmp/tessarine-cards-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir_ = pattern;
}

void ScratchFolderTest::TearDown() { std::system(("rm -rf '" + dir_ + "'").c_str()); }

bool ScratchFolderTest::Exists(const std::string& name) const {
  return access(At(name).c_str(), F_OK) == 0;
}
