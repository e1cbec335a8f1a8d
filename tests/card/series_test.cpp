#include <gtest/gtest.h>

#include <random>
#include <string>

#include "card/series.h"
#include "card/series_check.h"

namespace {
// The rules, written again from the hall's description and not from the generator's
// code: "" when the series keeps them all.
std::string BrokenRule(const CardSeries& series) {
  int times[91] = {};
  for (const CardLayout& card : series.card) {
    for (const auto& row : card.cell) {
      int numbers = 0;
      for (int number : row) numbers += number != 0;
      if (numbers != 5) return "a row of " + std::to_string(numbers);
    }
    for (int column = 0; column < 9; ++column) {
      int previous = 0, held = 0;
      for (int row = 0; row < 3; ++row) {
        const int number = card.cell[row][column];
        if (number == 0) continue;
        if (number < 1 || number > 90) return "out of 1..90: " + std::to_string(number);
        if ((number == 90 ? 8 : number / 10) != column)
          return "wrong column: " + std::to_string(number);
        if (number <= previous) return "not ascending in column " + std::to_string(column);
        previous = number;
        ++held;
        ++times[number];
      }
      if (held < 1 || held > 3) return "column held " + std::to_string(held);
    }
  }
  for (int number = 1; number <= 90; ++number)
    if (times[number] != 1)
      return std::to_string(number) + " held " + std::to_string(times[number]) + " times";
  return "";
}
}  // namespace

TEST(Series, EverySeriesFromAHundredThousandSeedsKeepsTheRules) {
  std::mt19937 random(90);
  for (int i = 0; i < 100000; ++i) {
    const uint32_t seed = random() & kSeriesSeedMask;
    const CardSeries series = MakeSeries(seed);
    ASSERT_EQ(BrokenRule(series), "") << "seed " << seed;
    ASSERT_EQ(CheckSeries(series), "") << "seed " << seed;
  }
  for (uint32_t seed : {0u, 1u, 0xFFFFFEu, 0xFFFFFFu}) EXPECT_EQ(BrokenRule(MakeSeries(seed)), "");
}

TEST(Series, ASeedAlwaysGivesTheSameSeriesAndNeighbouringSeedsOthers) {
  const CardSeries series = MakeSeries(0x4730F0);
  for (int place = 1; place <= 6; ++place) {
    EXPECT_EQ(MakeSeriesCard(0x4730F0, place), series.card[place - 1]);
    // Only the low 24 bits name a series.
    EXPECT_EQ(MakeSeriesCard(0xAB4730F0u, place), series.card[place - 1]);
  }
  int same_places = 0;
  for (uint32_t seed = 0x4730F1; seed < 0x4730F1 + 1000; ++seed) {
    const CardSeries other = MakeSeries(seed);
    for (int place = 0; place < 6; ++place) same_places += other.card[place] == series.card[place];
  }
  EXPECT_EQ(same_places, 0);
}

TEST(SeriesRun, SeedsSpreadTheDayAndFollowEachOtherWithin24Bits) {
  EXPECT_EQ(SeriesSeedOfClock(0), 0u);
  EXPECT_EQ(SeriesSeedOfClock(kMillisecondsPerDay - 1), 0xFFFFFFu);
  EXPECT_EQ(SeriesSeedOfClock(kMillisecondsPerDay / 2), 0x800000u);
  EXPECT_EQ(SeriesSeedOfClock(45296789), 8795764u);  // 12:34:56.789: 45296789 * 2^24 / 86400000
  uint32_t previous = 0;
  for (uint32_t ms = 0; ms < kMillisecondsPerDay; ms += 997) {
    ASSERT_GE(SeriesSeedOfClock(ms), previous);
    previous = SeriesSeedOfClock(ms);
  }
  EXPECT_EQ(NextSeriesSeed(0x4730F0), 0x4730F1u);
  EXPECT_EQ(NextSeriesSeed(0xFFFFFF), 0u);
  EXPECT_EQ(SeriesSeedOfRun(0xFFFFFE, 3), 1u);

  SeriesRunStart start;
  EXPECT_EQ(FirstSeriesSeed(start, 45296789), SeriesSeedOfClock(45296789));
  start.has_time = true;
  start.time_ms = 1000;
  EXPECT_EQ(FirstSeriesSeed(start, 45296789), SeriesSeedOfClock(1000));
  start.has_code = true;
  start.code_series_seed = 0x4730F0;
  EXPECT_EQ(FirstSeriesSeed(start, 45296789), 0x4730F0u);
}
