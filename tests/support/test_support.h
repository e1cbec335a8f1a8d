// Helpers of the card-file tests: scratch folders, whole-file reads, little-endian
// fields, an independent bitmap decoder (Python's PIL) and the ways a machine can
// refuse a write (a full disk, a read-only file system, an immutable file), each of
// which undoes itself when it goes out of scope.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::string ReadWholeFile(const std::string& path);  // "" if missing
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
int64_t FileLength(const std::string& path);  // -1 if missing
void WriteWholeFile(const std::string& path, const std::string& bytes);
// Sorted names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
void RemoveTree(const std::string& path);
// What a shell command writes, its errors too (an oracle's output: pdftotext, pdfinfo).
std::string CommandOutput(const std::string& command);

uint16_t Le16(const std::string& bytes, size_t offset);
uint32_t Le32(const std::string& bytes, size_t offset);

// A fresh empty folder under /tmp, removed with everything in it at the end.
struct ScratchFolder {
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string path;  // no trailing separator
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Runs with another current folder and goes back at the end.
struct InFolder {
  explicit InFolder(const std::string& folder);
  ~InFolder();
  std::string previous;
};

// A tmpfs of `bytes` mounted on an existing folder. `mounted` is false (and `reason`
// says why) where the machine refuses the mount.
struct ScopedTmpfs {
  ScopedTmpfs(const std::string& folder, int64_t bytes);
  ~ScopedTmpfs();
  bool MakeReadOnly();  // remount read-only; false if refused
  std::string folder;
  bool mounted = false;
  std::string reason;
};

// A folder made read-only by binding it onto itself and remounting the binding
// read-only: a refusal even root meets. `mounted` is false (and `reason` says why)
// where the machine refuses mounts.
struct ScopedReadOnlyBind {
  explicit ScopedReadOnlyBind(const std::string& folder);
  ~ScopedReadOnlyBind();
  ScopedReadOnlyBind(const ScopedReadOnlyBind&) = delete;
  ScopedReadOnlyBind& operator=(const ScopedReadOnlyBind&) = delete;
  std::string folder;
  bool mounted = false;
  std::string reason;
};

// An environment variable set (or, with nullptr, unset) for a scope, then put back.
struct ScopedEnvironment {
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  std::string name;
  bool had_value = false;
  std::string previous;
};

// The immutable mark (chattr +i) on a file, cleared at the end.
struct ScopedImmutable {
  explicit ScopedImmutable(const std::string& path);
  ~ScopedImmutable();
  std::string path;
  bool set = false;
  std::string reason;
};

// Runs `body` in a child process whose /proc is hidden under an empty tmpfs (a mount
// namespace of its own), as on a system without /proc, and gives the child's exit code.
// -1 (and `reason`) where the machine refuses the namespace or the mount.
int RunWithoutProc(int (*body)(), std::string* reason);

// A child blocked opening a FIFO for reading, as a reader waiting for a writer. `Woken`
// tells whether anyone opened the FIFO for writing since, by whether the child is still
// in its open.
struct WaitingFifoReader {
  explicit WaitingFifoReader(const std::string& fifo);
  ~WaitingFifoReader();
  bool Woken();  // ends the child
  std::string fifo;
  int pid = -1;
  bool waiting = false;  // seen blocked in its open before the test went on
};

// A bitmap decoded by PIL: width, height and RGB bytes top-down. `error` is set when the
// decoder could not run or refused the file.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  std::string error;
  uint32_t Rgb(int x, int y) const;  // 0xRRGGBB
};
DecodedImage DecodeWithPil(const std::string& path);
