// The second thread of a run of card files: a ring of a few encoded pictures, filled by
// the drawing thread and emptied to disk in order by the writer.
#include "files/background_saver.h"

namespace {
void WriterLoop(BackgroundSaver* saver) {
  std::unique_lock<std::mutex> lock(saver->mutex);
  for (;;) {
    saver->changed.wait(lock, [saver] { return saver->waiting > 0 || saver->stopping; });
    if (saver->waiting == 0) return;
    // The slot stays out of the drawing thread's reach until `waiting` drops.
    const SaverSlot& slot = saver->slots[saver->first];
    if (!saver->failed) {
      lock.unlock();
      const SaveError error = WriteEncodedBitmap(slot.path, slot.bytes);
      lock.lock();
      if (error != SaveError::kNone) {
        saver->failed = true;
        saver->failed_path = slot.path;
        saver->failed_number = slot.number;
        saver->failed_error = error;
      }
    }
    saver->first = (saver->first + 1) % kSaverSlots;
    --saver->waiting;
    saver->changed.notify_all();
  }
}
}  // namespace

void StartSaver(BackgroundSaver* saver) { saver->writer = std::thread(WriterLoop, saver); }

bool SaveInBackground(BackgroundSaver* saver, const std::string& path, int32_t number) {
  std::unique_lock<std::mutex> lock(saver->mutex);
  saver->changed.wait(lock, [saver] { return saver->waiting < kSaverSlots || saver->failed; });
  if (saver->failed) return false;
  SaverSlot& slot = saver->slots[(saver->first + saver->waiting) % kSaverSlots];
  // The slot is free, so the writer does not touch it while the pixels go in.
  lock.unlock();
  const bool encoded = !path.empty() && EncodeTargetImage(&slot.bytes);
  lock.lock();
  if (!encoded) {
    if (!saver->failed) {
      saver->failed = true;
      saver->failed_path = path;
      saver->failed_number = number;
      saver->failed_error = SaveError::kOther;
    }
    return false;
  }
  slot.path = path;
  slot.number = number;
  ++saver->waiting;
  saver->changed.notify_all();
  return true;
}

bool FinishSaver(BackgroundSaver* saver) {
  {
    std::unique_lock<std::mutex> lock(saver->mutex);
    saver->changed.wait(lock, [saver] { return saver->waiting == 0; });
    saver->stopping = true;
    saver->changed.notify_all();
  }
  if (saver->writer.joinable()) saver->writer.join();
  return !saver->failed;
}
