#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "game/file_copy.h"

namespace {
constexpr size_t kPieceBytes = 1u << 16;
}  // namespace

SaveError CopyFileInPieces(const std::string& from, const std::string& to) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return SaveError::kOther;
  FileReplacement copy;
  if (BeginReplacement(to, &copy) != SaveError::kNone) {
    ::close(source);
    return copy.error;
  }
  // On the heap, for this copy only: a thread_local array would cost every thread of the
  // program (the phones' page's included) its 64 KB.
  std::vector<char> buffer(kPieceBytes);
  char* const piece = buffer.data();
  bool read_whole = false;
  for (;;) {
    const ssize_t got = ::read(source, piece, kPieceBytes);
    if (got < 0 && errno == EINTR) continue;
    read_whole = got == 0;
    if (got <= 0 || AppendToReplacement(&copy, piece, static_cast<size_t>(got)) != SaveError::kNone)
      break;
  }
  ::close(source);
  if (read_whole || copy.error != SaveError::kNone) return CommitReplacement(&copy);
  AbandonReplacement(&copy);
  return SaveError::kOther;
}
