// The file-system services on their own: the executable's folder, folders, a file
// replaced whole from several parts and why it could not be, names that are not files
// left unopened, abandoned saves, the lock of a batch's folder, the sweep of temporaries
// that killed saves left, and removal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "disk/file_system.h"
#include "disk/folder_lock.h"
#include "tests/support/test_support.h"

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
  EXPECT_TRUE(PathExists(folder + "disk_tests"));
  EXPECT_STREQ(PathSeparator(), "/");
}

// Without /proc the executable cannot be found: no folder is guessed, the current one
// least of all.
TEST(ExecutableFolderTest, IsEmptyWhereTheSystemCannotTell) {
  std::string reason;
  const int code = RunWithoutProc(
      [] {
        if (::access("/proc/self/exe", F_OK) == 0) return 3;  // /proc is not hidden
        return ExecutableFolder().empty() ? 0 : 1;
      },
      &reason);
  if (code < 0) GTEST_SKIP() << reason;
  EXPECT_NE(code, 3) << "/proc stayed in sight";
  EXPECT_EQ(code, 0) << "a folder was given without /proc";
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
  ASSERT_EQ(ReplaceFileWith(path, parts, 4), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "head" + big + "tail");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"parts.bin"});
}

TEST(ReplaceFileWithTest, KeepsThePermissionsOfTheFileItReplaces) {
  ScratchFolder scratch;
  const std::string path = scratch / "kept.bin";
  WriteWholeFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const ByteSpan part{"new", 3};
  ASSERT_EQ(ReplaceFileWith(path, &part, 1), SaveError::kNone);
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
    ::_exit(ReplaceFileWith(path, &part, 1) == SaveError::kNoPermission ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotChangeUser) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must fail for want of permission";
  EXPECT_EQ(ReadWholeFile(path), "an earlier card");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"0001.bmp"});
}

TEST(ReplaceFileWithTest, AnEmptyNameWritesNothing) {
  ScratchFolder scratch;
  InFolder here(scratch.path);
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith("", &part, 1), SaveError::kOther);
  EXPECT_TRUE(FolderEntries(scratch.path).empty());
}

TEST(RemoveFileTest, RemovesAReadOnlyFileAndTellsAMissingOne) {
  ScratchFolder scratch;
  const std::string path = scratch / "color.bmp";
  WriteWholeFile(path, "swatch");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(RemoveFile(path), RemoveResult::kRemoved);
  EXPECT_FALSE(PathExists(path));
  EXPECT_EQ(RemoveFile(path), RemoveResult::kMissing);
  EXPECT_EQ(RemoveFile(scratch / "missing/color.bmp"), RemoveResult::kMissing);
  EXPECT_TRUE(FolderEntries(scratch.path).empty());
}

TEST(RemoveFileTest, AnImmutableFileIsRefused) {
  ScratchFolder scratch;
  const std::string path = scratch / "color.bmp";
  WriteWholeFile(path, "swatch");
  ScopedImmutable immutable(path);
  if (!immutable.set) GTEST_SKIP() << immutable.reason;
  EXPECT_EQ(RemoveFile(path), RemoveResult::kRefused);
  EXPECT_EQ(ReadWholeFile(path), "swatch");
}

// ---- Why a save failed ------------------------------------------------------------

TEST(ReplaceFileWithTest, SaysWhyItFailed) {
  ScratchFolder scratch;
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith(scratch / "missing/0001.bmp", &part, 1), SaveError::kMissingFolder);
  WriteWholeFile(scratch / "plain", "x");
  EXPECT_EQ(ReplaceFileWith(scratch / "plain/0001.bmp", &part, 1), SaveError::kMissingFolder)
      << "a file where the folder should be";
  ASSERT_EQ(::mkdir((scratch / "0002.bmp").c_str(), 0755), 0);
  EXPECT_EQ(ReplaceFileWith(scratch / "0002.bmp", &part, 1), SaveError::kNotRegularFile);
  ASSERT_EQ(::mkfifo((scratch / "0003.bmp").c_str(), 0666), 0);
  EXPECT_EQ(ReplaceFileWith(scratch / "0003.bmp", &part, 1), SaveError::kNotRegularFile);
  EXPECT_TRUE(IsFolder(scratch / "0002.bmp"));
  EXPECT_EQ(FolderEntries(scratch.path),
            (std::vector<std::string>{"0002.bmp", "0003.bmp", "plain"}));
}

TEST(ReplaceFileWithTest, AnImmutableFileIsNoPermission) {
  ScratchFolder scratch;
  const std::string path = scratch / "0001.bmp";
  WriteWholeFile(path, "an earlier card");
  ScopedImmutable immutable(path);
  if (!immutable.set) GTEST_SKIP() << immutable.reason;
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith(path, &part, 1), SaveError::kNoPermission);
  EXPECT_EQ(ReadWholeFile(path), "an earlier card");
}

TEST(ReplaceFileWithTest, AReadOnlyFileSystemIsNoPermission) {
  ScratchFolder scratch;
  const std::string mount_point = scratch / "ro";
  ASSERT_EQ(::mkdir(mount_point.c_str(), 0777), 0);
  ScopedTmpfs disk(mount_point, 1 << 20);
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  if (!disk.MakeReadOnly()) GTEST_SKIP() << disk.reason;
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith(mount_point + "/0001.bmp", &part, 1), SaveError::kNoPermission);
  EXPECT_TRUE(FolderEntries(mount_point).empty());
}

TEST(ReplaceFileWithTest, AFullDiskIsSaidSo) {
  ScratchFolder scratch;
  const std::string mount_point = scratch / "full";
  ASSERT_EQ(::mkdir(mount_point.c_str(), 0777), 0);
  ScopedTmpfs disk(mount_point, 64 * 1024);
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  const std::string big(256 * 1024, 'b');
  const ByteSpan part{big.data(), big.size()};
  EXPECT_EQ(ReplaceFileWith(mount_point + "/0001.bmp", &part, 1), SaveError::kDiskFull);
  EXPECT_TRUE(FolderEntries(mount_point).empty()) << "no part of the file is left";
}

// ---- Names that are not regular files ----------------------------------------------

// A reader waiting on a FIFO of the card's name would wake if the save opened it.
TEST(ReplaceFileWithTest, AFifoIsRefusedWithoutWakingItsReader) {
  ScratchFolder scratch;
  const std::string path = scratch / "0001.bmp";
  ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
  WaitingFifoReader reader(path);
  ASSERT_GT(reader.pid, 0);
  if (!reader.waiting) GTEST_SKIP() << "the reader was not seen waiting in its open";
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith(path, &part, 1), SaveError::kNotRegularFile);
  EXPECT_FALSE(reader.Woken()) << "the save opened the FIFO";
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"0001.bmp"});
}

// A planted link is refused as it stands: neither followed nor replaced.
TEST(ReplaceFileWithTest, ALinkIsRefusedAndWhatItPointsAtStays) {
  ScratchFolder scratch;
  WriteWholeFile(scratch / "elsewhere", "not a card");
  ASSERT_EQ(::symlink((scratch / "elsewhere").c_str(), (scratch / "0001.bmp").c_str()), 0);
  ASSERT_EQ(::symlink((scratch / "nowhere").c_str(), (scratch / "0002.bmp").c_str()), 0);
  ASSERT_EQ(::mkfifo((scratch / "fifo").c_str(), 0666), 0);
  ASSERT_EQ(::symlink((scratch / "fifo").c_str(), (scratch / "0003.bmp").c_str()), 0);
  WaitingFifoReader reader(scratch / "fifo");
  const ByteSpan part{"new", 3};
  for (const char* name : {"0001.bmp", "0002.bmp", "0003.bmp"})
    EXPECT_EQ(ReplaceFileWith(scratch / name, &part, 1), SaveError::kNotRegularFile) << name;
  EXPECT_EQ(ReadWholeFile(scratch / "elsewhere"), "not a card");
  EXPECT_FALSE(PathExists(scratch / "nowhere")) << "a dangling link was followed";
  if (reader.waiting) {
    EXPECT_FALSE(reader.Woken()) << "the link to a FIFO was opened";
  }
  EXPECT_EQ(FolderEntries(scratch.path),
            (std::vector<std::string>{"0001.bmp", "0002.bmp", "0003.bmp", "elsewhere", "fifo"}));
}

TEST(ReplaceFileWithTest, ADeviceIsRefused) {
  const ByteSpan part{"new", 3};
  EXPECT_EQ(ReplaceFileWith("/dev/null", &part, 1), SaveError::kNotRegularFile);
  struct stat info {};
  ASSERT_EQ(::lstat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode)) << "/dev/null was replaced";
}

// ---- Flushing and abandoned saves ----------------------------------------------------

TEST(FlushFolderTest, FlushesAFolderAndSaysWhenThereIsNone) {
  ScratchFolder scratch;
  EXPECT_EQ(FlushFolder(scratch.path), SaveError::kNone);
  EXPECT_EQ(FlushFolder(scratch.path + "/"), SaveError::kNone);
  EXPECT_EQ(FlushFolder(scratch / "missing"), SaveError::kMissingFolder);
  InFolder here(scratch.path);
  EXPECT_EQ(FlushFolder(""), SaveError::kNone) << "the current folder";
}

// A folder in a batch still gets every file whole, and its end says the folder is there.
TEST(FlushFolderTest, AFolderInABatchTakesFilesAsAnyOther) {
  ScratchFolder scratch;
  BeginFolderBatch(scratch.path);
  const ByteSpan part{"card", 4};
  ASSERT_EQ(ReplaceFileWith(scratch / "0001.bmp", &part, 1), SaveError::kNone);
  ASSERT_EQ(ReplaceFileWith(scratch / "0002.bmp", &part, 1), SaveError::kNone);
  EXPECT_EQ(EndFolderBatch(scratch.path), SaveError::kNone);
  EXPECT_EQ(FolderEntries(scratch.path), (std::vector<std::string>{"0001.bmp", "0002.bmp"}));
  EXPECT_EQ(ReadWholeFile(scratch / "0002.bmp"), "card");
  BeginFolderBatch(scratch / "gone");
  EXPECT_EQ(EndFolderBatch(scratch / "gone"), SaveError::kMissingFolder);
}

// Abandoning is for good, so it is tried in a child process.
TEST(AbandonSavesTest, NoSaveIsPutInPlaceAfterwardsAndEarlierOnesStay) {
  ScratchFolder scratch;
  WriteWholeFile(scratch / "0001.bmp", "saved before");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const ByteSpan part{"new", 3};
    if (ReplaceFileWith(scratch / "0002.bmp", &part, 1) != SaveError::kNone) ::_exit(2);
    AbandonSaves();
    if (!SavesAbandoned()) ::_exit(3);
    const bool refused = ReplaceFileWith(scratch / "0001.bmp", &part, 1) == SaveError::kInterrupted &&
                         ReplaceFileWith(scratch / "0003.bmp", &part, 1) == SaveError::kInterrupted;
    ::_exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a save after AbandonSaves was not refused as interrupted";
  EXPECT_FALSE(SavesAbandoned()) << "the child's abandonment is its own";
  EXPECT_EQ(ReadWholeFile(scratch / "0001.bmp"), "saved before");
  EXPECT_EQ(ReadWholeFile(scratch / "0002.bmp"), "new");
  EXPECT_EQ(FolderEntries(scratch.path), (std::vector<std::string>{"0001.bmp", "0002.bmp"}))
      << "no temporary is left";
}

// ---- The lock of a batch's folder ---------------------------------------------------

TEST(FolderLockTest, ASecondBatchIsRefusedUntilTheFirstLetsGo) {
  ScratchFolder scratch;
  FolderLock first;
  ASSERT_EQ(LockFolder(scratch.path, &first), FolderLockResult::kLocked);
  const std::string lock_name = FolderLockName();
  ASSERT_FALSE(lock_name.empty());
  EXPECT_EQ(lock_name[0], '.') << "the lock file is hidden";
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{lock_name});
  FolderLock second;
  EXPECT_EQ(LockFolder(scratch.path, &second), FolderLockResult::kInUse);
  EXPECT_EQ(LockFolder(scratch.path + "/", &second), FolderLockResult::kInUse)
      << "the same folder named with a separator";
  EXPECT_EQ(UnlockFolder(&second), SaveError::kNone) << "nothing held, nothing to do";
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{lock_name});

  EXPECT_EQ(UnlockFolder(&first), SaveError::kNone);
  EXPECT_TRUE(FolderEntries(scratch.path).empty()) << "the lock file is removed at the end";
  ASSERT_EQ(LockFolder(scratch.path, &second), FolderLockResult::kLocked);
  EXPECT_EQ(UnlockFolder(&second), SaveError::kNone);
}

// Another process's batch holds the folder: refused at once, not waited for.
TEST(FolderLockTest, AFolderHeldByAnotherProcessIsInUse) {
  ScratchFolder scratch;
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FolderLock held;
    const char locked = LockFolder(scratch.path, &held) == FolderLockResult::kLocked ? 'y' : 'n';
    (void)::write(ready[1], &locked, 1);
    char ignored;
    (void)::read(done[0], &ignored, 1);
    UnlockFolder(&held);
    ::_exit(0);
  }
  char locked = 0;
  ASSERT_EQ(::read(ready[0], &locked, 1), 1);
  ASSERT_EQ(locked, 'y');
  FolderLock mine;
  EXPECT_EQ(LockFolder(scratch.path, &mine), FolderLockResult::kInUse);
  (void)::write(done[1], "x", 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(LockFolder(scratch.path, &mine), FolderLockResult::kLocked) << "let go at its end";
  UnlockFolder(&mine);
  for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

TEST(FolderLockTest, NoLockFileCanBeMadeInAMissingFolderOrOverAFifo) {
  ScratchFolder scratch;
  FolderLock lock;
  EXPECT_EQ(LockFolder(scratch / "missing", &lock), FolderLockResult::kUnavailable);
  const std::string fifo = scratch / FolderLockName();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  WaitingFifoReader reader(fifo);
  EXPECT_EQ(LockFolder(scratch.path, &lock), FolderLockResult::kUnavailable);
  if (reader.waiting) {
    EXPECT_FALSE(reader.Woken()) << "the FIFO was opened";
  }
  EXPECT_EQ(lock.handle, -1);
}

// ---- Set-user-ID and set-group-ID ---------------------------------------------------

TEST(ReplaceFileWithTest, NeverPassesOnSetUserOrGroupId) {
  ScratchFolder scratch;
  const std::string path = scratch / "0001.bmp";
  WriteWholeFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 06755), 0);
  if (PermissionsOf(path) != 06755) GTEST_SKIP() << "this file system drops the bits itself";
  const ByteSpan part{"new", 3};
  ASSERT_EQ(ReplaceFileWith(path, &part, 1), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "new");
  EXPECT_EQ(PermissionsOf(path), 0755) << "the rest of the permissions stay";
}

// ---- Temporaries of killed saves ----------------------------------------------------

// A process id that no process has: a child that has ended and been waited for.
pid_t DeadProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

// A child that runs until the end of the scope.
struct LiveProcess {
  LiveProcess() : pid(::fork()) {
    if (pid == 0) {
      for (;;) ::pause();
    }
  }
  ~LiveProcess() {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
  pid_t pid;
};

std::string TemporaryName(const std::string& target, pid_t pid, int sequence) {
  return "." + target + "." + std::to_string(pid) + "." + std::to_string(sequence) + ".tmp";
}

TEST(StaleTemporariesTest, TheFirstSaveIntoAFolderRemovesThoseOfEndedProcesses) {
  ScratchFolder scratch;
  const pid_t dead = DeadProcess();
  ASSERT_GT(dead, 0);
  ASSERT_NE(::kill(dead, 0), 0) << "the child must have ended";
  LiveProcess live;
  ASSERT_GT(live.pid, 0);
  const std::string stale = TemporaryName("0912.bmp", dead, 911);
  const std::string running = TemporaryName("0913.bmp", live.pid, 3);
  const std::string mine = TemporaryName("0914.bmp", ::getpid(), 0);
  WriteWholeFile(scratch / stale, std::string(521578, 'c'));
  WriteWholeFile(scratch / running, "in the making");
  WriteWholeFile(scratch / mine, "in the making");
  // Names that only look like it, and a folder of the right shape: none is ours.
  const std::string pid = std::to_string(dead);
  const std::vector<std::string> unrelated = {
      "0912.bmp",        ".0912.bmp.tmp",           "." + pid + ".1.tmp",
      "0912.bmp." + pid + ".1.tmp",                 ".0912.bmp." + pid + ".x.tmp",
      ".0912.bmp.x" + pid + ".1.tmp",               ".0912.bmp." + pid + ".1.tmp.bak",
      ".notes.txt"};
  for (const std::string& name : unrelated) WriteWholeFile(scratch / name, "keep");
  const std::string folder_name = TemporaryName("folder", dead, 1);
  ASSERT_EQ(::mkdir((scratch / folder_name).c_str(), 0755), 0);

  const ByteSpan part{"card", 4};
  ASSERT_EQ(ReplaceFileWith(scratch / "0001.bmp", &part, 1), SaveError::kNone);
  EXPECT_FALSE(PathExists(scratch / stale));
  EXPECT_TRUE(PathExists(scratch / running));
  EXPECT_TRUE(PathExists(scratch / mine));
  for (const std::string& name : unrelated)
    EXPECT_EQ(ReadWholeFile(scratch / name), "keep") << name;
  EXPECT_TRUE(IsFolder(scratch / folder_name));
  EXPECT_EQ(ReadWholeFile(scratch / "0001.bmp"), "card");

  // Once a folder is swept, later saves into it (the rest of a batch) do not look again.
  const std::string later = TemporaryName("0915.bmp", dead, 7);
  WriteWholeFile(scratch / later, "left by another run");
  ASSERT_EQ(ReplaceFileWith(scratch / "0002.bmp", &part, 1), SaveError::kNone);
  EXPECT_TRUE(PathExists(scratch / later));
  // The sweep itself takes it.
  RemoveStaleTemporaries(scratch.path);
  EXPECT_FALSE(PathExists(scratch / later));
  EXPECT_TRUE(PathExists(scratch / running));
}

TEST(StaleTemporariesTest, TheCurrentFolderIsSweptForABareName) {
  ScratchFolder scratch;
  InFolder here(scratch.path);
  const std::string stale = TemporaryName("0001.bmp", DeadProcess(), 0);
  WriteWholeFile(scratch / stale, "left behind");
  WriteWholeFile(scratch / "0005.bmp", "a card");
  const ByteSpan part{"card", 4};
  ASSERT_EQ(ReplaceFileWith("0001.bmp", &part, 1), SaveError::kNone);
  EXPECT_EQ(FolderEntries(scratch.path), (std::vector<std::string>{"0001.bmp", "0005.bmp"}));
}

}  // namespace

// ---- The streaming form of a replacement ----------------------------------------------

namespace {
std::string WriteInPieces(const std::string& path, const std::vector<std::string>& pieces,
                          bool commit, SaveError* result) {
  FileReplacement file;
  *result = BeginReplacement(path, &file);
  if (*result != SaveError::kNone) return "";
  for (const std::string& piece : pieces) {
    *result = AppendToReplacement(&file, piece.data(), piece.size());
    if (*result != SaveError::kNone) return "";
  }
  const std::string temporary = file.temporary;
  if (commit)
    *result = CommitReplacement(&file);
  else
    AbandonReplacement(&file);
  return temporary;
}
}  // namespace

TEST(FileReplacementTest, PiecesAppearWholeOnlyAtTheCommit) {
  ScratchFolder scratch;
  const std::string path = scratch / "cards.pdf";
  WriteWholeFile(path, "old");
  FileReplacement file;
  ASSERT_EQ(BeginReplacement(path, &file), SaveError::kNone);
  ASSERT_EQ(AppendToReplacement(&file, "new ", 4), SaveError::kNone);
  ASSERT_EQ(AppendToReplacement(&file, "bytes", 5), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "old") << "the target untouched until the commit";
  EXPECT_EQ(ReadWholeFile(file.temporary), "new bytes");
  EXPECT_EQ(file.temporary.rfind(scratch / ".cards.pdf.", 0), 0u) << "beside the target, hidden";
  ASSERT_EQ(CommitReplacement(&file), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "new bytes");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"cards.pdf"});
}

TEST(FileReplacementTest, AnAbandonedReplacementLeavesTheOldFileAndNoTemporary) {
  ScratchFolder scratch;
  const std::string path = scratch / "cards.csv";
  WriteWholeFile(path, "old list");
  SaveError result = SaveError::kOther;
  const std::string temporary = WriteInPieces(path, {"half ", "a list"}, false, &result);
  EXPECT_EQ(result, SaveError::kNone);
  EXPECT_FALSE(temporary.empty());
  EXPECT_FALSE(PathExists(temporary));
  EXPECT_EQ(ReadWholeFile(path), "old list");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"cards.csv"});
}

TEST(FileReplacementTest, RefusalsComeAtTheBeginningAsForAWholeFile) {
  ScratchFolder scratch;
  FileReplacement file;
  EXPECT_EQ(BeginReplacement(scratch / "missing/cards.pdf", &file), SaveError::kMissingFolder);
  EXPECT_EQ(file.handle, -1);
  ASSERT_TRUE(MakeFolder(scratch / "folder.pdf"));
  EXPECT_EQ(BeginReplacement(scratch / "folder.pdf", &file), SaveError::kNotRegularFile);
  ASSERT_EQ(::symlink("elsewhere", (scratch / "link.pdf").c_str()), 0);
  EXPECT_EQ(BeginReplacement(scratch / "link.pdf", &file), SaveError::kNotRegularFile);
  // A commit of a replacement that never began fails and puts nothing in place.
  EXPECT_NE(CommitReplacement(&file), SaveError::kNone);
  EXPECT_EQ(FolderEntries(scratch.path), (std::vector<std::string>{"folder.pdf", "link.pdf"}));
}

TEST(FileReplacementTest, AFullDiskFailsTheAppendAndTheCommitAndLeavesNothing) {
  ScratchFolder scratch;
  ASSERT_TRUE(MakeFolder(scratch / "small"));
  ScopedTmpfs disk(scratch / "small", 64 * 1024);
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  FileReplacement file;
  ASSERT_EQ(BeginReplacement(scratch / "small/cards.pdf", &file), SaveError::kNone);
  const std::string block(16 * 1024, 'x');
  SaveError error = SaveError::kNone;
  for (int i = 0; i < 16 && error == SaveError::kNone; ++i)
    error = AppendToReplacement(&file, block.data(), block.size());
  EXPECT_EQ(error, SaveError::kDiskFull);
  EXPECT_EQ(AppendToReplacement(&file, "x", 1), SaveError::kDiskFull) << "later appends too";
  EXPECT_EQ(CommitReplacement(&file), SaveError::kDiskFull);
  EXPECT_EQ(FolderEntries(scratch / "small"), std::vector<std::string>{});
}

TEST(FileReplacementTest, AbandonedSavesAreNotCommittedUntilResumed) {
  ScratchFolder scratch;
  FileReplacement file;
  ASSERT_EQ(BeginReplacement(scratch / "list.csv", &file), SaveError::kNone);
  ASSERT_EQ(AppendToReplacement(&file, "abc", 3), SaveError::kNone);
  AbandonSaves();
  EXPECT_EQ(CommitReplacement(&file), SaveError::kInterrupted);
  EXPECT_EQ(BeginReplacement(scratch / "list.csv", &file), SaveError::kInterrupted);
  ResumeSaves();
  EXPECT_FALSE(SavesAbandoned());
  SaveError result = SaveError::kOther;
  WriteInPieces(scratch / "list.csv", {"a", "bc"}, true, &result);
  EXPECT_EQ(result, SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(scratch / "list.csv"), "abc");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"list.csv"});
}

// Outputs are compared as files: every spelling of one folder is that folder, whether
// the file in it exists yet or not; a name differing in case or a folder's twin is not.
TEST(SameFileTest, OneFileUnderEverySpellingOfItsFolder) {
  ScratchFolder scratch;
  ASSERT_EQ(::mkdir((scratch / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((scratch / "twin").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("sub", (scratch / "link").c_str()), 0);
  InFolder here(scratch.path);
  EXPECT_TRUE(SameFile("out.pdf", "out.pdf"));
  EXPECT_TRUE(SameFile("out.pdf", "./out.pdf"));
  EXPECT_TRUE(SameFile("out.pdf", scratch / "out.pdf"));
  EXPECT_TRUE(SameFile("sub/out.pdf", "link/out.pdf"));
  EXPECT_TRUE(SameFile("sub/out.pdf", "twin/../sub//out.pdf"));
  EXPECT_TRUE(SameFile("sub/../out.pdf", "out.pdf"));
  EXPECT_FALSE(SameFile("out.pdf", "out.csv"));
  EXPECT_FALSE(SameFile("out.pdf", "OUT.pdf"));
  EXPECT_FALSE(SameFile("sub/out.pdf", "twin/out.pdf"));
  EXPECT_FALSE(SameFile("sub/out.pdf", "out.pdf"));
  // A folder that is not there is compared by how it is written.
  EXPECT_TRUE(SameFile("none/out.pdf", "none/out.pdf"));
  EXPECT_FALSE(SameFile("none/out.pdf", "other/out.pdf"));
}
