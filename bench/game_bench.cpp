// The game core's three timed paths, each printed with its median, its spread (fastest
// and slowest round) and its target:
// - the prizes after a call among 30,000 cards in play: the call applied and the winners
//   of the current prize found (target: under 1 ms a call);
// - opening a 30,000-card list for a game: the file read, every card checked against its
//   code, its SHA-256 and the game's index of rows by number (target: under 0.5 s);
// - the forecast of 10,000 games for 1,000 cards in play (target: under 1 s);
// - the first and the last again for 90-ball series cartones, 5,000 series (30,000
//   cartones) with a cage of 90, against the same targets.
//
//   game_bench [ROUNDS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/made_list.h"
#include "card/run_seeds.h"
#include "card/series.h"
#include "card/random.h"
#include "formats/card_list.h"
#include "disk/file_system.h"
#include "disk/read_file_saying.h"
#include "game/forecast.h"
#include "game/game.h"
#include "game/sha256.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kListCards = 30000;
constexpr int kForecastCards = 1000;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The median, the 99th percentile (a preempted round on a shared machine shows in the
// slowest alone) and the fastest and slowest rounds.
void Print(const char* what, std::vector<double> seconds, double scale, const char* unit,
           const char* target) {
  std::sort(seconds.begin(), seconds.end());
  const double p99 = seconds[std::min(seconds.size() - 1, seconds.size() * 99 / 100)];
  std::printf("%-46s mediana %8.3f %s  (99 %%: %.3f; de %.3f a %.3f; %zu medidas)  objetivo: %s\n",
              what, seconds[seconds.size() / 2] * scale, unit, p99 * scale,
              seconds.front() * scale, seconds.back() * scale, seconds.size(), target);
}

// The list of `series` series of a run, their six cartones each in their order.
std::vector<ListLine> MadeSeriesList(int series, uint32_t first_clock_ms) {
  const uint32_t first = SeriesSeedOfClock(first_clock_ms);
  std::vector<ListLine> lines;
  for (int s = 0; s < series; ++s) {
    const uint32_t seed = SeriesSeedOfRun(first, static_cast<uint32_t>(s));
    for (int place = 1; place <= kCardsPerSeries; ++place) {
      char name[32];
      std::snprintf(name, sizeof name, "%04d.bmp", s * kCardsPerSeries + place);
      lines.push_back(SeriesListLineOf(name, seed, place));
    }
  }
  return lines;
}

// Every call of whole games, each timed from the call to the winners found.
std::vector<double> TimeCalls(const std::vector<ListLine>& list, int games) {
  std::vector<double> seconds;
  std::mt19937 random(1);
  size_t winners_seen = 0;
  for (int g = 0; g < games; ++g) {
    Game game = NewGame(list, "", PrizePlan::kLineTwoLinesBingo, "l.csv", "", 0).game;
    std::vector<int> balls(HighestBall(game.type));
    std::iota(balls.begin(), balls.end(), 1);
    std::shuffle(balls.begin(), balls.end(), random);
    for (int ball : balls) {
      if (GameOver(game)) break;
      const auto start = Clock::now();
      PlayEvent(&game, CallEvent(ball, 0, false));
      const std::vector<uint32_t> winners = CurrentWinners(game);
      seconds.push_back(Since(start));
      winners_seen += winners.size();
      if (!winners.empty()) PlayEvent(&game, ConfirmEvent(winners, 0));
    }
  }
  std::printf("(%zu ganadores vistos)\n", winners_seen);
  return seconds;
}

std::vector<double> TimeOpening(const std::string& path, int rounds) {
  std::vector<double> seconds;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    CardListFile list = ReadCardList(path);
    if (!list.error.empty()) {
      std::fprintf(stderr, "%s\n", list.error.c_str());
      std::exit(1);
    }
    const std::string sha = Sha256Hex(list.bytes);
    const NewGameResult made =
        NewGame(std::move(list.lines), "", PrizePlan::kLineThenBingo, path, sha, 0);
    seconds.push_back(Since(start));
    if (!made.error.empty()) std::exit(1);
  }
  return seconds;
}
void TimeForecast(const std::vector<ListLine>& list, int rounds, int highest_ball,
                  const char* what) {
  std::vector<CardLayout> layouts;
  for (int i = 0; i < kForecastCards; ++i) layouts.push_back(list[i].layout);
  std::vector<double> forecast;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    const Forecast made = RunForecast(layouts, kForecastGames, 1000 + round, highest_ball);
    forecast.push_back(Since(start));
    if (round == 0) std::fputs(ForecastText(made).c_str(), stdout);
  }
  Print(what, forecast, 1.0, "s ", "< 1 s");
}
}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
  if (rounds < 1) return 2;
  const std::vector<ListLine> list = MadeList(kListCards, 72000000u);
  Print("premios tras una bola, 30.000 cartones", TimeCalls(list, rounds), 1e3, "ms", "< 1 ms");

  char folder[] = "/tmp/tessarine-game-bench-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  const std::string path = std::string(folder) + "/lista.csv";
  const std::string bytes = CardListBytes(list);
  const ByteSpan whole = {bytes.data(), bytes.size()};
  if (ReplaceFileWith(path, &whole, 1) != SaveError::kNone) return 1;
  Print("abrir una lista de 30.000 cartones", TimeOpening(path, rounds), 1.0, "s ", "< 0,5 s");
  ::unlink(path.c_str());
  ::rmdir(folder);

  TimeForecast(list, rounds, kHighestNumber, "pronóstico: 10.000 partidas, 1.000 cartones");

  const std::vector<ListLine> series = MadeSeriesList(kListCards / kCardsPerSeries, 72000000u);
  Print("premios tras una bola, 30.000 cartones de 90", TimeCalls(series, rounds), 1e3, "ms",
        "< 1 ms");
  TimeForecast(series, rounds, kSeriesHighestNumber, "pronóstico: 10.000 partidas, 1.000 de 90");
  return 0;
}
