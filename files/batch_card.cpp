// The cards of one run, shared by "Muchas" and tessarine-cards: every card different
// from the run's earlier ones, shown on the picture and saved under its number, its file
// written on a second thread while the next card is drawn (writing a card's file costs
// about as much as drawing it). Drawing stays on the calling thread. Each card's seed is
// told to the caller, with how many files are in place, for a list or sheets of the run.
#include "files/batch_card.h"

#include "card/run_seeds.h"
#include "card/renderer.h"
#include "files/background_saver.h"
#include "files/card_files.h"
#include "disk/file_system.h"

int32_t MakeCardFiles(const CardFilesRequest& request, CardFilesFailure* failure) {
  CardRun run;
  BackgroundSaver saver;
  saver.encode = request.encode;
  StartSaver(&saver);
  bool saved = true;
  for (int32_t i = 1; i <= request.count && saved; ++i) {
    const uint32_t seed_bits = NextSeedOfRun(run, request.start, ClockSeedBitsNow());
    ShowCardInColour(request.picture, request.picture_control, seed_bits, request.colour);
    saved = SaveInBackground(
        &saver, PathInFolder(request.folder, CardFileName(i, request.extension)), i);
    if (saved && request.card_made)
      request.card_made(request.context, i, seed_bits, SavedFiles(&saver));
    if (request.progress) request.progress(request.context, i);
  }
  if (FinishSaver(&saver) && saved) return request.count;
  failure->path = saver.failed_path;
  failure->error = saver.failed_error;
  return saver.failed_number - 1;
}
