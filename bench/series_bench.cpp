// Making series of 90-ball cartones: consecutive seeds as a run takes them, on one core.
// Prints the series made a second, the median of the rounds and their spread (target:
// at least 200,000 a second), by the wall clock and by the processor time the program
// itself used (the machine is shared: the second leaves out the time others took).
//
//   series_bench [SERIES_A_ROUND] [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "card/series.h"

namespace {
using Clock = std::chrono::steady_clock;

// Something of every series is kept, so the compiler cannot drop the work.
unsigned RoundChecksum(uint32_t first_seed, int series_count) {
  unsigned checksum = 0;
  for (int i = 0; i < series_count; ++i) {
    const CardSeries series = MakeSeries(SeriesSeedOfRun(first_seed, static_cast<uint32_t>(i)));
    for (const CardLayout& card : series.card) checksum = checksum * 31u + card.cell[1][4];
  }
  return checksum;
}

void PrintRates(const char* clock_name, std::vector<double> rates) {
  std::sort(rates.begin(), rates.end());
  const double median = rates[rates.size() / 2];
  std::printf("%s: series a second: median %.0f (%.2f us a series), spread %.0f .. %.0f "
              "(%.1f %% of the median)\n",
              clock_name, median, 1e6 / median, rates.front(), rates.back(),
              100.0 * (rates.back() - rates.front()) / median);
}
}  // namespace

int main(int argc, char** argv) {
  const int series_count = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
  if (series_count < 1 || rounds < 1) return 2;
  std::vector<double> wall_rates, own_rates;
  unsigned checksum = 0;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    const std::clock_t own_start = std::clock();
    checksum ^= RoundChecksum(static_cast<uint32_t>(round) * 0x10000u, series_count);
    const double own = static_cast<double>(std::clock() - own_start) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    wall_rates.push_back(series_count / wall);
    own_rates.push_back(series_count / own);
  }
  std::printf("series_bench: %d rounds of %d series (checksum %08X)\n", rounds, series_count,
              checksum);
  PrintRates("wall clock", wall_rates);
  PrintRates("own time  ", own_rates);
  return 0;
}
