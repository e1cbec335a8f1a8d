// The lock of a batch's folder on POSIX: flock on ".tessarine.lock" in the folder.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disk/file_system.h"
#include "disk/folder_lock.h"

namespace {
// A batch that lost the race below tries again; so many losses in a row mean that other
// batches keep the folder busy.
constexpr int kLockAttempts = 20;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
}  // namespace

const char* FolderLockName() { return ".tessarine.lock"; }

FolderLockResult LockFolder(const std::string& folder, FolderLock* lock) {
  const std::string path = PathInFolder(folder, FolderLockName());
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    // Whatever else has the name (a planted link, a FIFO) is not opened.
    struct stat named {};
    if (::lstat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
      return FolderLockResult::kUnavailable;
    // Read-only is enough for flock, and lets a user who may not write the folder lock
    // a lock file that is already there.
    const int fd = ::open(path.c_str(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) return FolderLockResult::kUnavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      return error == EWOULDBLOCK ? FolderLockResult::kInUse : FolderLockResult::kUnavailable;
    }
    // The batch before may have removed the file between our open and our lock: then the
    // lock is on a file nobody else will find, and the name is taken anew.
    struct stat held {}, now {};
    if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &now) == 0 && SameFile(held, now)) {
      lock->handle = fd;
      lock->folder = folder;
      lock->path = path;
      BeginFolderBatch(folder);
      return FolderLockResult::kLocked;
    }
    ::close(fd);
  }
  return FolderLockResult::kInUse;
}

SaveError UnlockFolder(FolderLock* lock) {
  if (lock->handle < 0) return SaveError::kNone;
  // Removed before the folder's one flush, so that a power cut after it finds no lock
  // file either; the batch's files are all in place by now.
  ::unlink(lock->path.c_str());
  const SaveError flushed = EndFolderBatch(lock->folder);
  ::close(static_cast<int>(lock->handle));
  lock->handle = -1;
  return flushed;
}
