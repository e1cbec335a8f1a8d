#include <windows.h>

#include "text/utf16_win32.h"
#include <vector>

#include "game/file_copy.h"

namespace {
constexpr DWORD kPieceBytes = 1u << 16;
}  // namespace

SaveError CopyFileInPieces(const std::string& from, const std::string& to) {
  const std::wstring wide = WideOfUtf8(from, true);
  if (wide.empty()) return SaveError::kOther;
  const HANDLE source =
      CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (source == INVALID_HANDLE_VALUE) return SaveError::kOther;
  FileReplacement copy;
  if (BeginReplacement(to, &copy) != SaveError::kNone) {
    CloseHandle(source);
    return copy.error;
  }
  // On the heap, for this copy only: a thread_local array would cost every thread of the
  // program (the phones' page's included) its 64 KB.
  std::vector<char> buffer(kPieceBytes);
  char* const piece = buffer.data();
  bool read_whole = false;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(source, piece, kPieceBytes, &got, nullptr)) break;
    read_whole = got == 0;
    if (got == 0 || AppendToReplacement(&copy, piece, got) != SaveError::kNone) break;
  }
  CloseHandle(source);
  if (read_whole || copy.error != SaveError::kNone) return CommitReplacement(&copy);
  AbandonReplacement(&copy);
  return SaveError::kOther;
}
