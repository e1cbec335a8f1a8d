// The state every save shares (see save_control.h). The two flags are lock-free atomics,
// so that a signal handler may abandon the saves; the batch folders sit under a lock,
// since the drawing thread and the writer thread both save.
#include "disk/save_control.h"

#include <atomic>
#include <mutex>
#include <set>

#include "disk/file_system.h"

namespace {
std::atomic<bool> g_abandoned{false};
std::atomic<bool> g_flushed{true};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

std::mutex g_batch_mutex;
std::multiset<std::string> g_batch_folders;  // a multiset: a folder may be marked twice
}  // namespace

void AbandonSaves() { g_abandoned.store(true); }
bool SavesAbandoned() { return g_abandoned.load(); }
void ResumeSaves() { g_abandoned.store(false); }

void SetSavesFlushed(bool flushed) { g_flushed.store(flushed); }
bool SavesFlushed() { return g_flushed.load(); }

void MarkFolderInBatch(const std::string& folder, bool in_batch) {
  const std::lock_guard<std::mutex> lock(g_batch_mutex);
  if (in_batch) {
    g_batch_folders.insert(folder);
    return;
  }
  const auto found = g_batch_folders.find(folder);
  if (found != g_batch_folders.end()) g_batch_folders.erase(found);
}

bool FolderInBatch(const std::string& folder) {
  const std::lock_guard<std::mutex> lock(g_batch_mutex);
  return g_batch_folders.count(folder) > 0;
}
