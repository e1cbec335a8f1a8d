// The 90-ball cartón, made in series of six: 3 rows of 5 numbers and 4 blanks, column 1
// holding 1-9, columns 2-8 their ten (10-19 ... 70-79), column 9 holding 80-90, each
// column 1 to 3 numbers ascending downwards, and the six cartones of a series holding
// 1 to 90 once. A series is fixed by a 24-bit seed, drawn from the project's own
// RandomSource; nothing here draws balls.
//
// How every series the rules allow can come out (each step gives every choice that
// still leads to a valid series a positive chance):
// 1. How many numbers each cartón has in each column (a 6 x 9 table of 1..3, rows of 15,
//    columns of 9, 10 ... 10, 11) is drawn column by column: each cartón first gets the
//    least it needs for the columns left to hold its rest, then the column's other
//    numbers go one by one to any cartón still under its most. Any valid table keeps
//    every column within those bounds, so it can come out; a dead end draws again.
// 2. A cartón's blanks: a column of 3 is full, one of 1 names its filled row, one of 2
//    its blank row. Rows of 5 leave a few splits of those names over the three rows;
//    one is drawn, weighted by how many masks it gives, then a random order of the
//    names over the columns: every mask with those column counts, all equally likely.
// 3. A column's numbers are dealt by a random order of its labels (a cartón holding k of
//    them has k labels) read against the numbers ascending: every split, already sorted.
// 4. The six cartones are put in a random order, so every place is as likely as any
//    other to get a given number.
#pragma once
#include <array>
#include <cstdint>

#include "card/layout.h"

constexpr int kCardsPerSeries = 6;
constexpr int kSeriesHighestNumber = 90;
constexpr int kSeriesNumbersPerRow = 5;
constexpr uint32_t kSeriesSeedMask = 0xFFFFFFu;  // a series seed has 24 bits

// The six cartones of a series, in place order (place 1 is card[0]).
struct CardSeries {
  std::array<CardLayout, kCardsPerSeries> card;
};

// Column 0..8's lowest and highest number: 1-9, 10-19, ..., 70-79, 80-90.
int SeriesColumnFirst(int column);
int SeriesColumnLast(int column);

// The series of a seed (its low 24 bits). Works on a private source: the program's
// source is untouched. No heap allocation.
CardSeries MakeSeries(uint32_t series_seed);
// Place 1..6 of that series.
CardLayout MakeSeriesCard(uint32_t series_seed, int place);

// A run of series is fixed by its first seed: each later series takes the next seed,
// wrapping within 24 bits. The first seed is a code's series where one is given, else
// the clock reading given, else the clock now.
struct SeriesRunStart {
  bool has_code = false;
  uint32_t code_series_seed = 0;
  bool has_time = false;
  uint32_t time_ms = 0;  // milliseconds since midnight
};
// The day spread evenly over the 2^24 seeds: floor(ms * 2^24 / 86,400,000), so one seed
// lasts about 5.15 ms and 00:00:00.000 is seed 0.
uint32_t SeriesSeedOfClock(uint32_t milliseconds);
uint32_t FirstSeriesSeed(const SeriesRunStart& start, uint32_t milliseconds_now);
uint32_t NextSeriesSeed(uint32_t series_seed);
// The seed of series `index` (0 for the first) of a run.
uint32_t SeriesSeedOfRun(uint32_t first_series_seed, uint32_t index);
