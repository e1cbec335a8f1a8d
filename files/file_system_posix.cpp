// The file-system services of the card files on Linux and other POSIX systems: the
// executable's folder, folders, a file replaced whole in one step, quiet removal.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "files/file_system.h"

namespace {

// The folder part of a path, with its trailing separator; "" for a bare name, so that
// names built on it stay relative to the current folder.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, next, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;  // no progress: treat as a failed device
    next += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// The target may be replaced only if it could be written in place: an immutable,
// append-only or (for other users than root) read-only file keeps its bytes and the
// save fails. No truncation: the check alone must not change the file. O_NONBLOCK keeps
// a FIFO of that name from stalling the check. `mode` receives the target's
// permissions so that the replacement keeps them.
enum class TargetState { kMissing, kWritable, kRefused };
TargetState CheckTarget(const std::string& path, mode_t* mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? TargetState::kMissing : TargetState::kRefused;
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  if (!regular) return TargetState::kRefused;
  *mode = info.st_mode & 07777;
  return TargetState::kWritable;
}

// A new file of a name nobody else uses, beside the target. Hidden (leading dot), so a
// process killed mid-save leaves nothing that looks like a card file.
int CreateTemporary(const std::string& path, std::string* temporary) {
  static std::atomic<unsigned> sequence{0};
  const std::string prefix = FolderOf(path) + "." + NameOf(path) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "%ld.%u.tmp", static_cast<long>(::getpid()),
                  sequence.fetch_add(1));
    *temporary = prefix + suffix;
    const int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::string ExecutableFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", &buffer[0], buffer.size());
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<size_t>(length));
      return FolderOf(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

const char* PathSeparator() { return "/"; }

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count) {
  if (path.empty()) return false;
  mode_t mode = 0;
  const TargetState target = CheckTarget(path, &mode);
  if (target == TargetState::kRefused) return false;

  std::string temporary;
  const int fd = CreateTemporary(path, &temporary);
  if (fd < 0) return false;
  bool whole = true;
  for (size_t i = 0; i < part_count && whole; ++i) whole = WriteAll(fd, parts[i].data, parts[i].size);
  // Keeping the permissions is a courtesy; a file system without them must not fail the save.
  if (whole && target == TargetState::kWritable) (void)::fchmod(fd, mode);
  // close reports late write errors of some file systems (a full disk on NFS).
  if (::close(fd) != 0) whole = false;
  if (whole && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

void RemoveFileQuietly(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR);
  ::unlink(path.c_str());
}
