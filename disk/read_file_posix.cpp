// Reading a whole file on POSIX systems.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disk/read_file.h"

ReadResult ReadFileBytes(const std::string& path, size_t most_bytes, std::string* bytes) {
  // The type first: opening a FIFO waits for a writer, opening a device may act on it.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  if (!S_ISREG(info.st_mode)) return ReadResult::kNotRegularFile;
  // Not blocking either, should the name be swapped for a FIFO between the two looks.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  ReadResult result = ReadResult::kRead;
  if (::fstat(fd, &info) != 0) {
    result = ReadResult::kFailed;
  } else if (!S_ISREG(info.st_mode)) {
    result = ReadResult::kNotRegularFile;
  } else if (static_cast<unsigned long long>(info.st_size) > most_bytes) {
    result = ReadResult::kTooLarge;
  } else {
    std::string read;
    // The size is a hint: a file that grows while it is read is still read to its end,
    // up to the limit.
    read.resize(static_cast<size_t>(info.st_size) + 1);
    size_t have = 0;
    for (;;) {
      if (have == read.size()) {
        if (read.size() > most_bytes) {
          result = ReadResult::kTooLarge;
          break;
        }
        read.resize(read.size() * 2);
      }
      const ssize_t n = ::read(fd, &read[have], read.size() - have);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = ReadResult::kFailed;
        break;
      }
      if (n == 0) break;
      have += static_cast<size_t>(n);
    }
    if (result == ReadResult::kRead && have > most_bytes) result = ReadResult::kTooLarge;
    if (result == ReadResult::kRead) {
      read.resize(have);
      bytes->swap(read);
    }
  }
  ::close(fd);
  return result;
}
