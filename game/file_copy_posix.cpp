#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

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
  static thread_local char piece[kPieceBytes];
  bool read_whole = false;
  for (;;) {
    const ssize_t got = ::read(source, piece, sizeof piece);
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
