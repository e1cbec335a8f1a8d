// Names and places of the card files (numbered cards, the batch folder "muchas" beside
// the executable), the check of a typed card count, and the short-lived colour swatch
// file from which the menu takes its image.
#pragma once
#include <cstdint>
#include <string>

#include "draw/draw.h"

constexpr int32_t kBatchLimit = 30000;
constexpr const char* kBatchFolderName = "muchas";
constexpr const char* kSwatchFileName = "color.bmp";
constexpr int32_t kSwatchSize = 16;

// Run-time error codes the card files record (draw.h: LastRuntimeError): a folder that
// exists already or cannot be made, or a file that cannot be removed; a missing file.
constexpr int32_t kErrorPathAccess = 75;
constexpr int32_t kErrorFileNotFound = 53;

// The running number of saved cards; 0 when the main window starts and at each batch.
extern int32_t g_card_counter;

// "0001.bmp", ..., "9999.bmp", "10000.bmp".
std::string CardFileName(int32_t counter);
// The same name with another extension: "0001.png" for ".png".
constexpr const char* kBitmapExtension = ".bmp";
constexpr const char* kPngExtension = ".png";
std::string CardFileName(int32_t counter, const char* extension);

// The answer to "Cuantos cartones quieres ?", checked whole: decimal digits only, any
// number of them, leading zeros allowed. tessarine-cards reads --count with it too.
enum class BatchAnswerKind { kCount, kNotDigits, kTooMany };
struct BatchAnswer {
  BatchAnswerKind kind;
  int32_t count;  // 0..30000 when kind is kCount; 0 for an empty answer or zeros
};
BatchAnswer CheckBatchAnswer(const std::string& answer);

// The refusal of a batch into a folder another batch holds (folder_lock.h), naming the
// folder; the window and tessarine-cards both say it.
std::string FolderInUseText(const std::string& folder);

// The swatch file beside the executable: drawn in the colour, saved, later removed.
// Returns false when the file could not be written; the swatch bitmap stays the
// current drawing target either way, so a caller can take its pixels instead.
bool WriteSwatch(Colour colour);
// Records kErrorFileNotFound when there is no swatch file, kErrorPathAccess when it
// cannot be removed; nothing else.
void RemoveSwatch();
// Both "" when the executable's folder cannot be found: then there is no such file.
std::string SwatchPath();
// The folder "muchas" beside the executable; "" when the executable's folder is unknown.
std::string BatchFolder();
