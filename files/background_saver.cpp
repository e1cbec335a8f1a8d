#include "files/background_saver.h"

namespace {
void WriterLoop(BackgroundSaver* saver) {
  std::unique_lock<std::mutex> lock(saver->mutex);
  for (;;) {
    saver->changed.wait(lock, [saver] { return saver->queued || saver->stopping; });
    if (!saver->queued) return;
    const EncodedBitmap& bytes = saver->buffers[1 - saver->next_buffer];
    const std::string path = saver->queued_path;
    const int32_t number = saver->queued_number;
    lock.unlock();
    const bool written = WriteEncodedBitmap(path, bytes);
    lock.lock();
    if (!written) {
      saver->failed = true;
      saver->failed_path = path;
      saver->failed_number = number;
    }
    saver->queued = false;
    saver->changed.notify_all();
  }
}

// Waits until the writer is idle; false when a file failed.
bool WaitIdle(BackgroundSaver* saver, std::unique_lock<std::mutex>& lock) {
  saver->changed.wait(lock, [saver] { return !saver->queued; });
  return !saver->failed;
}
}  // namespace

void StartSaver(BackgroundSaver* saver) { saver->writer = std::thread(WriterLoop, saver); }

bool SaveInBackground(BackgroundSaver* saver, const std::string& path, int32_t number) {
  // Encode into the buffer the writer is not using, while it may still be writing.
  EncodedBitmap& buffer = saver->buffers[saver->next_buffer];
  const bool encoded = EncodeTargetImage(&buffer);
  std::unique_lock<std::mutex> lock(saver->mutex);
  if (!WaitIdle(saver, lock)) return false;
  if (!encoded || path.empty()) {
    saver->failed = true;
    saver->failed_path = path;
    saver->failed_number = number;
    return false;
  }
  saver->queued_path = path;
  saver->queued_number = number;
  saver->next_buffer = 1 - saver->next_buffer;
  saver->queued = true;
  saver->changed.notify_all();
  return true;
}

bool FinishSaver(BackgroundSaver* saver) {
  bool ok;
  {
    std::unique_lock<std::mutex> lock(saver->mutex);
    ok = WaitIdle(saver, lock);
    saver->stopping = true;
    saver->changed.notify_all();
  }
  if (saver->writer.joinable()) saver->writer.join();
  return ok;
}
