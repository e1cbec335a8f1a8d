// Helpers of the card-file tests (see test_support.h).
#include "tests/support/test_support.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <chrono>
#include <sstream>
#include <thread>

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t FileLength(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& path) {
  if (!PathExists(path)) return;
  // Removal goes on past an entry that will not go, so the rest is still cleaned.
  ::nftw(
      path.c_str(),
      [](const char* name, const struct stat*, int, FTW*) {
        ::remove(name);
        return 0;
      },
      16, FTW_DEPTH | FTW_PHYS);
}

uint16_t Le16(const std::string& bytes, size_t offset) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes.at(offset)) |
                               static_cast<uint8_t>(bytes.at(offset + 1)) << 8);
}

uint32_t Le32(const std::string& bytes, size_t offset) {
  return uint32_t{Le16(bytes, offset)} | uint32_t{Le16(bytes, offset + 2)} << 16;
}

ScratchFolder::ScratchFolder() {
  char name[] = "/tmp/tessarine-files-XXXXXX";
  if (::mkdtemp(name) != nullptr) path = name;
}

ScratchFolder::~ScratchFolder() {
  if (!path.empty()) RemoveTree(path);
}

InFolder::InFolder(const std::string& folder) {
  char here[4096];
  if (::getcwd(here, sizeof here) != nullptr) previous = here;
  if (::chdir(folder.c_str()) != 0) std::perror("chdir");
}

InFolder::~InFolder() {
  if (!previous.empty() && ::chdir(previous.c_str()) != 0) std::perror("chdir");
}

ScopedTmpfs::ScopedTmpfs(const std::string& mount_point, int64_t bytes) : folder(mount_point) {
  const std::string options = "size=" + std::to_string(bytes);
  if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0)
    mounted = true;
  else
    reason = "mount of a tmpfs refused here: " + std::string(std::strerror(errno));
}

bool ScopedTmpfs::MakeReadOnly() {
  if (!mounted) return false;
  if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0) return true;
  reason = "read-only remount refused here: " + std::string(std::strerror(errno));
  return false;
}

ScopedTmpfs::~ScopedTmpfs() {
  if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
}

ScopedReadOnlyBind::ScopedReadOnlyBind(const std::string& path) : folder(path) {
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    reason = "bind mount refused here: " + std::string(std::strerror(errno));
    return;
  }
  mounted = true;
  if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    reason = "read-only remount of a bind mount refused here: " + std::string(std::strerror(errno));
    ::umount2(folder.c_str(), MNT_DETACH);
    mounted = false;
  }
}

ScopedReadOnlyBind::~ScopedReadOnlyBind() {
  if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
}

ScopedEnvironment::ScopedEnvironment(const char* variable, const char* value) : name(variable) {
  if (const char* now = std::getenv(variable)) {
    had_value = true;
    previous = now;
  }
  if (value != nullptr)
    ::setenv(variable, value, 1);
  else
    ::unsetenv(variable);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (had_value)
    ::setenv(name.c_str(), previous.c_str(), 1);
  else
    ::unsetenv(name.c_str());
}

namespace {
bool ChangeImmutable(const std::string& path, bool on, std::string* reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *reason = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  if (!done) *reason = "the immutable mark is refused here: " + std::string(std::strerror(errno));
  ::close(fd);
  return done;
}
}  // namespace

ScopedImmutable::ScopedImmutable(const std::string& file) : path(file) {
  set = ChangeImmutable(path, true, &reason);
}

ScopedImmutable::~ScopedImmutable() {
  std::string ignored;
  if (set) ChangeImmutable(path, false, &ignored);
}

uint32_t DecodedImage::Rgb(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return uint32_t{rgb[at]} << 16 | uint32_t{rgb[at + 1]} << 8 | rgb[at + 2];
}

DecodedImage DecodeWithPil(const std::string& path) {
  // Debian's interpreter, which has PIL (python3-pil), whatever else is first on PATH.
  static const char* const kScript =
      "import sys\n"
      "from PIL import Image\n"
      "im = Image.open(sys.argv[1]); im.load()\n"
      "out = sys.stdout.buffer\n"
      "out.write(('%s %s %d %d\\n' % (im.format, im.mode, im.size[0], im.size[1])).encode())\n"
      "out.write(im.convert('RGB').tobytes())\n";
  DecodedImage image;
  const std::string command = "/usr/bin/python3 -c \"$TESSARINE_DECODER\" '" + path + "'";
  ::setenv("TESSARINE_DECODER", kScript, 1);
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    image.error = "cannot start python3";
    return image;
  }
  char format[16] = {}, mode[16] = {};
  if (std::fscanf(pipe, "%15s %15s %d %d", format, mode, &image.width, &image.height) != 4 ||
      std::fgetc(pipe) != '\n') {
    image.error = "the decoder gave no image (is python3-pil installed?)";
  } else if (std::string(format) != "BMP" || std::string(mode) != "RGB") {
    image.error = std::string("decoded as ") + format + " " + mode + ", not BMP RGB";
  } else {
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    if (std::fread(image.rgb.data(), 1, image.rgb.size(), pipe) != image.rgb.size())
      image.error = "the decoder's pixels ended early";
  }
  const int status = ::pclose(pipe);
  if (image.error.empty() && status != 0) image.error = "the decoder failed";
  return image;
}

namespace {
constexpr int kNoNamespace = 120;
constexpr int kNoMount = 121;
}  // namespace

int RunWithoutProc(int (*body)(), std::string* reason) {
  const pid_t child = ::fork();
  if (child < 0) {
    *reason = "fork failed";
    return -1;
  }
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0) ::_exit(kNoNamespace);
    // Private, so that the tmpfs stays in this namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/proc", "tmpfs", 0, "size=64k") != 0)
      ::_exit(kNoMount);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    *reason = "the child did not end normally";
    return -1;
  }
  const int code = WEXITSTATUS(status);
  if (code == kNoNamespace) *reason = "no mount namespace of its own here (unshare refused)";
  if (code == kNoMount) *reason = "cannot hide /proc under a tmpfs here";
  return code == kNoNamespace || code == kNoMount ? -1 : code;
}

namespace {
// The kernel's name for where a FIFO's opener waits for the other end.
bool WaitsForAWriter(int pid) {
  const std::string wchan = ReadWholeFile("/proc/" + std::to_string(pid) + "/wchan");
  return wchan.find("partner") != std::string::npos || wchan.find("fifo") != std::string::npos;
}
}  // namespace

WaitingFifoReader::WaitingFifoReader(const std::string& path) : fifo(path) {
  pid = ::fork();
  if (pid == 0) {
    (void)::open(fifo.c_str(), O_RDONLY);
    for (;;) ::pause();  // woken: it stays out of its open until ended
  }
  for (int look = 0; look < 500 && pid > 0 && !waiting; ++look) {
    waiting = WaitsForAWriter(pid);
    if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool WaitingFifoReader::Woken() {
  if (pid <= 0) return false;
  // A reader that a writer woke leaves its open at once; it is given a moment to do so.
  bool still_waiting = true;
  for (int look = 0; look < 20 && still_waiting; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    still_waiting = WaitsForAWriter(pid);
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  pid = -1;
  return !still_waiting;
}

WaitingFifoReader::~WaitingFifoReader() {
  if (pid > 0) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
}

std::string CommandOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}
