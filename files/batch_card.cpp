// The cards of one run, shared by "Muchas" and tessarine-cards: every card different
// from the run's earlier ones, shown on the picture and saved under its number, its file
// written on a second thread while the next card is drawn (writing a card's file costs
// about as much as drawing it). Drawing stays on the calling thread. Each card's seed is
// told to the caller, with how many files are in place, for a list or sheets of the run.
#include "files/batch_card.h"

#include "card/run_seeds.h"
#include "card/series.h"
#include "card/renderer.h"
#include "files/background_saver.h"
#include "files/card_files.h"
#include "disk/file_system.h"

SeriesRunCard SeriesCardOfRun(uint32_t first_series_seed, int first_place, int32_t index) {
  const int32_t position = first_place - 1 + index;
  SeriesRunCard card;
  card.series_seed = SeriesSeedOfRun(first_series_seed, uint32_t(position / kCardsPerSeries));
  card.place = position % kCardsPerSeries + 1;
  return card;
}

namespace {
// The cards of a run are either kind; a series is made once for its six cartones.
struct CardsOfRun {
  const CardFilesRequest* request = nullptr;
  CardRun run;
  CardSeries series{};
  uint32_t series_seed = 0;
  bool has_series = false;
};

// Shows card `index` (0 for the first) on the picture; its seed.
uint32_t ShowNextCard(CardsOfRun* cards, int32_t index) {
  const CardFilesRequest& request = *cards->request;
  if (request.type == CardType::kAnywhere99) {
    const uint32_t seed_bits = NextSeedOfRun(cards->run, request.start, ClockSeedBitsNow());
    ShowCardInColour(request.picture, request.picture_control, seed_bits, request.colour);
    return seed_bits;
  }
  const SeriesRunCard card = SeriesCardOfRun(request.first_series_seed, request.first_place, index);
  if (!cards->has_series || cards->series_seed != card.series_seed) {
    cards->series = MakeSeries(card.series_seed);
    cards->series_seed = card.series_seed;
    cards->has_series = true;
  }
  ShowLayoutInColour(request.picture, request.picture_control,
                     cards->series.card[size_t(card.place - 1)], request.colour);
  return card.series_seed;
}
}  // namespace

int32_t MakeCardFiles(const CardFilesRequest& request, CardFilesFailure* failure) {
  CardsOfRun cards;
  cards.request = &request;
  BackgroundSaver saver;
  saver.encode = request.encode;
  StartSaver(&saver);
  bool saved = true;
  for (int32_t i = 1; i <= request.count && saved; ++i) {
    const uint32_t seed_bits = ShowNextCard(&cards, i - 1);
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
