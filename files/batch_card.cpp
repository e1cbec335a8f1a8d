#include "card/card_run.h"
#include "card/renderer.h"
#include "files/bmp_writer.h"
#include "files/card_files.h"

void ShowNextRunCard(CardRun& run, uint32_t clock_seed_bits, uint32_t picture) {
  ShowNewCardFromSeed(picture, NextRunSeed(run, clock_seed_bits));
  SelectTarget(picture, IDC_CARD_VIEW, 0);
}

bool MakeBatchCard(CardRun& run, uint32_t clock_seed_bits, uint32_t picture,
                   const std::string& path) {
  ShowNextRunCard(run, clock_seed_bits, picture);
  return SaveTargetImage(path);
}
