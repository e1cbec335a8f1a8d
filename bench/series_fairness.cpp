// How fairly series of 90-ball cartones come out, over a run of consecutive seeds from a
// fixed first one (as tessarine-cards takes them):
// - which place (1..6) gets each number: a chi-square test of the 90 x 6 counts against
//   one sixth each (90 x 5 degrees of freedom), its statistic and p-value;
// - the blank patterns (a cartón's 3 x 9 mask of blanks) seen, against the number of
//   masks the rules allow (rows of 4 blanks, no column all blank), counted here too.
//
//   series_fairness [SERIES] [FIRST_SEED]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "card/series.h"

namespace {
constexpr int kMaskBits = kCardRows * kCardColumns;

// The regularised upper incomplete gamma function Q(a, x): the series for its
// complement below a + 1, Lentz's continued fraction above.
double UpperGammaRatio(double a, double x) {
  const double scale = std::exp(-x + a * std::log(x) - std::lgamma(a));
  if (x < a + 1) {
    double term = 1 / a, sum = term;
    for (int n = 1; n < 100000 && term > sum * 1e-15; ++n) sum += term *= x / (a + n);
    return 1 - sum * scale;
  }
  const double tiny = 1e-300;
  double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    d = std::fabs(d) < tiny ? tiny : d;
    c = b + an / c;
    c = std::fabs(c) < tiny ? tiny : c;
    d = 1 / d;
    h *= d * c;
    if (std::fabs(d * c - 1) < 1e-15) break;
  }
  return scale * h;
}

uint32_t BlankMask(const CardLayout& card) {
  uint32_t mask = 0;
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column)
      if (card.cell[row][column] == 0) mask |= 1u << (row * kCardColumns + column);
  return mask;
}

// Every 27-bit mask with rows of four blanks and no column blank in all three rows.
long AllowedMasks() {
  std::vector<uint32_t> rows;
  for (uint32_t row = 0; row < 1u << kCardColumns; ++row)
    if (__builtin_popcount(row) == kBlanksPerRow) rows.push_back(row);
  long allowed = 0;
  for (uint32_t top : rows)
    for (uint32_t middle : rows)
      for (uint32_t bottom : rows) allowed += (top & middle & bottom) == 0;
  return allowed;
}
}  // namespace

int main(int argc, char** argv) {
  const long series_count = argc > 1 ? std::atol(argv[1]) : 4000000;
  const uint32_t first_seed =
      argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 16)) : 0x4730F0u;
  if (series_count < 1) return 2;
  std::vector<long> place_counts((kSeriesHighestNumber + 1) * kCardsPerSeries);
  std::vector<uint64_t> seen_masks((1u << kMaskBits) / 64);
  long distinct_masks = 0;
  for (long i = 0; i < series_count; ++i) {
    const CardSeries series = MakeSeries(SeriesSeedOfRun(first_seed, static_cast<uint32_t>(i)));
    for (int place = 0; place < kCardsPerSeries; ++place) {
      const CardLayout& card = series.card[place];
      for (const auto& row : card.cell)
        for (const uint8_t number : row)
          if (number != 0) ++place_counts[number * kCardsPerSeries + place];
      const uint32_t mask = BlankMask(card);
      uint64_t& word = seen_masks[mask / 64];
      distinct_masks += (word >> (mask % 64) & 1) == 0;
      word |= uint64_t{1} << (mask % 64);
    }
  }
  const double expected = static_cast<double>(series_count) / kCardsPerSeries;
  double chi_square = 0;
  for (int number = 1; number <= kSeriesHighestNumber; ++number)
    for (int place = 0; place < kCardsPerSeries; ++place) {
      const double off = place_counts[number * kCardsPerSeries + place] - expected;
      chi_square += off * off / expected;
    }
  const int freedom = kSeriesHighestNumber * (kCardsPerSeries - 1);
  std::printf("series_fairness: %ld series from seed %06X on\n", series_count, first_seed);
  std::printf("places of the numbers: chi-square %.1f, %d degrees of freedom, p-value %.4f\n",
              chi_square, freedom, UpperGammaRatio(freedom / 2.0, chi_square / 2));
  std::printf("blank patterns: %ld distinct seen in %ld cartones, of %ld the rules allow\n",
              distinct_masks, series_count * kCardsPerSeries, AllowedMasks());
  return 0;
}
