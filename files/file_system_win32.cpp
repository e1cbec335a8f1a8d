// The file-system services of the card files on Windows: the executable's folder,
// folders, a file replaced whole in one step and flushed to the disk (and the
// temporaries of killed saves swept away), removal. Paths arrive as UTF-8 and go to the wide-character calls, so any name
// the system allows can be used.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/save_control.h"
#include "files/utf16_win32.h"

namespace {



// Both separators are accepted in a Windows path.
size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = LastSeparator(path);
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t cut = LastSeparator(path);
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

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

// The target may be replaced only if it could be written in place: a read-only file, a
// folder or link of that name, or a file another handle holds open keeps its bytes and
// the save fails. OPEN_EXISTING without truncation: the check alone changes nothing.
SaveError CheckTarget(const std::wstring& path) {
  // The marks are read first: a link or folder is refused without being opened, and
  // where the file system does not enforce read-only (a share, or Wine run by root)
  // opening for writing would succeed.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
      return SaveError::kNotRegularFile;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return SaveError::kNoPermission;
  }
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A missing folder is found out when the temporary is made beside the target.
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? SaveError::kNone
                                                                            : ErrorOf(error);
  }
  CloseHandle(file);
  return SaveError::kNone;
}

constexpr const wchar_t* kTemporaryEnd = L".tmp";

// A new file of a name nobody else uses, beside the target: "~NAME.PID.N.tmp", named by
// its process so that a later run can tell it is stale. INVALID_HANDLE_VALUE with the
// last error set on failure.
HANDLE CreateTemporary(const std::wstring& path, std::wstring* temporary) {
  static volatile LONG sequence = 0;
  const std::wstring prefix = FolderOf(path) + L"~" + NameOf(path) + L".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[48];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L"%lu.%ld%ls",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<long>(InterlockedIncrement(&sequence)), kTemporaryEnd);
    *temporary = prefix + suffix;
    const HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

SaveError WriteAll(HANDLE file, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, next, chunk, &written, nullptr)) return ErrorOf(GetLastError());
    if (written == 0) return SaveError::kOther;
    next += written;
    size -= written;
  }
  return SaveError::kNone;
}

// The file's bytes on the disk before its name is given to them.
SaveError FlushFile(HANDLE file) {
  if (!SavesFlushed() || FlushFileBuffers(file)) return SaveError::kNone;
  return ErrorOf(GetLastError());
}

bool AllDigits(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

// The process that made a temporary of that name, or 0 when the name is not one.
DWORD OwnerOfTemporary(const std::wstring& name) {
  const size_t end_length = std::wcslen(kTemporaryEnd);
  if (name.size() < 1 + end_length || name[0] != L'~' ||
      _wcsicmp(name.c_str() + name.size() - end_length, kTemporaryEnd) != 0)
    return 0;
  const std::wstring stem = name.substr(1, name.size() - 1 - end_length);  // NAME.PID.N
  const size_t sequence_dot = stem.rfind(L'.');
  if (sequence_dot == std::wstring::npos || sequence_dot == 0 ||
      !AllDigits(stem.substr(sequence_dot + 1)))
    return 0;
  const size_t pid_dot = stem.rfind(L'.', sequence_dot - 1);
  if (pid_dot == std::wstring::npos || pid_dot == 0) return 0;  // NAME may not be empty
  const std::wstring pid = stem.substr(pid_dot + 1, sequence_dot - pid_dot - 1);
  if (!AllDigits(pid) || pid.size() > 10) return 0;
  return static_cast<DWORD>(std::wcstoul(pid.c_str(), nullptr, 10));
}

// A process runs unless the system knows no such process or it has ended. Any other
// refusal (no right to look) counts as running.
bool ProcessRuns(DWORD pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return !ended;
}

std::wstring AbsoluteFolder(const std::wstring& folder) {
  const std::wstring name = folder.empty() ? std::wstring(L".") : folder;
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (length == 0) return folder;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(name.c_str(), length, &full[0], nullptr);
  if (written == 0 || written >= length) return folder;
  full.resize(written);
  return full;
}

// The first save into a folder sweeps it; the saver thread and the drawing thread may
// both save, so the record of swept folders is shared under a lock.
void SweepOnce(const std::wstring& folder) {
  static std::mutex mutex;
  static std::set<std::wstring> swept;
  const std::lock_guard<std::mutex> lock(mutex);
  if (swept.insert(AbsoluteFolder(folder)).second) RemoveStaleTemporaries(Utf8OfWide(folder));
}

}  // namespace

std::string ExecutableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      buffer.resize(length);
      return Utf8OfWide(FolderOf(buffer));
    }
    buffer.resize(buffer.size() * 2);
  }
}

const char* PathSeparator() { return "\\"; }

bool MakeFolder(const std::string& path) {
  return CreateDirectoryW(WideOfUtf8(path).c_str(), nullptr) != 0;
}

// Windows writes a folder's entries through with each MOVEFILE_WRITE_THROUGH move; there
// is nothing left to flush afterwards.
SaveError FlushFolder(const std::string& folder) {
  (void)folder;
  return SaveError::kNone;
}

void BeginFolderBatch(const std::string& folder) {
  MarkFolderInBatch(Utf8OfWide(AbsoluteFolder(WideOfUtf8(folder))), true);
}

SaveError EndFolderBatch(const std::string& folder) {
  MarkFolderInBatch(Utf8OfWide(AbsoluteFolder(WideOfUtf8(folder))), false);
  return FlushFolder(folder);
}

SaveError BeginReplacement(const std::string& path, FileReplacement* file) {
  *file = FileReplacement{};
  file->path = path;
  file->error = SaveError::kOther;
  const std::wstring target = WideOfUtf8(path);
  if (target.empty()) return file->error;
  if (SavesAbandoned()) return file->error = SaveError::kInterrupted;
  const SaveError refused = CheckTarget(target);
  if (refused != SaveError::kNone) return file->error = refused;
  SweepOnce(FolderOf(target));
  std::wstring temporary;
  const HANDLE handle = CreateTemporary(target, &temporary);
  if (handle == INVALID_HANDLE_VALUE) return file->error = ErrorOf(GetLastError());
  file->temporary = Utf8OfWide(temporary);
  file->handle = reinterpret_cast<intptr_t>(handle);
  return file->error = SaveError::kNone;
}

SaveError AppendToReplacement(FileReplacement* file, const void* data, size_t size) {
  if (file->error != SaveError::kNone) return file->error;
  file->error = WriteAll(reinterpret_cast<HANDLE>(file->handle), data, size);
  if (file->error != SaveError::kNone) AbandonReplacement(file);
  return file->error;
}

void AbandonReplacement(FileReplacement* file) {
  if (file->handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file->handle));
  file->handle = -1;
  if (!file->temporary.empty()) DeleteFileW(WideOfUtf8(file->temporary).c_str());
  file->temporary.clear();
  if (file->error == SaveError::kNone) file->error = SaveError::kInterrupted;
}

SaveError CommitReplacement(FileReplacement* file) {
  if (file->error != SaveError::kNone || file->handle == -1) {
    AbandonReplacement(file);
    return file->error == SaveError::kNone ? SaveError::kOther : file->error;
  }
  const HANDLE handle = reinterpret_cast<HANDLE>(file->handle);
  SaveError error = FlushFile(handle);
  file->handle = -1;
  if (!CloseHandle(handle) && error == SaveError::kNone) error = ErrorOf(GetLastError());
  if (error == SaveError::kNone && SavesAbandoned()) error = SaveError::kInterrupted;
  if (error == SaveError::kNone) {
    // Write-through: the move is on the disk when the call returns.
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (SavesFlushed() ? MOVEFILE_WRITE_THROUGH : 0);
    if (MoveFileExW(WideOfUtf8(file->temporary).c_str(), WideOfUtf8(file->path).c_str(), flags)) {
      file->temporary.clear();
      return file->error = SaveError::kNone;
    }
    error = ErrorOf(GetLastError());
  }
  file->error = error;
  AbandonReplacement(file);
  return error;
}

void RemoveStaleTemporaries(const std::string& folder) {
  std::wstring prefix = WideOfUtf8(folder);
  if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/') prefix += L'\\';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((prefix + L"~*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> stale;
  do {
    // Only a plain file: a folder of such a name is not one of ours.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const DWORD owner = OwnerOfTemporary(found.cFileName);
    if (owner != 0 && !ProcessRuns(owner)) stale.push_back(prefix + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const std::wstring& path : stale) DeleteFileW(path.c_str());
}

// Both full paths as the system resolves them, compared as NTFS compares names.
bool SameFile(const std::string& a, const std::string& b) {
  const std::wstring wide_a = WideOfUtf8(a, true), wide_b = WideOfUtf8(b, true);
  if (wide_a.empty() || wide_b.empty()) return a == b;
  return _wcsicmp(AbsoluteFolder(wide_a).c_str(), AbsoluteFolder(wide_b).c_str()) == 0;
}

RemoveResult RemoveFile(const std::string& path) {
  const std::wstring wide = WideOfUtf8(path);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  if (DeleteFileW(wide.c_str())) return RemoveResult::kRemoved;
  const DWORD error = GetLastError();
  return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? RemoveResult::kMissing
                                                                          : RemoveResult::kRefused;
}
