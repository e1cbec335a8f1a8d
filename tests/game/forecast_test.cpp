// The forecast: one simulated game against a checker that looks at every card after every
// ball; the spread's points by hand; and the whole simulation of one card against the
// exact chances worked out from binomial coefficients.
#include "game/forecast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "game_model.h"

namespace {
std::vector<CardLayout> Layouts(const std::vector<ListLine>& list) {
  std::vector<CardLayout> layouts;
  for (const ListLine& line : list) layouts.push_back(line.layout);
  return layouts;
}

// Every card looked at again after every ball.
SimulatedGame CheckedGame(const std::vector<ListLine>& list, const std::vector<int>& order) {
  std::vector<bool> in_play(list.size(), true);
  const ModelGame model = ModelOf(list, in_play, {1});
  SimulatedGame game;
  std::vector<int> called;
  for (size_t ball = 0; ball < order.size(); ++ball) {
    called.push_back(order[ball]);
    int lines = 0, bingos = 0;
    for (const ModelCard& card : model.cards) {
      const int now = FullRows(card, called);
      const int before = FullRows(card, std::vector<int>(called.begin(), called.end() - 1));
      lines += now >= 1 && before == 0;
      bingos += now == 3;
    }
    if (game.line_ball == 0 && lines > 0) game = {static_cast<int>(ball) + 1, lines, 0, 0};
    if (bingos > 0) {
      game.bingo_ball = static_cast<int>(ball) + 1;
      game.bingo_winners = bingos;
      return game;
    }
  }
  return game;
}

TEST(ForecastTest, OneGameAgreesWithTheChecker) {
  std::mt19937 random(42);
  int line_ties = 0;
  for (int round = 0; round < 40; ++round) {
    const std::vector<ListLine> list = RandomList(1 + random() % 120, &random);
    const ForecastCards cards = ArrangeForecastCards(Layouts(list));
    std::vector<int> order(kHighestNumber);
    for (int i = 0; i < kHighestNumber; ++i) order[i] = i + 1;
    std::shuffle(order.begin(), order.end(), random);
    uint8_t balls[kHighestNumber];
    for (int i = 0; i < kHighestNumber; ++i) balls[i] = static_cast<uint8_t>(order[i]);
    const SimulatedGame got = SimulateOrder(cards, balls);
    const SimulatedGame expected = CheckedGame(list, order);
    EXPECT_EQ(got.line_ball, expected.line_ball) << round;
    EXPECT_EQ(got.line_winners, expected.line_winners) << round;
    EXPECT_EQ(got.bingo_ball, expected.bingo_ball) << round;
    EXPECT_EQ(got.bingo_winners, expected.bingo_winners) << round;
    line_ties += expected.line_winners > 1;
  }
  EXPECT_GT(line_ties, 0) << "ties met";
}

TEST(ForecastTest, SpreadPointsByNearestRank) {
  std::vector<int> values{10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  const BallSpread spread = SpreadOf(&values);
  EXPECT_EQ(spread.low, 1);
  EXPECT_EQ(spread.median, 5);
  EXPECT_EQ(spread.high, 9);
  std::vector<int> one{42};
  EXPECT_EQ(SpreadOf(&one).median, 42);
  EXPECT_EQ(SpreadOf(&one).low, 42);
}

double Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0));
}

// The smallest ball count by which the chance reaches `share`.
int ExactPoint(double (*by)(int), double share) {
  for (int k = 1; k <= kHighestNumber; ++k)
    if (by(k) >= share) return k;
  return kHighestNumber;
}

// One card: all 15 numbers among the first k balls; some row of 5 among them (three rows,
// by inclusion and exclusion: any two rows are 10 numbers, all three 15).
double BingoBy(int k) { return Choose(k, 15) / Choose(99, 15); }
double LineBy(int k) {
  return 3 * Choose(k, 5) / Choose(99, 5) - 3 * Choose(k, 10) / Choose(99, 10) + BingoBy(k);
}

TEST(ForecastTest, OneCardMatchesTheExactChances) {
  std::mt19937 random(8);
  const std::vector<ListLine> list = RandomList(1, &random);
  const Forecast forecast = RunForecast(Layouts(list), kForecastGames, 2026);
  ASSERT_EQ(forecast.error, "");
  EXPECT_EQ(forecast.games, kForecastGames);
  // 10,000 games pin each point to within a ball of the exact one.
  EXPECT_NEAR(forecast.bingo.median, ExactPoint(BingoBy, 0.5), 1);
  EXPECT_NEAR(forecast.bingo.low, ExactPoint(BingoBy, 0.1), 1);
  EXPECT_NEAR(forecast.bingo.high, ExactPoint(BingoBy, 0.9), 1);
  EXPECT_NEAR(forecast.line.median, ExactPoint(LineBy, 0.5), 1);
  EXPECT_NEAR(forecast.line.low, ExactPoint(LineBy, 0.1), 1);
  EXPECT_NEAR(forecast.line.high, ExactPoint(LineBy, 0.9), 1);
  EXPECT_EQ(forecast.line_tie_share, 0.0) << "one card cannot tie";
  EXPECT_EQ(forecast.bingo_tie_share, 0.0);
}

// The chart's counts: every game once, and the median where half the games have come.
TEST(ForecastTest, TheGamesByBallAddUpToTheSpread) {
  std::mt19937 random(10);
  const Forecast forecast = RunForecast(Layouts(RandomList(30, &random)), 3000, 5);
  ASSERT_EQ(forecast.bingo_games_by_ball.size(), 100u);
  for (const auto* by_ball : {&forecast.line_games_by_ball, &forecast.bingo_games_by_ball}) {
    size_t total = 0;
    for (size_t games : *by_ball) total += games;
    EXPECT_EQ(total, 3000u);
    EXPECT_EQ((*by_ball)[0], 0u) << "no prize before the first ball";
  }
  size_t so_far = 0;
  int median = 0;
  for (int ball = 1; ball <= kHighestNumber && median == 0; ++ball) {
    so_far += forecast.bingo_games_by_ball[ball];
    if (so_far * 2 >= 3000) median = ball;
  }
  EXPECT_EQ(median, forecast.bingo.median);
}

TEST(ForecastTest, TheSameSeedGivesTheSameForecast) {
  std::mt19937 random(9);
  const std::vector<CardLayout> cards = Layouts(RandomList(50, &random));
  const Forecast a = RunForecast(cards, 2000, 77), b = RunForecast(cards, 2000, 77);
  EXPECT_EQ(a.bingo.median, b.bingo.median);
  EXPECT_EQ(a.line_tie_share, b.line_tie_share);
  EXPECT_EQ(a.bingo_tie_share, b.bingo_tie_share);
  EXPECT_GT(a.line_tie_share, 0.0) << "50 cards tie for the line now and then";
  EXPECT_EQ(RunForecast({}, 100, 1).error, "no hay cartones en juego que simular");
  EXPECT_EQ(RunForecastFromSystem(cards, 100).error, "");
}

TEST(ForecastTest, TheTextSaysTheFigures) {
  Forecast forecast;
  forecast.games = 10000;
  forecast.cards = 300;
  forecast.line = {12, 8, 17};
  forecast.bingo = {62, 54, 69};
  forecast.line_tie_share = 0.125;
  forecast.bingo_tie_share = 0.04;
  EXPECT_EQ(ForecastText(forecast),
            "Pronóstico de 10000 partidas con 300 cartones en juego:\n"
            "  primera línea: mediana 12 bolas (del 10 al 90 %: de 8 a 17)\n"
            "  bingo: mediana 62 bolas (del 10 al 90 %: de 54 a 69)\n"
            "  dos o más cartones ganan con la misma bola: la línea, 12,5 % de las partidas; "
            "el bingo, 4,0 % de las partidas\n");
}
}  // namespace
