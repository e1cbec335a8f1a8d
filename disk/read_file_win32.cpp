// Reading a whole file on Windows, through the wide-character calls so that any name
// the system allows can be read.
#include <windows.h>

#include <string>

#include "disk/read_file.h"
#include "text/utf16_win32.h"

ReadResult ReadFileBytes(const std::string& path, size_t most_bytes, std::string* bytes) {
  // A name that is not UTF-8 names no file: it is not read under a guessed name.
  const std::wstring wide = WideOfUtf8(path, true);
  if (wide.empty()) return ReadResult::kFailed;
  // A folder is told from its marks; a device or pipe from its type once opened.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return ReadResult::kNotRegularFile;
  const HANDLE file =
      CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD why = GetLastError();
    return why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing
                                                                     : ReadResult::kFailed;
  }
  ReadResult result = ReadResult::kRead;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    result = ReadResult::kNotRegularFile;
  } else if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    result = ReadResult::kFailed;
  } else if (static_cast<unsigned long long>(size.QuadPart) > most_bytes) {
    result = ReadResult::kTooLarge;
  } else {
    std::string read(static_cast<size_t>(size.QuadPart), '\0');
    size_t have = 0;
    while (have < read.size()) {
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(read.size() - have);
      if (!ReadFile(file, &read[have], want, &got, nullptr)) {
        result = ReadResult::kFailed;
        break;
      }
      if (got == 0) break;
      have += got;
    }
    if (result == ReadResult::kRead) {
      read.resize(have);
      bytes->swap(read);
    }
  }
  CloseHandle(file);
  return result;
}
