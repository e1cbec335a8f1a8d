// The lock of a batch's folder on Windows: LockFileEx on the hidden file
// "~tessarine.lock" in the folder.
#include <windows.h>

#include "disk/file_system.h"
#include "disk/folder_lock.h"
#include "text/utf16_win32.h"

namespace {
constexpr int kLockAttempts = 20;


bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Whether the name still leads to the locked file (the batch before may have removed
// it between our open and our lock).
bool NameIsStill(const std::wstring& path, HANDLE held) {
  const HANDLE named =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  const bool same = SameFile(named, held);
  CloseHandle(named);
  return same;
}
}  // namespace

const char* FolderLockName() { return "~tessarine.lock"; }

FolderLockResult LockFolder(const std::string& folder, FolderLock* lock) {
  const std::string path = PathInFolder(folder, FolderLockName());
  const std::wstring wide = WideOfUtf8(path);
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    // A link or folder of that name is not opened.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      return FolderLockResult::kUnavailable;
    const HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      // A lock file being removed by the batch before cannot be opened for a moment.
      if (GetLastError() == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) {
        Sleep(1);
        continue;
      }
      return FolderLockResult::kUnavailable;
    }
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING
                 ? FolderLockResult::kInUse
                 : FolderLockResult::kUnavailable;
    }
    if (NameIsStill(wide, file)) {
      lock->handle = reinterpret_cast<intptr_t>(file);
      lock->folder = folder;
      lock->path = path;
      BeginFolderBatch(folder);
      return FolderLockResult::kLocked;
    }
    CloseHandle(file);
  }
  return FolderLockResult::kInUse;
}

SaveError UnlockFolder(FolderLock* lock) {
  if (lock->handle == -1) return SaveError::kNone;
  const SaveError flushed = EndFolderBatch(lock->folder);
  const HANDLE file = reinterpret_cast<HANDLE>(lock->handle);
  // Removed while still locked, so that a batch waiting on this file finds it gone.
  DeleteFileW(WideOfUtf8(lock->path).c_str());
  OVERLAPPED whole = {};
  UnlockFileEx(file, 0, 1, 0, &whole);
  CloseHandle(file);
  lock->handle = -1;
  return flushed;
}
