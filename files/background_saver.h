// Saves pictures on a second thread, so that the next card is drawn while the file of
// the last one is written: writing a card's file costs about as much as drawing it.
// For tessarine-cards; the window program saves on its one thread.
//
// One file is in flight at a time. A failed file stops the run: the next Save, or
// Finish, reports it, and nothing after it is written.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "files/bmp_writer.h"

struct BackgroundSaver {
  std::mutex mutex;
  std::condition_variable changed;
  std::thread writer;
  EncodedBitmap buffers[2];
  int next_buffer = 0;
  bool queued = false;    // a file waits for, or is in, the writer
  bool stopping = false;
  bool failed = false;
  std::string queued_path;
  int32_t queued_number = 0;
  std::string failed_path;
  int32_t failed_number = 0;  // the caller's number of the file that failed
};

void StartSaver(BackgroundSaver* saver);
// Takes the current target's pixels now and queues them under `path` (the caller's file
// `number`), once the file before has been written. False when that file (or this
// picture) failed: failed_path and failed_number then name it and nothing more is queued.
bool SaveInBackground(BackgroundSaver* saver, const std::string& path, int32_t number);
// Waits for the last file; false when any failed. Ends the writer thread.
bool FinishSaver(BackgroundSaver* saver);
