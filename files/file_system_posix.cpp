// The file-system services of the card files on Linux and other POSIX systems: the
// executable's folder, folders, a file replaced whole in one step (and the temporaries
// of killed saves swept away), removal.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

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

SaveError ErrorOf(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return SaveError::kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return SaveError::kNoPermission;
    case ENOENT:
    case ENOTDIR:
      return SaveError::kMissingFolder;
    case EISDIR:
    case ENXIO:  // a FIFO nobody reads
      return SaveError::kNotRegularFile;
    default:
      return SaveError::kOther;
  }
}

SaveError WriteAll(int fd, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, next, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return ErrorOf(errno);
    }
    if (written == 0) return SaveError::kOther;  // no progress: treat as a failed device
    next += written;
    size -= static_cast<size_t>(written);
  }
  return SaveError::kNone;
}

// The target may be replaced only if it could be written in place: an immutable,
// append-only or (for other users than root) read-only file keeps its bytes and the
// save fails. No truncation: the check alone must not change the file. O_NONBLOCK keeps
// a FIFO of that name from stalling the check. `mode` receives the target's
// permissions so that the replacement keeps them; `exists` whether there is a target.
SaveError CheckTarget(const std::string& path, bool* exists, mode_t* mode) {
  *exists = false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? SaveError::kNone : ErrorOf(errno);
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  if (!regular) return SaveError::kNotRegularFile;
  *exists = true;
  *mode = info.st_mode & 07777;
  return SaveError::kNone;
}

constexpr const char* kTemporaryEnd = ".tmp";

// A new file of a name nobody else uses, beside the target: ".NAME.PID.N.tmp". Hidden
// (leading dot), so a process killed mid-save leaves nothing that looks like a card file,
// and named by its process, so that a later run can tell it is stale.
int CreateTemporary(const std::string& path, std::string* temporary) {
  static std::atomic<unsigned> sequence{0};
  const std::string prefix = FolderOf(path) + "." + NameOf(path) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "%ld.%u%s", static_cast<long>(::getpid()),
                  sequence.fetch_add(1), kTemporaryEnd);
    *temporary = prefix + suffix;
    const int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The process that made a temporary of that name, or 0 when the name is not one.
pid_t OwnerOfTemporary(const std::string& name) {
  const size_t end_length = std::strlen(kTemporaryEnd);
  if (name.size() < 1 + end_length || name[0] != '.' ||
      name.compare(name.size() - end_length, end_length, kTemporaryEnd) != 0)
    return 0;
  const std::string stem = name.substr(1, name.size() - 1 - end_length);  // NAME.PID.N
  const size_t sequence_dot = stem.rfind('.');
  if (sequence_dot == std::string::npos || sequence_dot == 0 ||
      !AllDigits(stem.substr(sequence_dot + 1)))
    return 0;
  const size_t pid_dot = stem.rfind('.', sequence_dot - 1);
  if (pid_dot == std::string::npos || pid_dot == 0) return 0;  // NAME may not be empty
  const std::string pid = stem.substr(pid_dot + 1, sequence_dot - pid_dot - 1);
  if (!AllDigits(pid) || pid.size() > 9) return 0;
  return static_cast<pid_t>(std::stol(pid));
}

// A process runs while a signal could be sent to it (EPERM: it runs as someone else).
bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

// The folder as an absolute path, so that one folder named two ways is swept once.
std::string AbsoluteFolder(const std::string& folder) {
  if (!folder.empty() && folder[0] == '/') return folder;
  char here[4096];
  if (::getcwd(here, sizeof here) == nullptr) return folder;
  return std::string(here) + "/" + folder;
}

// The first save into a folder sweeps it; the saver thread and the drawing thread may
// both save, so the record of swept folders is shared under a lock.
void SweepOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  const std::lock_guard<std::mutex> lock(mutex);
  if (swept.insert(AbsoluteFolder(folder)).second) RemoveStaleTemporaries(folder);
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

SaveError ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count) {
  if (path.empty()) return SaveError::kOther;
  bool exists = false;
  mode_t mode = 0;
  const SaveError refused = CheckTarget(path, &exists, &mode);
  if (refused != SaveError::kNone) return refused;
  SweepOnce(FolderOf(path));

  std::string temporary;
  const int fd = CreateTemporary(path, &temporary);
  if (fd < 0) return ErrorOf(errno);
  SaveError error = SaveError::kNone;
  for (size_t i = 0; i < part_count && error == SaveError::kNone; ++i)
    error = WriteAll(fd, parts[i].data, parts[i].size);
  // Keeping the permissions is a courtesy; a file system without them must not fail the
  // save. Set-user-ID and set-group-ID are not passed on: new bytes under an old
  // privilege would be a way to gain it.
  if (error == SaveError::kNone && exists) (void)::fchmod(fd, mode & ~(S_ISUID | S_ISGID));
  // close reports late write errors of some file systems (a full disk on NFS).
  if (::close(fd) != 0 && error == SaveError::kNone) error = ErrorOf(errno);
  if (error == SaveError::kNone) {
    if (::rename(temporary.c_str(), path.c_str()) == 0) return SaveError::kNone;
    error = ErrorOf(errno);
  }
  ::unlink(temporary.c_str());
  return error;
}

void RemoveStaleTemporaries(const std::string& folder) {
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (listing == nullptr) return;
  const std::string prefix =
      folder.empty() || folder.back() == '/' ? folder : folder + "/";
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t owner = OwnerOfTemporary(entry->d_name);
    if (owner > 0 && !ProcessRuns(owner)) stale.push_back(prefix + entry->d_name);
  }
  ::closedir(listing);
  for (const std::string& path : stale) {
    struct stat info {};
    // Only a plain file: a folder or link of such a name is not one of ours.
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
}

RemoveResult RemoveFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return RemoveResult::kMissing;
  if (S_ISREG(info.st_mode)) ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR);
  if (::unlink(path.c_str()) == 0) return RemoveResult::kRemoved;
  return errno == ENOENT ? RemoveResult::kMissing : RemoveResult::kRefused;
}
