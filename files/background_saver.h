// Saves pictures on a second thread, so that the next cards are drawn while the files of
// the last ones are written: writing a card's file costs about as much as drawing it.
// A few files may wait in line, which evens out a slow file here and there.
//
// Files are bitmaps, or the files of another encoder (PNG), which costs several times a
// card's drawing: the drawing thread encodes, and hands the writer the bare pixels of a
// card whenever the writer has nothing in line, so both threads encode. Files are
// written in the order given. The first that fails stops the run: it is reported by the
// next Save or by Finish, and nothing after it is written.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "draw/draw.h"
#include "formats/bmp_writer.h"

constexpr int kSaverSlots = 16;

// A picture's pixels as the bytes of a file (EncodePng); false when it cannot be made.
using PictureEncoder = bool (*)(const PixelView& pixels, std::vector<uint8_t>* bytes);

struct SaverSlot {
  EncodedBitmap bytes;           // a bitmap file
  std::vector<uint8_t> encoded;  // or the file of the saver's encoder
  bool raw = false;              // or the picture's pixels, for the writer to encode
  std::vector<uint32_t> pixels;
  int32_t width = 0, height = 0;
  std::string path;
  int32_t number = 0;
};

struct BackgroundSaver {
  PictureEncoder encode = nullptr;  // null: bitmap files. Chosen before StartSaver.
  std::mutex mutex;
  std::condition_variable changed;
  std::thread writer;
  SaverSlot ring[kSaverSlots];  // not "slots": Qt makes that word a macro
  int first = 0;    // the oldest file waiting (or being written)
  int waiting = 0;  // how many files wait, the one being written included
  bool stopping = false;
  bool failed = false;
  std::string failed_path;
  int32_t failed_number = 0;  // the caller's number of the file that failed
  SaveError failed_error = SaveError::kNone;  // kOther when the picture could not be taken
  int32_t saved = 0;  // files in place so far (SavedFiles)
};

void StartSaver(BackgroundSaver* saver);
// Takes the current target's pixels now and queues them under `path` (the caller's file
// `number`). False when an earlier file (or this picture) failed: failed_path,
// failed_number and failed_error then name it and say why, and nothing more is queued.
bool SaveInBackground(BackgroundSaver* saver, const std::string& path, int32_t number);
// How many files are in place so far, in the order given.
int32_t SavedFiles(BackgroundSaver* saver);
// Waits for the files in line; false when any failed. Ends the writer thread.
bool FinishSaver(BackgroundSaver* saver);
