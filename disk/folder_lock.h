// One batch at a time in a folder: a batch holds a lock on a hidden file in its folder
// (flock on POSIX, LockFileEx on Windows) from before its first file to after its last,
// and removes the file at the end. A second batch into a locked folder, of this process
// or another, is refused at once. While locked, the folder is in a batch
// (BeginFolderBatch): its entries are flushed once, when the lock is let go.
#pragma once
#include <cstdint>
#include <string>

#include "disk/file_system.h"

// The lock file's name in the folder: hidden, and never a card file's name.
const char* FolderLockName();

enum class FolderLockResult {
  kLocked,       // the folder is the caller's until UnlockFolder
  kInUse,        // another batch holds it
  kUnavailable,  // no lock file can be made there (a missing or unwritable folder)
};
struct FolderLock {
  intptr_t handle = -1;
  std::string folder;
  std::string path;  // of the lock file
};
FolderLockResult LockFolder(const std::string& folder, FolderLock* lock);
// Removes the lock file, flushes the folder's entries (EndFolderBatch) and lets the
// folder go. The result is the flush's: kNone when every file saved there is on the disk.
SaveError UnlockFolder(FolderLock* lock);
