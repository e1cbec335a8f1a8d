// The cards of one run, shared by "Muchas" and tessarine-cards: each different from the
// run's earlier ones, shown on the picture and saved under its number.
#pragma once
#include <cstdint>
#include <string>

#include "card/card_type.h"
#include "card/run_seeds.h"
#include "card/renderer.h"
#include "files/background_saver.h"
#include "files/card_files.h"
#include "disk/file_system.h"

// A run of `count` cards, each shown on the picture in turn and saved as
// folder/0001.bmp, 0002.bmp, ... (or 0001.png, ... through an encoder).
struct CardFilesRequest {
  uint32_t picture = 0;
  int32_t count = 0;
  std::string folder;            // no trailing separator
  int32_t picture_control = 0;   // the picture's control in its window; 0 for a bitmap
  RunStart start;                // where the first card comes from
  // A run of series cartones instead: their series follow on from the first seed, the
  // first cartón at that place of it (1 for whole series).
  CardType type = CardType::kAnywhere99;
  uint32_t first_series_seed = 0;
  int first_place = 1;
  Colour colour = kDefaultCardColour;
  PictureEncoder encode = nullptr;  // null: bitmap files
  const char* extension = kBitmapExtension;
  void (*progress)(void* context, int32_t done) = nullptr;
  // Each card as it is drawn, with how many of the run's files are in place by then
  // (files go to the disk in order, a few cards behind the drawing). A series cartón's
  // seed is its series' (its place: SeriesCardOfRun).
  void (*card_made)(void* context, int32_t number, uint32_t seed_bits, int32_t saved) = nullptr;
  void* context = nullptr;
};
// Cartón `index` (0 for the first) of a run of series cartones: its series' seed and its
// place, the run going through the places in order from its first cartón's.
struct SeriesRunCard {
  uint32_t series_seed = 0;
  int place = 1;
};
SeriesRunCard SeriesCardOfRun(uint32_t first_series_seed, int first_place, int32_t index);

// The file that stopped a run, and why.
struct CardFilesFailure {
  std::string path;
  SaveError error = SaveError::kNone;
};
// The number of files saved: `count`, or fewer when a file could not be written. Then
// *failure names it, the files before it stay and nothing after it is written.
int32_t MakeCardFiles(const CardFilesRequest& request, CardFilesFailure* failure);
