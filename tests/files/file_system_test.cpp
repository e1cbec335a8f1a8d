// The file-system services on their own: the executable's folder, folders, a file
// replaced whole from several parts, and quiet removal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "files/file_system.h"
#include "test_support.h"

namespace {

int PermissionsOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

TEST(ExecutableFolderTest, IsTheFolderOfThisTestProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(PathExists(folder + "files_writer_tests"));
  EXPECT_STREQ(PathSeparator(), "/");
}

TEST(MakeFolderTest, MakesANewFolderOnlyOnce) {
  ScratchFolder scratch;
  EXPECT_TRUE(MakeFolder(scratch / "muchas"));
  EXPECT_TRUE(IsFolder(scratch / "muchas"));
  EXPECT_FALSE(MakeFolder(scratch / "muchas")) << "it exists already";
  EXPECT_FALSE(MakeFolder(scratch / "missing/muchas")) << "no parent";
}

TEST(ReplaceFileWithTest, WritesThePartsInOrder) {
  ScratchFolder scratch;
  const std::string path = scratch / "parts.bin";
  WriteWholeFile(path, std::string(100, 'x'));
  const std::string big(70000, 'b');
  const ByteSpan parts[] = {{"head", 4}, {"", 0}, {big.data(), big.size()}, {"tail", 4}};
  ASSERT_TRUE(ReplaceFileWith(path, parts, 4));
  EXPECT_EQ(ReadWholeFile(path), "head" + big + "tail");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"parts.bin"});
}

TEST(ReplaceFileWithTest, KeepsThePermissionsOfTheFileItReplaces) {
  ScratchFolder scratch;
  const std::string path = scratch / "kept.bin";
  WriteWholeFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const ByteSpan part{"new", 3};
  ASSERT_TRUE(ReplaceFileWith(path, &part, 1));
  EXPECT_EQ(ReadWholeFile(path), "new");
  EXPECT_EQ(PermissionsOf(path), 0640);
}

// Root writes through permission bits, so a child process that has given up root tries
// the save, in a folder where it could create files.
TEST(ReplaceFileWithTest, AReadOnlyFileStaysForAUserWhoMayNotWriteIt) {
  ScratchFolder scratch;
  ASSERT_EQ(::chmod(scratch.path.c_str(), 0777), 0);
  const std::string path = scratch / "0001.bmp";
  WriteWholeFile(path, "an earlier card");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  constexpr int kCannotChangeUser = 2;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(kCannotChangeUser);
    const ByteSpan part{"new", 3};
    ::_exit(ReplaceFileWith(path, &part, 1) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotChangeUser) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must fail";
  EXPECT_EQ(ReadWholeFile(path), "an earlier card");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"0001.bmp"});
}

TEST(ReplaceFileWithTest, AnEmptyNameWritesNothing) {
  ScratchFolder scratch;
  InFolder here(scratch.path);
  const ByteSpan part{"new", 3};
  EXPECT_FALSE(ReplaceFileWith("", &part, 1));
  EXPECT_TRUE(FolderEntries(scratch.path).empty());
}

TEST(RemoveFileQuietlyTest, RemovesAReadOnlyFileAndIgnoresAMissingOne) {
  ScratchFolder scratch;
  const std::string path = scratch / "color.bmp";
  WriteWholeFile(path, "swatch");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  RemoveFileQuietly(path);
  EXPECT_FALSE(PathExists(path));
  RemoveFileQuietly(path);
  RemoveFileQuietly(scratch / "missing/color.bmp");
  EXPECT_TRUE(FolderEntries(scratch.path).empty());
}

}  // namespace
