// The replacement in one step, the same on every platform over the calls of
// file_system_platform.h, and the state every save shares: whether saves wait for the
// disk, whether they have been abandoned, which folders a batch holds. The two flags are
// lock-free atomics, so that a signal handler may abandon the saves; the batch folders
// and the swept folders sit under locks, since the drawing thread and the writer thread
// both save.
#include <atomic>
#include <climits>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "disk/file_system.h"
#include "disk/file_system_platform.h"
#include "text/path.h"

namespace {
std::atomic<bool> g_abandoned{false};
std::atomic<bool> g_flushed{true};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

std::mutex g_batch_mutex;
std::multiset<std::string> g_batch_folders;  // a multiset: a folder may be marked twice

void MarkFolderInBatch(const std::string& key, bool in_batch) {
  const std::lock_guard<std::mutex> lock(g_batch_mutex);
  if (in_batch) {
    g_batch_folders.insert(key);
    return;
  }
  const auto found = g_batch_folders.find(key);
  if (found != g_batch_folders.end()) g_batch_folders.erase(found);
}

bool FolderInBatch(const std::string& key) {
  const std::lock_guard<std::mutex> lock(g_batch_mutex);
  return g_batch_folders.count(key) > 0;
}


constexpr const char* kTemporaryEnd = ".tmp";

// A new file of a name nobody else uses, beside the target, named by its process so that
// a later run can tell it is stale, and hidden where the platform hides names.
SaveError CreateTemporary(const std::string& path, FileReplacement* file) {
  static std::atomic<unsigned> sequence{0};
  const std::string prefix = FolderOf(path) + TemporaryMark() + NameOf(path) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    file->temporary = prefix + std::to_string(CurrentProcessId()) + "." +
                      std::to_string(sequence.fetch_add(1)) + kTemporaryEnd;
    bool taken = false;
    const SaveError error = CreateNewFile(file->temporary, &file->handle, &taken);
    if (!taken) return error;
  }
  return SaveError::kOther;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

unsigned long ProcessIdOf(const std::string& digits) {
  unsigned long long value = 0;
  for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
  return value > ULONG_MAX ? ULONG_MAX : static_cast<unsigned long>(value);
}

// The process that made a temporary of that name, or 0 when the name is not one.
unsigned long OwnerOfTemporary(const std::string& name) {
  const size_t end_length = std::char_traits<char>::length(kTemporaryEnd);
  if (name.size() < 1 + end_length || name[0] != TemporaryMark() ||
      !NameEndsWith(name, kTemporaryEnd))
    return 0;
  const std::string stem = name.substr(1, name.size() - 1 - end_length);  // NAME.PID.N
  const size_t sequence_dot = stem.rfind('.');
  if (sequence_dot == std::string::npos || sequence_dot == 0 ||
      !AllDigits(stem.substr(sequence_dot + 1)))
    return 0;
  const size_t pid_dot = stem.rfind('.', sequence_dot - 1);
  if (pid_dot == std::string::npos || pid_dot == 0) return 0;  // NAME may not be empty
  const std::string pid = stem.substr(pid_dot + 1, sequence_dot - pid_dot - 1);
  if (!AllDigits(pid) || pid.size() > MostProcessIdDigits()) return 0;
  return ProcessIdOf(pid);
}

// The first save into a folder sweeps it.
void SweepOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  const std::lock_guard<std::mutex> lock(mutex);
  if (swept.insert(FolderKey(folder)).second) RemoveStaleTemporaries(folder);
}

// The temporary closed with its bytes on the disk, the target's permissions kept.
SaveError FinishTemporary(FileReplacement* file) {
  const intptr_t handle = file->handle;
  file->handle = kNoFile;
  // Keeping the permissions is a courtesy; a file system without them must not fail the
  // save. The bytes go to the disk before the name: renamed first, a power cut could
  // leave the name on an empty file.
  if (file->exists) KeepPermissions(handle, file->mode);
  SaveError error = SavesFlushed() ? FlushFile(handle) : SaveError::kNone;
  const SaveError closed = CloseFile(handle);
  if (error == SaveError::kNone) error = closed;
  if (error == SaveError::kNone && SavesAbandoned()) error = SaveError::kInterrupted;
  return error;
}

}  // namespace

void AbandonSaves() { g_abandoned.store(true); }
bool SavesAbandoned() { return g_abandoned.load(); }
void ResumeSaves() { g_abandoned.store(false); }

void SetSavesFlushed(bool flushed) { g_flushed.store(flushed); }
bool SavesFlushed() { return g_flushed.load(); }

std::string PathInFolder(const std::string& folder, const std::string& name) {
  return JoinedPath(folder, name, PathSeparators());
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of(PathSeparators());
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string NameOf(const std::string& path) {
  const size_t cut = path.find_last_of(PathSeparators());
  return cut == std::string::npos ? path : path.substr(cut + 1);
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
  const SaveError refused = CheckTarget(path, &file->exists, &file->mode);
  if (refused != SaveError::kNone) return file->error = refused;
  SweepOnce(FolderOf(path));
  file->error = CreateTemporary(path, file);
  if (file->error != SaveError::kNone) {
    file->temporary.clear();
    file->handle = kNoFile;
  }
  return file->error;
}

SaveError AppendToReplacement(FileReplacement* file, const void* data, size_t size) {
  if (file->error != SaveError::kNone) return file->error;
  file->error = WriteToFile(file->handle, data, size);
  if (file->error != SaveError::kNone) AbandonReplacement(file);
  return file->error;
}

void AbandonReplacement(FileReplacement* file) {
  if (file->handle != kNoFile) (void)CloseFile(file->handle);
  file->handle = kNoFile;
  if (!file->temporary.empty()) DeleteQuietly(file->temporary);
  file->temporary.clear();
  if (file->error == SaveError::kNone) file->error = SaveError::kInterrupted;
}

SaveError CommitReplacement(FileReplacement* file) {
  if (file->error != SaveError::kNone || file->handle == kNoFile) {
    AbandonReplacement(file);
    return file->error == SaveError::kNone ? SaveError::kOther : file->error;
  }
  SaveError error = FinishTemporary(file);
  if (error == SaveError::kNone) error = MoveIntoPlace(file->temporary, file->path);
  if (error == SaveError::kNone) {
    file->temporary.clear();
    const std::string folder = FolderOf(file->path);
    file->error = FolderInBatch(FolderKey(folder)) ? SaveError::kNone : FlushFolder(folder);
    return file->error;
  }
  file->error = error;
  AbandonReplacement(file);
  return error;
}

SaveError ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count) {
  FileReplacement file;
  if (BeginReplacement(path, &file) != SaveError::kNone) return file.error;
  for (size_t i = 0; i < part_count; ++i)
    if (AppendToReplacement(&file, parts[i].data, parts[i].size) != SaveError::kNone)
      return file.error;
  return CommitReplacement(&file);
}

void RemoveStaleTemporaries(const std::string& folder) {
  std::vector<std::string> stale;
  for (const std::string& name : FolderNames(folder)) {
    const unsigned long owner = OwnerOfTemporary(name);
    if (owner != 0 && !ProcessRuns(owner)) stale.push_back(PathInFolder(folder, name));
  }
  for (const std::string& path : stale) RemovePlainFile(path);
}
