// The simulation keeps, for each row of each card, how many of its numbers are still to
// come, and for each card the same for all fifteen; a ball touches only the rows that
// carry it (about 15 % of them), so a game costs its balls times those rows.
#include "game/forecast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/draw_source.h"

namespace {
constexpr uint8_t kNumbersPerRow = kNumbersPerCard / kCardRows;
constexpr double kLowShare = 0.10, kMedianShare = 0.50, kHighShare = 0.90;

// xoshiro256**: fast, and plenty for a simulation (the balls of a real game come from
// the system's source, never from here).
struct Generator {
  uint64_t s[4];
};

uint64_t RotateLeft(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t Next(Generator* g) {
  const uint64_t result = RotateLeft(g->s[1] * 5, 7) * 9;
  const uint64_t t = g->s[1] << 17;
  g->s[2] ^= g->s[0];
  g->s[3] ^= g->s[1];
  g->s[1] ^= g->s[2];
  g->s[0] ^= g->s[3];
  g->s[2] ^= t;
  g->s[3] = RotateLeft(g->s[3], 45);
  return result;
}

Generator Seeded(uint64_t seed) {  // splitmix64 spreads one seed over the four words
  Generator g;
  for (uint64_t& word : g.s) {
    uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    word = z ^ (z >> 31);
  }
  return g;
}

// Below bound, unbiased (Lemire's multiply-and-reject).
uint32_t Below(Generator* g, uint32_t bound) {
  for (;;) {
    const uint64_t product = (Next(g) >> 32) * bound;
    if (static_cast<uint32_t>(product) >= (0x100000000ull - bound) % bound)
      return static_cast<uint32_t>(product >> 32);
  }
}

struct Counters {
  std::vector<uint8_t> row_missing;   // per row: its numbers still to come
  std::vector<uint8_t> card_missing;  // per card: the same for all fifteen
};

// One game, the balls given in turn by ball_at(0), ball_at(1), ... until the first bingo.
template <typename BallAt>
SimulatedGame PlayBalls(const ForecastCards& cards, Counters* counters, BallAt ball_at) {
  std::fill(counters->row_missing.begin(), counters->row_missing.end(), kNumbersPerRow);
  std::fill(counters->card_missing.begin(), counters->card_missing.end(), kNumbersPerCard);
  uint8_t* row_missing = counters->row_missing.data();
  uint8_t* card_missing = counters->card_missing.data();
  SimulatedGame game;
  for (int ball = 0; ball < cards.highest_ball; ++ball) {
    const int number = ball_at(ball);
    int rows_filled = 0, cards_filled = 0;
    for (uint32_t i = cards.first_row[number]; i < cards.first_row[number + 1]; ++i) {
      const uint32_t row = cards.rows[i];
      rows_filled += --row_missing[row] == 0;
      cards_filled += --card_missing[row / kCardRows] == 0;
    }
    if (game.line_ball == 0 && rows_filled > 0) {
      game.line_ball = ball + 1;
      game.line_winners = rows_filled;  // a ball fills at most one row of a card
    }
    if (cards_filled > 0) {
      game.bingo_ball = ball + 1;
      game.bingo_winners = cards_filled;
      break;
    }
  }
  return game;
}

Counters CountersFor(const ForecastCards& cards) {
  Counters counters;
  counters.row_missing.resize(cards.card_count * kCardRows);
  counters.card_missing.resize(cards.card_count);
  return counters;
}

int PointAt(const std::vector<int>& sorted, double share) {
  const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
  return sorted[rank == 0 ? 0 : rank - 1];
}

}  // namespace

std::string ForecastPercent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %%", share * 100.0);
  for (char* c = text; *c; ++c)
    if (*c == '.') *c = ',';
  return text;
}

ForecastCards ArrangeForecastCards(const std::vector<CardLayout>& cards) {
  ForecastCards arranged;
  arranged.card_count = cards.size();
  std::vector<std::vector<uint32_t>> rows_with(kHighestNumber + 1);
  for (size_t card = 0; card < cards.size(); ++card)
    for (int row = 0; row < kCardRows; ++row)
      for (uint8_t number : cards[card].cell[row])
        if (number != 0) rows_with[number].push_back(static_cast<uint32_t>(card * kCardRows + row));
  arranged.first_row.push_back(0);
  for (const std::vector<uint32_t>& rows : rows_with) {
    arranged.rows.insert(arranged.rows.end(), rows.begin(), rows.end());
    arranged.first_row.push_back(static_cast<uint32_t>(arranged.rows.size()));
  }
  return arranged;
}

SimulatedGame SimulateOrder(const ForecastCards& cards, const uint8_t order[kHighestNumber]) {
  Counters counters = CountersFor(cards);
  return PlayBalls(cards, &counters, [order](int ball) { return order[ball]; });
}

BallSpread SpreadOf(std::vector<int>* values) {
  BallSpread spread;
  if (values->empty()) return spread;
  std::sort(values->begin(), values->end());
  spread.low = PointAt(*values, kLowShare);
  spread.median = PointAt(*values, kMedianShare);
  spread.high = PointAt(*values, kHighShare);
  return spread;
}

Forecast RunForecast(const std::vector<CardLayout>& cards, size_t games, uint64_t seed,
                     int highest_ball) {
  Forecast forecast;
  if (cards.empty() || games == 0) {
    forecast.error = "no hay cartones en juego que simular";
    return forecast;
  }
  ForecastCards arranged = ArrangeForecastCards(cards);
  arranged.highest_ball = highest_ball;
  Counters counters = CountersFor(arranged);
  Generator generator = Seeded(seed);
  std::vector<int> line_balls, bingo_balls;
  forecast.line_games_by_ball.assign(kHighestNumber + 1, 0);
  forecast.bingo_games_by_ball.assign(kHighestNumber + 1, 0);
  size_t line_ties = 0, bingo_ties = 0;
  uint8_t balls[kHighestNumber];
  for (size_t game = 0; game < games; ++game) {
    for (int i = 0; i < highest_ball; ++i) balls[i] = static_cast<uint8_t>(i + 1);
    // Fisher-Yates, one step a ball and only as far as the game goes.
    const SimulatedGame played = PlayBalls(arranged, &counters, [&](int ball) {
      const uint32_t pick = ball + Below(&generator, static_cast<uint32_t>(highest_ball - ball));
      std::swap(balls[ball], balls[pick]);
      return balls[ball];
    });
    line_balls.push_back(played.line_ball);
    bingo_balls.push_back(played.bingo_ball);
    ++forecast.line_games_by_ball[played.line_ball];
    ++forecast.bingo_games_by_ball[played.bingo_ball];
    line_ties += played.line_winners > 1;
    bingo_ties += played.bingo_winners > 1;
  }
  forecast.games = games;
  forecast.cards = cards.size();
  forecast.line = SpreadOf(&line_balls);
  forecast.bingo = SpreadOf(&bingo_balls);
  forecast.line_tie_share = static_cast<double>(line_ties) / static_cast<double>(games);
  forecast.bingo_tie_share = static_cast<double>(bingo_ties) / static_cast<double>(games);
  return forecast;
}

Forecast RunForecastFromSystem(const std::vector<CardLayout>& cards, size_t games,
                               int highest_ball) {
  uint64_t seed = 0;
  const std::string failed = FillFromSystemSource(&seed, sizeof seed);
  if (!failed.empty()) {
    Forecast forecast;
    forecast.error = failed;
    return forecast;
  }
  return RunForecast(cards, games, seed, highest_ball);
}

std::string ForecastText(const Forecast& forecast) {
  auto spread = [](const char* prize, const BallSpread& s) {
    return std::string("  ") + prize + ": mediana " + std::to_string(s.median) +
           " bolas (del 10 al 90 %: de " + std::to_string(s.low) + " a " + std::to_string(s.high) +
           ")\n";
  };
  return "Pronóstico de " + std::to_string(forecast.games) + " partidas con " +
         std::to_string(forecast.cards) +
         (forecast.cards == 1 ? " cartón en juego:\n" : " cartones en juego:\n") +
         spread("primera línea", forecast.line) + spread("bingo", forecast.bingo) +
         "  dos o más cartones ganan con la misma bola: la línea, " +
         ForecastPercent(forecast.line_tie_share) + " de las partidas; el bingo, " +
         ForecastPercent(forecast.bingo_tie_share) + " de las partidas\n";
}
