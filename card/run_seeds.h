// The seeds of the cards of one run (a batch, or one tessarine-cards call). A clock
// seed changes only every 1 to 8 ms, far slower than cards are made, so the clock
// alone would repeat cards; this rule keeps every card of a run different while
// keeping each seed as close to the clock as it can.
#pragma once
#include <cstdint>
#include <unordered_set>

#include "card/layout.h"

// Where a run's first card comes from: a card's code where one is given, else a clock
// reading where one is given, else the clock now.
struct RunStart {
  bool has_code = false;
  uint32_t code_bits = 0;
  bool has_time = false;
  uint32_t time_ms = 0;  // milliseconds since midnight
};
uint32_t StartSeedBits(const RunStart& start);

struct CardRun {
  bool started = false;
  uint32_t last_seed_bits = 0;
  // Fingerprints of the cards made; a false match only skips a seed, never repeats a card.
  std::unordered_set<uint64_t> seen;
};

// The seed for the next card of the run, given the clock's seed now. The first card
// takes the clock's seed; later ones take it only when it lies above the last seed
// used, else the next binary32 value above that; a seed whose card was already made
// in this run gives way to the next one again.
// `plan` tells which card a seed gives (tests pass their own).
uint32_t NextRunSeed(CardRun& run, uint32_t clock_seed_bits,
                     CardLayout (*plan)(uint32_t seed_bits) = PlanCard);

// The seed of the run's next card, given the clock's seed now. A run given a code or a
// time is fixed by it: each later card is the next seed after the last one (past any
// card already made), whatever the clock says, so the same command gives the same cards
// at any hour and on any machine. A run given neither follows the clock.
uint32_t NextSeedOfRun(CardRun& run, const RunStart& start, uint32_t clock_seed_bits_now);
