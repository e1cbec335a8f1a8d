// Names and places of the card files, the check of the batch size typed by the user,
// and the colour swatch file. Nothing here talks to the user: the commands that do are
// in commands.cpp, so that a program without a window can use these.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/bmp_writer.h"
#include "files/card_files.h"
#include "disk/file_system.h"

int32_t g_card_counter = 0;

std::string CardFileName(int32_t counter) { return CardFileName(counter, kBitmapExtension); }

std::string CardFileName(int32_t counter, const char* extension) {
  // At least four digits; a longer number is written whole. The sign, should a counter
  // ever be negative, stands before the four digits as a "0000" mask puts it.
  char text[24];
  const long long value = counter;
  std::snprintf(text, sizeof text, "%s%04lld", value < 0 ? "-" : "", std::llabs(value));
  return text + std::string(extension);
}

// An executable folder the system cannot tell gives no place at all: a bare name would
// land in the current folder, where nobody looks for it.
std::string BatchFolder() {
  const std::string folder = ExecutableFolder();
  return folder.empty() ? std::string() : folder + kBatchFolderName;
}

std::string SwatchPath() {
  const std::string folder = ExecutableFolder();
  return folder.empty() ? std::string() : folder + kSwatchFileName;
}

BatchAnswer CheckBatchAnswer(const std::string& answer) {
  for (char c : answer)
    if (c < '0' || c > '9') return {BatchAnswerKind::kNotDigits, 0};
  // Any number of digits may be typed; leading zeros do not count, and more than five
  // digits that do are past the limit however the number reads.
  const size_t first = answer.find_first_not_of('0');
  if (first == std::string::npos) return {BatchAnswerKind::kCount, 0};
  if (answer.size() - first > 5) return {BatchAnswerKind::kTooMany, 0};
  int32_t count = 0;
  for (size_t i = first; i < answer.size(); ++i) count = count * 10 + (answer[i] - '0');
  if (count > kBatchLimit) return {BatchAnswerKind::kTooMany, 0};
  return {BatchAnswerKind::kCount, count};
}

std::string FolderInUseText(const std::string& folder) {
  return "La carpeta " + folder + " está en uso por otra tanda ...";
}

bool WriteSwatch(Colour colour) {
  constexpr int32_t kCornerPercent = 15;  // a 2 x 2 pixel corner on a 15-pixel box
  constexpr float kBoxEdge = kSwatchSize - 1;
  const uint32_t swatch = NewBitmap(kSwatchSize, kSwatchSize);
  SelectTarget(swatch, 0, 0);
  Clear(kWhite, 0);
  SelectTarget(swatch, 0, 0);
  DrawBox(0, 0, kBoxEdge, kBoxEdge, kCornerPercent, kBlack, colour, 0);
  // The swatch stays the current target: a caller that cannot load the file takes its
  // pixels from there instead.
  return SaveTargetImage(SwatchPath()) == SaveError::kNone;
}

void RemoveSwatch() {
  switch (RemoveFile(SwatchPath())) {
    case RemoveResult::kRemoved:
      break;
    case RemoveResult::kMissing:
      RecordRuntimeError(kErrorFileNotFound);
      break;
    case RemoveResult::kRefused:
      RecordRuntimeError(kErrorPathAccess);
      break;
  }
}
