// The file-system services of the card files on Windows: the executable's folder,
// folders, a file replaced whole in one step, quiet removal. Paths arrive as UTF-8 and
// go to the wide-character calls, so any name the system allows can be used.
#include <windows.h>

#include <cstdio>
#include <string>

#include "files/file_system.h"

namespace {

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                      nullptr, nullptr);
  return text;
}

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

// The target may be replaced only if it could be written in place: a read-only file, a
// folder of that name, or a file another handle holds open keeps its bytes and the
// save fails. OPEN_EXISTING without truncation: the check alone changes nothing.
enum class TargetState { kMissing, kWritable, kRefused };
TargetState CheckTarget(const std::wstring& path) {
  // The mark is read first: where the file system does not enforce it (a share, or
  // Wine run by root) opening for writing would succeed.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return TargetState::kRefused;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
               ? TargetState::kMissing
               : TargetState::kRefused;
  }
  CloseHandle(file);
  return TargetState::kWritable;
}

HANDLE CreateTemporary(const std::wstring& path, std::wstring* temporary) {
  static volatile LONG sequence = 0;
  const std::wstring prefix = FolderOf(path) + L"~" + NameOf(path) + L".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[48];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L"%lu.%ld.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<long>(InterlockedIncrement(&sequence)));
    *temporary = prefix + suffix;
    const HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, next, chunk, &written, nullptr) || written == 0) return false;
    next += written;
    size -= written;
  }
  return true;
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
      return Narrow(FolderOf(buffer));
    }
    buffer.resize(buffer.size() * 2);
  }
}

const char* PathSeparator() { return "\\"; }

bool MakeFolder(const std::string& path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count) {
  const std::wstring target = Widen(path);
  if (target.empty()) return false;
  if (CheckTarget(target) == TargetState::kRefused) return false;

  std::wstring temporary;
  const HANDLE file = CreateTemporary(target, &temporary);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool whole = true;
  for (size_t i = 0; i < part_count && whole; ++i)
    whole = WriteAll(file, parts[i].data, parts[i].size);
  if (!CloseHandle(file)) whole = false;
  if (whole && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  DeleteFileW(temporary.c_str());
  return false;
}

void RemoveFileQuietly(const std::string& path) {
  const std::wstring wide = Widen(path);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  DeleteFileW(wide.c_str());
}
