// Running the built tessarine-cards in a scratch folder, as a user's shell would, and
// reading what it left: shared by the end-to-end tests of the command line.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Result {
  int exit_code;
  std::string out;
  std::string err;
};

// The whole file, or "" when it cannot be read.
std::string ReadAll(const std::string& path);
// Runs `tessarine-cards ARGS` in `folder`, through `as` (a prefix such as "runuser -u
// nobody --", or ""), standard output to `out` ("" for a file that is read back, or a
// device such as /dev/full).
Result RunCardsIn(const std::string& folder, const std::string& args,
                  const std::string& as = "", const std::string& out = "");
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> SortedEntries(const std::string& folder);

// A test of tessarine-cards in a scratch folder of its own, removed afterwards.
class ScratchFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs in the scratch folder; `as` runs it through a prefix such as "runuser -u nobody --".
  Result Run(const std::string& args, const std::string& as = "") {
    return RunCardsIn(dir_, args, as);
  }
  std::string At(const std::string& name) const { return dir_ + "/" + name; }
  bool Exists(const std::string& name) const;

  std::string dir_;
};
