// tessarine-cards: bingo cards from the command line, with no window. Writes the same
// 721 x 241 pictures the program's picture control shows and saves, or prints a card's
// layout as text.
#include <cstdio>
#include <string>

#include "card/card_run.h"
#include "card/layout.h"
#include "card/renderer.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "files/background_saver.h"
#include "files/card_files.h"
#include "files/file_system.h"

namespace {
constexpr const char* kProgram = "tessarine-cards";

void PrintLayout(uint32_t seed_bits) {
  const CardLayout layout = PlanCard(seed_bits);
  for (const auto& row : layout.cell) {
    for (int column = 0; column < kCardColumns; ++column) {
      if (column > 0) std::fputc(' ', stdout);
      if (row[column] == 0)
        std::fputs("--", stdout);
      else
        std::printf("%02d", row[column]);
    }
    std::fputc('\n', stdout);
  }
}

int MakeCards(const CliOptions& options) {
  g_card_colour = options.colour;
  MakeFolder(options.out);
  // The picture: a white 721 x 241 surface, as the window's picture control is.
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);

  CardRun run;
  BackgroundSaver saver;
  StartSaver(&saver);
  Progress progress = StartProgress(options.count);
  bool saved = true;
  for (int32_t i = 1; i <= options.count && saved; ++i) {
    const uint32_t clock = (i == 1 && options.has_time) ? options.time_ms
                                                        : MillisecondsSinceMidnight();
    ShowNextRunCard(run, SeedBitsOfClock(clock), picture);
    saved = SaveInBackground(&saver, options.out + PathSeparator() + CardFileName(i), i);
    UpdateProgress(&progress, i);
  }
  saved = FinishSaver(&saver) && saved;
  if (!saved) {
    EndProgress(&progress);
    const int32_t written = saver.failed_number - 1;
    std::fprintf(stderr, "%s: no se pudo guardar %s; %d cartones guardados antes\n", kProgram,
                 saver.failed_path.c_str(), written);
    return 1;
  }
  EndProgress(&progress);
  std::printf("%d cartones en %s%s\n", options.count, options.out.c_str(), PathSeparator());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kCliUsage, stdout);
    return 0;
  }
  if (options.layout) {
    PrintLayout(SeedBitsOfClock(options.has_time ? options.time_ms
                                                 : MillisecondsSinceMidnight()));
    return 0;
  }
  return MakeCards(options);
}
