// tessarine-cards: bingo cards from the command line, with no window. Writes the same
// 721 x 241 pictures the program's picture control shows and saves, or prints a card's
// layout as text.
#include <cstdio>
#include <string>

#include "card/card_code.h"
#include "card/layout.h"
#include "card/renderer.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "files/card_files.h"
#include "files/file_system.h"

namespace {
constexpr const char* kProgram = "tessarine-cards";

void PrintLayout(uint32_t seed_bits) {
  const CardLayout layout = PlanCard(seed_bits);
  for (int row = 0; row < kCardRows; ++row) std::printf("%s\n", LayoutRowText(layout, row).c_str());
}

int MakeCards(const CliOptions& options) {
  g_card_colour = options.colour;
  MakeFolder(options.out);
  // The picture: a white 721 x 241 surface, as the window's picture control is.
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);

  Progress progress = StartProgress(options.count);
  CardFilesRequest request;
  request.picture = picture;
  request.count = options.count;
  request.folder = options.out;
  request.has_first_clock = options.has_time;
  request.first_clock_ms = options.time_ms;
  request.progress = [](void* context, int32_t done) {
    UpdateProgress(static_cast<Progress*>(context), done);
  };
  request.context = &progress;
  std::string failed_path;
  const int32_t saved = MakeCardFiles(request, &failed_path);
  if (saved < options.count) {
    EndProgress(&progress);
    std::fprintf(stderr, "%s: no se pudo guardar %s; %d cartones guardados antes\n", kProgram,
                 failed_path.c_str(), saved);
    return 1;
  }
  EndProgress(&progress);
  const bool ends_in_separator = options.out.back() == '/' || options.out.back() == '\\';
  std::printf("%d cartones en %s%s\n", options.count, options.out.c_str(),
              ends_in_separator ? "" : PathSeparator());
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
