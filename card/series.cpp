// The series generator (see series.h for why every valid series can come out). Fixed
// arrays on the stack only: a series is made in a few hundred draws of the source.
#include "card/series.h"

#include <algorithm>

#include "card/random.h"

namespace {
constexpr int kMostPerColumn = kCardRows;
constexpr int kColumnSize[kCardColumns] = {9, 10, 10, 10, 10, 10, 10, 10, 11};
// A table that keeps drawing dead ends gives way to a fixed one; it never happens in
// practice, but a series must always come out.
constexpr int kMostTableDraws = 64;

// Numbers per cartón per column.
struct ColumnCounts {
  int count[kCardsPerSeries][kCardColumns];
};

// The rows holding a number in each column of one cartón, top to bottom (as many as
// the column holds).
struct FilledRows {
  uint8_t row[kCardColumns][kCardRows];
};
// The two rows a column of two fills, by its blank row.
constexpr uint8_t kRowsBesides[kCardRows][2] = {{1, 2}, {0, 2}, {0, 1}};

// Consecutive seeds must not give related series: the LCG's streams from seeds s and
// s+1 differ by a constant, so the seed is scrambled (a bijection) before seeding.
uint32_t ScrambledSeed(uint32_t seed) {
  seed ^= seed >> 16;
  seed *= 0x85EBCA6Bu;
  seed ^= seed >> 13;
  seed *= 0xC2B2AE35u;
  seed ^= seed >> 16;
  return seed;
}

void Shuffle(RandomSource& source, uint8_t* items, int size) {
  for (int i = size - 1; i > 0; --i) std::swap(items[i], items[NextInRange(source, 0, i)]);
}

// One column of the table. False at a dead end: the cartones' needs do not fit the
// column however it is split.
bool DrawColumnCounts(RandomSource& source, int column, int (&remaining)[kCardsPerSeries],
                      ColumnCounts& counts) {
  const int columns_after = kCardColumns - 1 - column;
  int least[kCardsPerSeries], most[kCardsPerSeries];
  int given = 0, room = 0;
  for (int card = 0; card < kCardsPerSeries; ++card) {
    least[card] = std::max(1, remaining[card] - kMostPerColumn * columns_after);
    most[card] = std::min(kMostPerColumn, remaining[card] - columns_after);
    if (least[card] > most[card]) return false;
    given += least[card];
    room += most[card];
  }
  if (given > kColumnSize[column] || room < kColumnSize[column]) return false;
  for (int extra = kColumnSize[column] - given; extra > 0; --extra) {
    uint8_t open[kCardsPerSeries];
    int open_count = 0;
    for (int card = 0; card < kCardsPerSeries; ++card)
      if (least[card] < most[card]) open[open_count++] = static_cast<uint8_t>(card);
    ++least[open[NextInRange(source, 0, open_count - 1)]];
  }
  for (int card = 0; card < kCardsPerSeries; ++card) {
    counts.count[card][column] = least[card];
    remaining[card] -= least[card];
  }
  return true;
}

// One past each column's base of one number a cartón, dealt round the six cartones in
// turn: at most one extra per cartón per column, six per cartón.
ColumnCounts FixedCounts() {
  ColumnCounts counts{};
  int next_card = 0;
  for (int column = 0; column < kCardColumns; ++column) {
    for (int card = 0; card < kCardsPerSeries; ++card) counts.count[card][column] = 1;
    for (int extra = kColumnSize[column] - kCardsPerSeries; extra > 0; --extra) {
      ++counts.count[next_card][column];
      next_card = (next_card + 1) % kCardsPerSeries;
    }
  }
  return counts;
}

ColumnCounts DrawCounts(RandomSource& source) {
  ColumnCounts counts{};
  for (int draw = 0; draw < kMostTableDraws; ++draw) {
    int remaining[kCardsPerSeries];
    std::fill(std::begin(remaining), std::end(remaining), kNumbersPerCard);
    int column = 0;
    while (column < kCardColumns && DrawColumnCounts(source, column, remaining, counts))
      ++column;
    if (column == kCardColumns) return counts;
  }
  return FixedCounts();
}

// The rows a run of names picks: per_row[r] copies of r, in a random order.
void DealRowNames(RandomSource& source, const int (&per_row)[kCardRows], uint8_t* names) {
  int size = 0;
  for (int row = 0; row < kCardRows; ++row)
    for (int copy = 0; copy < per_row[row]; ++copy) names[size++] = static_cast<uint8_t>(row);
  Shuffle(source, names, size);
}

// How many names of each kind pick each row.
struct RowSplit {
  int filled[kCardRows];  // names of columns of 1 (the row they fill)
  int blank[kCardRows];   // names of columns of 2 (the row they leave blank)
};

// The orders of `total` names with per_row[r] of them naming row r.
int Orders(int total, const int (&per_row)[kCardRows]) {
  constexpr int kFactorial[kCardColumns + 1] = {1, 1, 2, 6, 24, 120, 720, 5040, 40320, 362880};
  return kFactorial[total] /
         (kFactorial[per_row[0]] * kFactorial[per_row[1]] * kFactorial[per_row[2]]);
}

// A row needs `lead` more names of columns of 1 than of columns of 2 (5 less its columns
// of 3 and 2). Each split that rows of 5 allow is weighted by the masks it gives, so
// every mask with these column counts is as likely as any other.
RowSplit DrawRowSplit(RandomSource& source, int ones, int twos, int lead) {
  constexpr int kMostSplits = (kCardColumns + 1) * (kCardColumns + 2) / 2;
  RowSplit splits[kMostSplits];
  int weights[kMostSplits], count = 0, total = 0;
  const int least = std::max(0, lead);
  for (int top = least; top <= ones; ++top) {
    for (int middle = least; top + middle <= ones - least; ++middle) {
      RowSplit& split = splits[count];
      const int bottom = ones - top - middle;
      split = {{top, middle, bottom}, {top - lead, middle - lead, bottom - lead}};
      weights[count] = Orders(ones, split.filled) * Orders(twos, split.blank);
      total += weights[count++];
    }
  }
  int pick = NextInRange(source, 0, total - 1), chosen = 0;
  while (pick >= weights[chosen]) pick -= weights[chosen++];
  return splits[chosen];
}

// A column of 1 names its filled row, a column of 2 its blank row.
FilledRows DrawFilledRows(RandomSource& source, const int (&count)[kCardColumns]) {
  int ones = 0, twos = 0, threes = 0;
  for (int column = 0; column < kCardColumns; ++column) {
    ones += count[column] == 1;
    twos += count[column] == 2;
    threes += count[column] == 3;
  }
  const RowSplit split = DrawRowSplit(source, ones, twos, kSeriesNumbersPerRow - threes - twos);
  uint8_t filled_row[kCardColumns], blank_row[kCardColumns];
  DealRowNames(source, split.filled, filled_row);
  DealRowNames(source, split.blank, blank_row);
  FilledRows filled = {};
  int next_one = 0, next_two = 0;
  constexpr uint8_t kAllRows[kCardRows] = {0, 1, 2};
  for (int column = 0; column < kCardColumns; ++column) {
    uint8_t* rows = filled.row[column];
    if (count[column] == 1) rows[0] = filled_row[next_one++];
    if (count[column] == 2) std::copy_n(kRowsBesides[blank_row[next_two++]], 2, rows);
    if (count[column] == 3) std::copy_n(kAllRows, kCardRows, rows);
  }
  return filled;
}

// The column's numbers, ascending, go to the cartones in a random order of their labels;
// each cartón's share fills its rows top to bottom, so it is in order already.
void DealColumn(RandomSource& source, int column, const ColumnCounts& counts,
                const std::array<FilledRows, kCardsPerSeries>& filled, CardSeries& series) {
  uint8_t labels[kCardsPerSeries * kMostPerColumn];
  int size = 0;
  for (int card = 0; card < kCardsPerSeries; ++card)
    for (int copy = 0; copy < counts.count[card][column]; ++copy)
      labels[size++] = static_cast<uint8_t>(card);
  Shuffle(source, labels, size);
  int dealt[kCardsPerSeries] = {};
  for (int i = 0; i < size; ++i) {
    const int card = labels[i];
    const int row = filled[card].row[column][dealt[card]++];
    series.card[card].cell[row][column] = static_cast<uint8_t>(SeriesColumnFirst(column) + i);
  }
}
}  // namespace

int SeriesColumnFirst(int column) { return column == 0 ? 1 : 10 * column; }
int SeriesColumnLast(int column) {
  return column == kCardColumns - 1 ? kSeriesHighestNumber : 10 * column + 9;
}

CardSeries MakeSeries(uint32_t series_seed) {
  RandomSource source;
  SeedBits(source, ScrambledSeed(series_seed & kSeriesSeedMask));
  const ColumnCounts counts = DrawCounts(source);
  std::array<FilledRows, kCardsPerSeries> filled;
  for (int card = 0; card < kCardsPerSeries; ++card)
    filled[card] = DrawFilledRows(source, counts.count[card]);
  CardSeries dealt{};
  for (int column = 0; column < kCardColumns; ++column)
    DealColumn(source, column, counts, filled, dealt);
  uint8_t place[kCardsPerSeries] = {0, 1, 2, 3, 4, 5};
  Shuffle(source, place, kCardsPerSeries);
  CardSeries series;
  for (int card = 0; card < kCardsPerSeries; ++card) series.card[place[card]] = dealt.card[card];
  return series;
}

CardLayout MakeSeriesCard(uint32_t series_seed, int place) {
  return MakeSeries(series_seed).card[static_cast<size_t>(place - 1)];
}

uint32_t SeriesSeedOfClock(uint32_t milliseconds) {
  const uint64_t in_day = milliseconds % kMillisecondsPerDay;
  return static_cast<uint32_t>((in_day << 24) / kMillisecondsPerDay);
}

uint32_t FirstSeriesSeed(const SeriesRunStart& start, uint32_t milliseconds_now) {
  if (start.has_code) return start.code_series_seed & kSeriesSeedMask;
  return SeriesSeedOfClock(start.has_time ? start.time_ms : milliseconds_now);
}

uint32_t NextSeriesSeed(uint32_t series_seed) { return (series_seed + 1) & kSeriesSeedMask; }

uint32_t SeriesSeedOfRun(uint32_t first_series_seed, uint32_t index) {
  return (first_series_seed + index) & kSeriesSeedMask;
}
