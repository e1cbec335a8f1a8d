// The file system's platform calls on Windows: the executable's folder, folders, the
// calls of the replacement in one step (file_system_platform.h), removal. Paths arrive as
// UTF-8 and go to the wide-character calls, so any name the system allows can be used.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "disk/file_system.h"
#include "disk/file_system_platform.h"
#include "text/utf16_win32.h"

namespace {

SaveError ErrorOf(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SaveError::kDiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return SaveError::kNoPermission;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return SaveError::kMissingFolder;
    default:
      return SaveError::kOther;
  }
}

HANDLE HandleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::string ExecutableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      buffer.resize(length);
      return FolderOf(Utf8OfWide(buffer));
    }
    buffer.resize(buffer.size() * 2);
  }
}

const char* PathSeparator() { return "\\"; }
// Both separators are accepted in a Windows path.
const char* PathSeparators() { return "\\/"; }

std::string FolderKey(const std::string& folder) {
  const std::wstring name = folder.empty() ? std::wstring(L".") : WideOfUtf8(folder);
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (length == 0) return folder;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(name.c_str(), length, &full[0], nullptr);
  if (written == 0 || written >= length) return folder;
  full.resize(written);
  return Utf8OfWide(full);
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryW(WideOfUtf8(path).c_str(), nullptr) != 0;
}

// Windows writes a folder's entries through with each MOVEFILE_WRITE_THROUGH move; there
// is nothing left to flush afterwards.
SaveError FlushFolder(const std::string& folder) {
  (void)folder;
  return SaveError::kNone;
}

// A read-only file, a folder or link of that name, or a file another handle holds open
// keeps its bytes and the save fails. The marks are read first: a link or folder is
// refused without being opened, and where the file system does not enforce read-only (a
// share, or Wine run by root) opening for writing would succeed. OPEN_EXISTING without
// truncation: the check alone changes nothing.
SaveError CheckTarget(const std::string& path, bool* exists, unsigned* mode) {
  *exists = false;
  *mode = 0;
  const std::wstring wide = WideOfUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      return SaveError::kNotRegularFile;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return SaveError::kNoPermission;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A missing folder is found out when the temporary is made beside the target.
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? SaveError::kNone
                                                                            : ErrorOf(error);
  }
  CloseHandle(file);
  *exists = true;
  return SaveError::kNone;
}

char TemporaryMark() { return '~'; }

bool NameEndsWith(const std::string& name, const char* ending) {
  const size_t length = std::strlen(ending);
  return name.size() >= length && _stricmp(name.c_str() + name.size() - length, ending) == 0;
}

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }
size_t MostProcessIdDigits() { return 10; }

// A process runs unless the system knows no such process or it has ended. Any other
// refusal (no right to look) counts as running.
bool ProcessRuns(unsigned long pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return !ended;
}

SaveError CreateNewFile(const std::string& path, intptr_t* handle, bool* taken) {
  const HANDLE file = CreateFileW(WideOfUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  *taken = false;
  *handle = kNoFile;
  if (file != INVALID_HANDLE_VALUE) {
    *handle = reinterpret_cast<intptr_t>(file);
    return SaveError::kNone;
  }
  const DWORD error = GetLastError();
  *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
  return ErrorOf(error);
}

SaveError WriteToFile(intptr_t handle, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(HandleOf(handle), next, chunk, &written, nullptr))
      return ErrorOf(GetLastError());
    if (written == 0) return SaveError::kOther;
    next += written;
    size -= written;
  }
  return SaveError::kNone;
}

// A Windows file has no permissions of the kind to keep.
void KeepPermissions(intptr_t handle, unsigned mode) {
  (void)handle;
  (void)mode;
}

SaveError FlushFile(intptr_t handle) {
  return FlushFileBuffers(HandleOf(handle)) ? SaveError::kNone : ErrorOf(GetLastError());
}

SaveError CloseFile(intptr_t handle) {
  return CloseHandle(HandleOf(handle)) ? SaveError::kNone : ErrorOf(GetLastError());
}

// Write-through: the move is on the disk when the call returns.
SaveError MoveIntoPlace(const std::string& temporary, const std::string& path) {
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (SavesFlushed() ? MOVEFILE_WRITE_THROUGH : 0);
  if (MoveFileExW(WideOfUtf8(temporary).c_str(), WideOfUtf8(path).c_str(), flags))
    return SaveError::kNone;
  return ErrorOf(GetLastError());
}

void DeleteQuietly(const std::string& path) { DeleteFileW(WideOfUtf8(path).c_str()); }

// Folders are left out: none of them is a temporary of ours.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::wstring pattern = WideOfUtf8(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((pattern + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      names.push_back(Utf8OfWide(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// DeleteFileW removes no folder.
void RemovePlainFile(const std::string& path) { DeleteQuietly(path); }

// Both full paths as the system resolves them, compared as NTFS compares names.
bool SameFile(const std::string& a, const std::string& b) {
  if (WideOfUtf8(a, true).empty() || WideOfUtf8(b, true).empty()) return a == b;
  return _wcsicmp(WideOfUtf8(FolderKey(a)).c_str(), WideOfUtf8(FolderKey(b)).c_str()) == 0;
}

RemoveResult RemoveFile(const std::string& path) {
  const std::wstring wide = WideOfUtf8(path);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  if (DeleteFileW(wide.c_str())) return RemoveResult::kRemoved;
  const DWORD error = GetLastError();
  return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? RemoveResult::kMissing
                                                                          : RemoveResult::kRefused;
}
