// The batch folder and the swatch file lie beside the test program, so tests that use
// them would trip over each other when CTest runs several at once. Such a test holds
// this lock, a file lock across processes, for its whole run.
#pragma once
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "disk/file_system.h"

struct SharedFolderLock {
  SharedFolderLock() {
    const std::string path = ExecutableFolder() + "shared_folder.lock";
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) ::flock(fd, LOCK_EX);
  }
  ~SharedFolderLock() {
    if (fd >= 0) ::close(fd);
  }
  SharedFolderLock(const SharedFolderLock&) = delete;
  SharedFolderLock& operator=(const SharedFolderLock&) = delete;
  int fd = -1;
};
