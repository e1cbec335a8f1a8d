#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "card/run_seeds.h"
#include "card/layout.h"

TEST(RunSeeds, TheFirstCardTakesTheClockSeed) {
  CardRun run;
  EXPECT_EQ(NextRunSeed(run, 0x47000000u), 0x47000000u);
}

TEST(RunSeeds, AStillClockGivesTheNextSeedsAbove) {
  CardRun run;
  const uint32_t clock = SeedBitsOfClock(45296789);
  EXPECT_EQ(NextRunSeed(run, clock), clock);
  EXPECT_EQ(NextRunSeed(run, clock), clock + 1);
  EXPECT_EQ(NextRunSeed(run, clock), clock + 2);
  // A clock that moved past the last seed is taken as it is.
  EXPECT_EQ(NextRunSeed(run, clock + 10), clock + 10);
  // A clock behind the last seed (it went back, or did not move far enough) is not.
  EXPECT_EQ(NextRunSeed(run, clock + 5), clock + 11);
}

TEST(RunSeeds, ThirtyThousandCardsFromOneClockReadingAreAllDifferent) {
  CardRun run;
  std::set<std::vector<uint8_t>> cards;
  const uint32_t clock = SeedBitsOfClock(0);  // the slowest-moving seed of all: 0.0
  for (int i = 0; i < 30000; ++i) {
    const CardLayout layout = PlanCard(NextRunSeed(run, clock));
    std::vector<uint8_t> key;
    for (const auto& row : layout.cell) key.insert(key.end(), row.begin(), row.end());
    ASSERT_TRUE(cards.insert(key).second) << "card " << i + 1 << " repeats an earlier one";
  }
}

// Distinct seeds practically never give one card, so a planner where every pair of seeds
// shares a card stands in for the rare case.
CardLayout PairedPlan(uint32_t seed_bits) { return PlanCard(seed_bits & ~1u); }

TEST(RunSeeds, ASeedWhoseCardWasMadeGivesWayToTheNext) {
  CardRun run;
  EXPECT_EQ(NextRunSeed(run, 100, PairedPlan), 100u);
  // 101 gives the card of 100: skipped for 102.
  EXPECT_EQ(NextRunSeed(run, 100, PairedPlan), 102u);
  // The clock's own seed is skipped the same way.
  EXPECT_EQ(NextRunSeed(run, 103, PairedPlan), 104u);
  EXPECT_EQ(run.last_seed_bits, 104u);
}

// A run given a time or a code does not look at the clock after its first card: the
// clock before that time, after it, or standing still gives the same seeds.
TEST(RunSeeds, AGivenTimeOrCodeFixesEveryCardWhateverTheClockSays) {
  const uint32_t given = SeedBitsOfClock(45296789);
  RunStart by_time;
  by_time.has_time = true;
  by_time.time_ms = 45296789;
  RunStart by_code;
  by_code.has_code = true;
  by_code.code_bits = given;
  for (const RunStart& start : {by_time, by_code}) {
    for (const uint32_t clock : {SeedBitsOfClock(1000), given, SeedBitsOfClock(80000000)}) {
      CardRun run, expected;
      EXPECT_EQ(NextSeedOfRun(run, start, clock), NextRunSeed(expected, given));
      for (int card = 2; card <= 8; ++card)
        EXPECT_EQ(NextSeedOfRun(run, start, clock), NextRunSeed(expected, given)) << card;
    }
  }
  // With neither, the run follows the clock.
  CardRun run;
  EXPECT_EQ(NextSeedOfRun(run, RunStart{}, given), given);
  EXPECT_EQ(NextSeedOfRun(run, RunStart{}, given + 100), given + 100);
}
