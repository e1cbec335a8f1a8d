// The cards of one run, shared by "Muchas" and tessarine-cards: each different from the
// run's earlier ones, shown on the picture and saved under its number.
#pragma once
#include <cstdint>
#include <string>

#include "files/file_system.h"

struct CardRun;
// The next card of a run, different from the run's earlier ones, shown on the picture (a
// window's picture control, or a 721 x 241 bitmap), which is left the drawing target.
void ShowNextRunCard(CardRun& run, uint32_t clock_seed_bits, uint32_t picture);

// A run of `count` cards, each shown on the picture in turn and saved as
// folder/0001.bmp, 0002.bmp, ...
struct CardFilesRequest {
  uint32_t picture = 0;
  int32_t count = 0;
  std::string folder;            // no trailing separator
  bool has_first_clock = false;  // seed the first card from this reading, not the clock
  uint32_t first_clock_ms = 0;
  void (*progress)(void* context, int32_t done) = nullptr;
  void* context = nullptr;
};
// The file that stopped a run, and why.
struct CardFilesFailure {
  std::string path;
  SaveError error = SaveError::kNone;
};
// The number of files saved: `count`, or fewer when a file could not be written. Then
// *failure names it, the files before it stay and nothing after it is written.
int32_t MakeCardFiles(const CardFilesRequest& request, CardFilesFailure* failure);
