// The card files the program writes: single photocopies of the picture, batches of
// numbered cards in the folder "muchas" beside the executable, and the short-lived
// colour swatch file from which the menu takes its image.
#pragma once
#include <cstdint>
#include <string>

#include "draw/draw.h"

constexpr int32_t kBatchLimit = 30000;
constexpr const char* kBatchFolderName = "muchas";
constexpr const char* kSwatchFileName = "color.bmp";
constexpr int32_t kSwatchSize = 16;

// The running number of saved cards; 0 when the main window starts and at each batch.
extern int32_t g_card_counter;

// "0001.bmp", ..., "9999.bmp", "10000.bmp".
std::string CardFileName(int32_t counter);

// The answer to "Cuantos cartones quieres ?", checked whole.
enum class BatchAnswerKind { kCount, kNotDigits, kTooMany };
struct BatchAnswer {
  BatchAnswerKind kind;
  int32_t count;  // 0..30000 when kind is kCount; 0 for an empty answer or zeros
};
BatchAnswer CheckBatchAnswer(const std::string& answer);

// Every message of the program to the user: one OK button, the title "Programador".
void TellUser(const std::string& text);

// The commands "Fotocopia" and "Muchas" (they talk to the user).
void Photocopy(uint32_t main_window);
void Batch(uint32_t main_window);

// The swatch file beside the executable: drawn in the colour, saved, later removed.
// Returns false when the file could not be written; the swatch bitmap stays the
// current drawing target either way, so a caller can take its pixels instead.
bool WriteSwatch(Colour colour);
void RemoveSwatch();
std::string SwatchPath();
std::string BatchFolder();

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
// The number of files saved: `count`, or fewer when a file could not be written. Then
// *failed_path names it, the files before it stay and nothing after it is written.
int32_t MakeCardFiles(const CardFilesRequest& request, std::string* failed_path);
