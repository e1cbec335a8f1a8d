// tessarine-cards: bingo cards from the command line, with no window. Writes the same
// 721 x 241 pictures the program's picture control shows and saves, or prints a card's
// layout as text. It exits 0 only when what it reports is done: every card file on the
// disk, every line of its output written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "card/card_code.h"
#include "card/layout.h"
#include "card/renderer.h"
#include "cli/options.h"
#include "cli/interrupt.h"
#include "cli/progress.h"
#include "files/batch_card.h"
#include "files/card_files.h"
#include "files/file_system.h"
#include "files/folder_lock.h"

namespace {
constexpr const char* kProgram = "tessarine-cards";

// Why a file could not be saved, in the words of the failure line; "" when there is
// nothing better to say than the file's name.
const char* SaveErrorText(SaveError error) {
  switch (error) {
    case SaveError::kDiskFull:
      return "disco lleno";
    case SaveError::kNoPermission:
      return "sin permiso";
    case SaveError::kMissingFolder:
      return "carpeta inexistente";
    case SaveError::kNotRegularFile:
      return "no es un archivo normal";
    case SaveError::kInterrupted:
      return "interrumpido";
    case SaveError::kNone:
    case SaveError::kOther:
      break;
  }
  return "";
}

void PrintLayout(uint32_t seed_bits) {
  const CardLayout layout = PlanCard(seed_bits);
  for (int row = 0; row < kCardRows; ++row) std::printf("%s\n", LayoutRowText(layout, row).c_str());
}

constexpr int kFailed = 1;

// Standard output is buffered: a full disk or a closed file shows when it is flushed.
// The exit code of a run whose output was all written, else a message and kFailed.
int Finish(int exit_code) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_code;
  const int error = errno;
  std::fprintf(stderr, "%s: no se pudo escribir la salida (%s)\n", kProgram, std::strerror(error));
  return kFailed;
}

int MakeCards(const CliOptions& options) {
  CatchInterruptions();
  g_card_colour = options.colour;
  MakeFolder(options.out);
  // A folder no lock file can be made in takes no card files either: the first save
  // then says why.
  FolderLock lock;
  if (LockFolder(options.out, &lock) == FolderLockResult::kInUse) {
    std::fprintf(stderr, "%s: %s\n", kProgram, FolderInUseText(options.out).c_str());
    return kFailed;
  }
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
  CardFilesFailure failure;
  int32_t saved = MakeCardFiles(request, &failure);
  // Nothing is said before the folder's entries are on the disk.
  const SaveError flushed = UnlockFolder(&lock);
  if (flushed != SaveError::kNone) {
    failure.path = options.out;
    failure.error = flushed;
    saved = 0;
  }
  EndProgress(&progress);
  if (const int interrupted = InterruptionExitCode()) {
    std::fprintf(stderr, "%s: interrumpido: %d cartones guardados\n", kProgram, saved);
    return interrupted;
  }
  if (saved < options.count) {
    const char* why = SaveErrorText(failure.error);
    std::fprintf(stderr, "%s: no se pudo guardar %s%s%s%s; %d cartones guardados antes\n",
                 kProgram, failure.path.c_str(), *why ? " (" : "", why, *why ? ")" : "", saved);
    return kFailed;
  }
  const bool ends_in_separator = options.out.back() == '/' || options.out.back() == '\\';
  std::printf("%d cartones en %s%s\n", options.count, options.out.c_str(),
              ends_in_separator ? "" : PathSeparator());
  return Finish(0);
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
    return Finish(0);
  }
  if (options.layout) {
    PrintLayout(SeedBitsOfClock(options.has_time ? options.time_ms
                                                 : MillisecondsSinceMidnight()));
    return Finish(0);
  }
  return MakeCards(options);
}
