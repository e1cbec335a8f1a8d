// The file-system services of the card files on Linux and other POSIX systems: the
// executable's folder, folders, a file replaced whole in one step and flushed to the disk
// (and the temporaries of killed saves swept away), removal.
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
#include "files/save_control.h"

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

// The target may be replaced only if it is a regular file that could be written in
// place: an immutable or (for other users than root) read-only file keeps its bytes and
// the save fails. The name is looked at, never opened: a link, FIFO or device of that
// name is refused as it is, so no reader of a FIFO wakes and no device is touched.
// access() asks what opening for writing would answer, without opening. `mode`
// receives the target's permissions so that the replacement keeps them; `exists`
// whether there is a target.
SaveError CheckTarget(const std::string& path, bool* exists, mode_t* mode) {
  *exists = false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? SaveError::kNone : ErrorOf(errno);
  if (!S_ISREG(info.st_mode)) return SaveError::kNotRegularFile;
  if (::access(path.c_str(), W_OK) != 0) return ErrorOf(errno);
  *exists = true;
  *mode = info.st_mode & 07777;
  return SaveError::kNone;
}

// A file system that cannot flush (EINVAL) has nothing to wait for.
SaveError FlushError(int error) { return error == EINVAL ? SaveError::kNone : ErrorOf(error); }

// The file's bytes on the disk. The writeback is started at once, so that the wait of
// fdatasync is only for what is already on its way.
SaveError FlushFile(int fd) {
  if (!SavesFlushed()) return SaveError::kNone;
#ifdef SYNC_FILE_RANGE_WRITE
  (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  while (::fdatasync(fd) != 0) {
    if (errno != EINTR) return FlushError(errno);
  }
  return SaveError::kNone;
}

// A folder as one key for the batch record: no trailing separator, absolute.
std::string FolderKey(const std::string& folder) {
  std::string key = folder;
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  if (key.empty()) key = ".";
  if (key[0] == '/') return key;
  char here[4096];
  if (::getcwd(here, sizeof here) == nullptr) return key;
  return std::string(here) + "/" + key;
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

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) return false;
  // A new folder whose entry is lost to a power cut would take every card in it along.
  std::string parent = path;
  while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
  (void)FlushFolder(FolderOf(parent));
  return true;
}

SaveError FlushFolder(const std::string& folder) {
  if (!SavesFlushed()) return SaveError::kNone;
  const int fd = ::open(folder.empty() ? "." : folder.c_str(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return ErrorOf(errno);
  SaveError error = SaveError::kNone;
  while (::fsync(fd) != 0) {
    if (errno != EINTR) {
      error = FlushError(errno);
      break;
    }
  }
  ::close(fd);
  return error;
}

void BeginFolderBatch(const std::string& folder) { MarkFolderInBatch(FolderKey(folder), true); }

SaveError EndFolderBatch(const std::string& folder) {
  MarkFolderInBatch(FolderKey(folder), false);
  return FlushFolder(folder);
}

SaveError BeginReplacement(const std::string& path, FileReplacement* file) {
  *file = FileReplacement{};
  file->path = path;
  file->error = SaveError::kOther;
  if (path.empty()) return file->error;
  if (SavesAbandoned()) return file->error = SaveError::kInterrupted;
  mode_t mode = 0;
  const SaveError refused = CheckTarget(path, &file->exists, &mode);
  if (refused != SaveError::kNone) return file->error = refused;
  file->mode = mode;
  SweepOnce(FolderOf(path));
  const int fd = CreateTemporary(path, &file->temporary);
  if (fd < 0) {
    file->temporary.clear();
    return file->error = ErrorOf(errno);
  }
  file->handle = fd;
  return file->error = SaveError::kNone;
}

SaveError AppendToReplacement(FileReplacement* file, const void* data, size_t size) {
  if (file->error != SaveError::kNone) return file->error;
  file->error = WriteAll(static_cast<int>(file->handle), data, size);
  if (file->error != SaveError::kNone) AbandonReplacement(file);
  return file->error;
}

void AbandonReplacement(FileReplacement* file) {
  if (file->handle >= 0) ::close(static_cast<int>(file->handle));
  file->handle = -1;
  if (!file->temporary.empty()) ::unlink(file->temporary.c_str());
  file->temporary.clear();
  if (file->error == SaveError::kNone) file->error = SaveError::kInterrupted;
}

SaveError CommitReplacement(FileReplacement* file) {
  if (file->error != SaveError::kNone || file->handle < 0) {
    AbandonReplacement(file);
    return file->error == SaveError::kNone ? SaveError::kOther : file->error;
  }
  const int fd = static_cast<int>(file->handle);
  SaveError error = SaveError::kNone;
  // Keeping the permissions is a courtesy; a file system without them must not fail the
  // save. Set-user-ID and set-group-ID are not passed on: new bytes under an old
  // privilege would be a way to gain it.
  if (file->exists) (void)::fchmod(fd, static_cast<mode_t>(file->mode) & ~(S_ISUID | S_ISGID));
  // The bytes go to the disk before the name: renamed first, a power cut could leave the
  // name on an empty file.
  error = FlushFile(fd);
  // close reports late write errors of some file systems (a full disk on NFS).
  file->handle = -1;
  if (::close(fd) != 0 && error == SaveError::kNone) error = ErrorOf(errno);
  if (error == SaveError::kNone && SavesAbandoned()) error = SaveError::kInterrupted;
  if (error == SaveError::kNone) {
    if (::rename(file->temporary.c_str(), file->path.c_str()) == 0) {
      file->temporary.clear();
      const std::string folder = FolderOf(file->path);
      file->error = FolderInBatch(FolderKey(folder)) ? SaveError::kNone : FlushFolder(folder);
      return file->error;
    }
    error = ErrorOf(errno);
  }
  file->error = error;
  AbandonReplacement(file);
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

// A folder is known by its device and inode, which every spelling of it shares.
bool SameFile(const std::string& a, const std::string& b) {
  if (NameOf(a) != NameOf(b)) return false;
  const std::string folder_a = FolderOf(a), folder_b = FolderOf(b);
  struct stat info_a {}, info_b {};
  if (::stat(folder_a.empty() ? "." : folder_a.c_str(), &info_a) != 0 ||
      ::stat(folder_b.empty() ? "." : folder_b.c_str(), &info_b) != 0)
    return FolderKey(folder_a) == FolderKey(folder_b);
  return info_a.st_dev == info_b.st_dev && info_a.st_ino == info_b.st_ino;
}

RemoveResult RemoveFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return RemoveResult::kMissing;
  if (S_ISREG(info.st_mode)) ::chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR);
  if (::unlink(path.c_str()) == 0) return RemoveResult::kRemoved;
  return errno == ENOENT ? RemoveResult::kMissing : RemoveResult::kRefused;
}
