// The file system's platform calls on Linux and other POSIX systems: the executable's
// folder, folders and their flushing, the calls of the replacement in one step
// (file_system_platform.h), removal.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "disk/file_system.h"
#include "disk/file_system_platform.h"

namespace {

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

// A file system that cannot flush (EINVAL) has nothing to wait for.
SaveError FlushError(int error) { return error == EINVAL ? SaveError::kNone : ErrorOf(error); }

int DescriptorOf(intptr_t handle) { return static_cast<int>(handle); }

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
const char* PathSeparators() { return "/"; }

std::string FolderKey(const std::string& folder) {
  std::string key = folder;
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  if (key.empty()) key = ".";
  if (key[0] == '/') return key;
  char here[4096];
  if (::getcwd(here, sizeof here) == nullptr) return key;
  return std::string(here) + "/" + key;
}

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

// The name is looked at, never opened: a link, FIFO or device of that name is refused as
// it is, so no reader of a FIFO wakes and no device is touched. access() asks what
// opening for writing would answer (an immutable or, for other users than root,
// read-only file), without opening.
SaveError CheckTarget(const std::string& path, bool* exists, unsigned* mode) {
  *exists = false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? SaveError::kNone : ErrorOf(errno);
  if (!S_ISREG(info.st_mode)) return SaveError::kNotRegularFile;
  if (::access(path.c_str(), W_OK) != 0) return ErrorOf(errno);
  *exists = true;
  *mode = info.st_mode & 07777;
  return SaveError::kNone;
}

char TemporaryMark() { return '.'; }

bool NameEndsWith(const std::string& name, const char* ending) {
  const size_t length = std::strlen(ending);
  return name.size() >= length && name.compare(name.size() - length, length, ending) == 0;
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::getpid()); }
size_t MostProcessIdDigits() { return 9; }

// EPERM: it runs as someone else.
bool ProcessRuns(unsigned long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

SaveError CreateNewFile(const std::string& path, intptr_t* handle, bool* taken) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  *handle = fd;
  *taken = fd < 0 && errno == EEXIST;
  return fd < 0 ? ErrorOf(errno) : SaveError::kNone;
}

SaveError WriteToFile(intptr_t handle, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(DescriptorOf(handle), next, size);
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

// Set-user-ID and set-group-ID are not passed on: new bytes under an old privilege would
// be a way to gain it.
void KeepPermissions(intptr_t handle, unsigned mode) {
  (void)::fchmod(DescriptorOf(handle), static_cast<mode_t>(mode) & ~(S_ISUID | S_ISGID));
}

// The writeback is started at once, so that the wait of fdatasync is only for what is
// already on its way.
SaveError FlushFile(intptr_t handle) {
  const int fd = DescriptorOf(handle);
#ifdef SYNC_FILE_RANGE_WRITE
  (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  while (::fdatasync(fd) != 0) {
    if (errno != EINTR) return FlushError(errno);
  }
  return SaveError::kNone;
}

SaveError CloseFile(intptr_t handle) {
  return ::close(DescriptorOf(handle)) == 0 ? SaveError::kNone : ErrorOf(errno);
}

SaveError MoveIntoPlace(const std::string& temporary, const std::string& path) {
  return ::rename(temporary.c_str(), path.c_str()) == 0 ? SaveError::kNone : ErrorOf(errno);
}

void DeleteQuietly(const std::string& path) { ::unlink(path.c_str()); }

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) names.push_back(entry->d_name);
  ::closedir(listing);
  return names;
}

void RemovePlainFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
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
