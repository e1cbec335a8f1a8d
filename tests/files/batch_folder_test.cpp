// The choice of the batch folder between the folder beside a program (here a scratch
// "bin") and a user's pictures folder, with the ways a folder refuses files: something
// else in its place, a read-only mount, the immutable mark, and an ordinary user.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "files/batch_folder.h"
#include "tests/support/test_support.h"

namespace {

class BatchFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch.path.empty());
    ASSERT_EQ(::mkdir(bin.c_str(), 0755), 0);
    ClearRuntimeError();
  }
  // The fallback was chosen, made with its missing parents, and is empty.
  void ExpectFallback(const BatchPlace& place) const {
    EXPECT_EQ(place.folder, fallback);
    EXPECT_FALSE(place.beside_program);
    EXPECT_TRUE(IsFolder(fallback));
    EXPECT_TRUE(FolderEntries(fallback).empty());
  }

  ScratchFolder scratch;
  const std::string bin = scratch / "bin";
  const std::string beside = bin + "/muchas";
  const std::string pictures = scratch / "home/Imágenes";  // not there yet
  const std::string fallback = pictures + "/muchas";
};

TEST_F(BatchFolderTest, BesideTheProgramWhereTheFolderCanBeMadeAndWritten) {
  const BatchPlace place = ChooseBatchFolderBetween(beside, pictures);
  EXPECT_EQ(place.folder, beside);
  EXPECT_TRUE(place.beside_program);
  EXPECT_TRUE(IsFolder(beside));
  EXPECT_TRUE(FolderEntries(beside).empty()) << "the probe is removed";
  EXPECT_FALSE(PathExists(scratch / "home")) << "nothing made in the user's folder";
  EXPECT_EQ(LastRuntimeError(), 0);
}

TEST_F(BatchFolderTest, BesideTheProgramWhereTheFolderIsThereAlready) {
  ASSERT_EQ(::mkdir(beside.c_str(), 0755), 0);
  WriteWholeFile(beside + "/0007.bmp", "an earlier card");
  const BatchPlace place = ChooseBatchFolderBetween(beside, pictures);
  EXPECT_EQ(place.folder, beside);
  EXPECT_TRUE(place.beside_program);
  EXPECT_EQ(LastRuntimeError(), 75) << "the folder was there";
  EXPECT_EQ(FolderEntries(beside), std::vector<std::string>{"0007.bmp"});
  EXPECT_EQ(ReadWholeFile(beside + "/0007.bmp"), "an earlier card");
  EXPECT_FALSE(PathExists(scratch / "home"));
}

TEST_F(BatchFolderTest, TheUserFolderWhereAFileStandsInTheWay) {
  WriteWholeFile(beside, "not a folder");
  ExpectFallback(ChooseBatchFolderBetween(beside, pictures));
  EXPECT_EQ(ReadWholeFile(beside), "not a folder");
  EXPECT_EQ(LastRuntimeError(), 75) << "the folder beside could not be made";
}

TEST_F(BatchFolderTest, TheUserFolderWhereTheProgramsFolderIsMountedReadOnly) {
  ScopedReadOnlyBind read_only(bin);
  if (!read_only.mounted) GTEST_SKIP() << read_only.reason;
  ExpectFallback(ChooseBatchFolderBetween(beside, pictures));
  EXPECT_TRUE(FolderEntries(bin).empty()) << "neither the folder nor a probe was made";
}

// A folder that exists is no proof that files can go in it.
TEST_F(BatchFolderTest, TheUserFolderWhereTheFolderBesideIsThereButReadOnly) {
  ASSERT_EQ(::mkdir(beside.c_str(), 0755), 0);
  ScopedReadOnlyBind read_only(bin);
  if (!read_only.mounted) GTEST_SKIP() << read_only.reason;
  ExpectFallback(ChooseBatchFolderBetween(beside, pictures));
  EXPECT_TRUE(FolderEntries(beside).empty());
}

TEST_F(BatchFolderTest, TheUserFolderWhereTheFolderBesideIsImmutable) {
  ASSERT_EQ(::mkdir(beside.c_str(), 0755), 0);
  ScopedImmutable immutable(beside);
  if (!immutable.set) GTEST_SKIP() << immutable.reason;
  ExpectFallback(ChooseBatchFolderBetween(beside, pictures));
  EXPECT_TRUE(FolderEntries(beside).empty());
}

// Root writes through permission bits, so a child that has given up root makes the
// choice, as a user of an installed program would: the program's folder is root's.
TEST_F(BatchFolderTest, TheUserFolderForAnOrdinaryUserOfAnInstalledProgram) {
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chmod(scratch.path.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((scratch / "home").c_str(), 0755), 0);
  ASSERT_EQ(::chown((scratch / "home").c_str(), kNobody, kNobody), 0);
  enum ChildResult { kRight = 0, kWrongChoice = 1, kNotMade = 2, kCannotChangeUser = 3 };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(kCannotChangeUser);
    const BatchPlace place = ChooseBatchFolderBetween(beside, pictures);
    if (place.folder != fallback || place.beside_program) ::_exit(kWrongChoice);
    ::_exit(IsFolder(fallback) ? kRight : kNotMade);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotChangeUser) GTEST_SKIP() << "cannot become nobody here";
  EXPECT_EQ(WEXITSTATUS(status), kRight);
  EXPECT_FALSE(PathExists(beside));
  EXPECT_TRUE(IsFolder(fallback));
}

TEST_F(BatchFolderTest, TheUserFolderWhereTheProgramsFolderIsUnknown) {
  ExpectFallback(ChooseBatchFolderBetween("", pictures));
  EXPECT_TRUE(FolderEntries(bin).empty());
}

TEST_F(BatchFolderTest, TheUserFolderWithATrailingSeparatorGetsNoSecondOne) {
  WriteWholeFile(beside, "not a folder");
  const BatchPlace place = ChooseBatchFolderBetween(beside, scratch / "home/");
  EXPECT_EQ(place.folder, scratch / "home/muchas");
  EXPECT_FALSE(place.beside_program);
  EXPECT_TRUE(IsFolder(scratch / "home/muchas"));
}

// With no user folder known there is nowhere better: the batch stays where it was
// always meant to go, and its first save says what went wrong.
TEST_F(BatchFolderTest, BesideTheProgramWhenNoUserFolderIsKnown) {
  WriteWholeFile(beside, "not a folder");
  const BatchPlace place = ChooseBatchFolderBetween(beside, "");
  EXPECT_EQ(place.folder, beside);
  EXPECT_TRUE(place.beside_program);
  const InFolder here(scratch.path);
  const BatchPlace nothing_known = ChooseBatchFolderBetween("", "");
  EXPECT_EQ(nothing_known.folder, "") << "no folder is made up";
  EXPECT_FALSE(PathExists(scratch / "muchas")) << "nothing in the current folder";
}

TEST(CanCreateFilesInTest, SaysWhereAFileCanBeMadeAndLeavesNothing) {
  ScratchFolder scratch;
  EXPECT_TRUE(CanCreateFilesIn(scratch.path));
  EXPECT_TRUE(CanCreateFilesIn(scratch.path + "/"));
  EXPECT_TRUE(FolderEntries(scratch.path).empty());
  EXPECT_FALSE(CanCreateFilesIn(scratch / "missing"));
  WriteWholeFile(scratch / "file", "x");
  EXPECT_FALSE(CanCreateFilesIn(scratch / "file"));
  EXPECT_FALSE(CanCreateFilesIn(""));
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"file"});
}

}  // namespace
