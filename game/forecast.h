// The forecast of a game before it is played: many games simulated with the cards in
// play, each a random order of the 99 balls, giving how many balls it takes to the
// first línea and to bingo (median, and the range from 10 to 90 %) and how often two or
// more cards win on the same ball. The balls of the simulation come from a fast
// generator seeded once, from the system's cryptographic source or, for tests, a seed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "card/layout.h"

constexpr size_t kForecastGames = 10000;

// The cards in play arranged for simulation: for each number, the rows that carry it.
struct ForecastCards {
  size_t card_count = 0;
  int highest_ball = kHighestNumber;  // the cage: 1 to 99, or 1 to 90 for series cartones
  std::vector<uint32_t> first_row;  // [number]: where its rows start in `rows` (100 + 1 entries)
  std::vector<uint32_t> rows;       // row ids, card * 3 + row
};
ForecastCards ArrangeForecastCards(const std::vector<CardLayout>& cards);

// One simulated game: the ball (counted from 1) of the first línea and of the first
// bingo, and how many cards won each on that ball.
struct SimulatedGame {
  int line_ball = 0, line_winners = 0;
  int bingo_ball = 0, bingo_winners = 0;
};
// The game a given order of the 99 balls gives.
SimulatedGame SimulateOrder(const ForecastCards& cards, const uint8_t order[kHighestNumber]);

struct BallSpread {
  int median = 0, low = 0, high = 0;  // low and high: the 10 % and 90 % points
};
// Nearest-rank points of the values (which it sorts): the smallest value at or below
// which at least that share of them lies.
BallSpread SpreadOf(std::vector<int>* values);

struct Forecast {
  size_t games = 0;
  size_t cards = 0;
  BallSpread line, bingo;
  double line_tie_share = 0;   // games whose first línea went to two or more cards
  double bingo_tie_share = 0;  // the same for bingo
  // For a window's chart: [k] the games whose first línea (bingo) came on ball k, 1..99.
  std::vector<size_t> line_games_by_ball, bingo_games_by_ball;
  std::string error;  // "" when made
};
// The balls are 1 to `highest_ball`: 99 for the program's cards, 90 for series cartones.
Forecast RunForecast(const std::vector<CardLayout>& cards, size_t games, uint64_t seed,
                     int highest_ball = kHighestNumber);
// Seeded from the system's cryptographic source.
Forecast RunForecastFromSystem(const std::vector<CardLayout>& cards, size_t games,
                               int highest_ball = kHighestNumber);

// A share of the games simulated as the forecast says it: "12,3 %".
std::string ForecastPercent(double share);
// The forecast in Spanish, a few lines ending in a line break.
std::string ForecastText(const Forecast& forecast);
