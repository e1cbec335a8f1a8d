// The game core against the model of game_model.h on random lists and random games:
// after every call, undo and confirmation the winners of the current prize must be the
// model's; refused events must change nothing.
#include "game/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "game_model.h"

namespace {
constexpr int64_t kStart = 1733775240000;

struct Coverage {
  size_t ties = 0, two_prizes_on_one_ball = 0, undone_prizes = 0, games_over = 0;
};

// A random in-play text and the model's view of it: a few ranges, or every card.
std::string RandomRanges(size_t cards, std::mt19937* random, std::vector<bool>* in_play) {
  in_play->assign(cards, false);
  if ((*random)() % 3 == 0) {
    in_play->assign(cards, true);
    return "";
  }
  std::string text;
  for (int i = 0; i < 3; ++i) {
    const size_t first = 1 + (*random)() % cards;
    const size_t last = first + (*random)() % (cards - first + 1);
    for (size_t card = first; card <= last; ++card) (*in_play)[card - 1] = true;
    text += (i ? ", " : "") + std::to_string(first) + "-" + std::to_string(last);
  }
  return text;
}

void ExpectSameState(const Game& game, const ModelGame& model, const char* after) {
  ASSERT_EQ(CurrentWinners(game), ModelWinners(model)) << "after " << after;
  ASSERT_EQ(game.prizes_won, model.stage) << "after " << after;
  ASSERT_EQ(std::vector<int>(game.called.order.begin(), game.called.order.end()), model.called);
}

void PlayRandomGame(std::mt19937* random, Coverage* coverage) {
  const size_t cards = 5 + (*random)() % 300;
  const std::vector<ListLine> list = RandomList(cards, random);
  std::vector<bool> in_play;
  const std::string ranges = RandomRanges(cards, random, &in_play);
  const bool three = (*random)() % 2 == 0;
  NewGameResult made =
      NewGame(list, ranges, three ? PrizePlan::kLineTwoLinesBingo : PrizePlan::kLineThenBingo,
              "l.csv", "", kStart);
  ASSERT_EQ(made.error, "") << ranges;
  Game& game = made.game;
  ModelGame model =
      ModelOf(list, in_play, three ? std::vector<int>{1, 2, 3} : std::vector<int>{1, 3});
  int64_t now = kStart;
  size_t confirmed_on_this_ball = 0;
  while (model.stage < model.needs.size()) {
    now += 1000;
    const std::vector<uint32_t> winners = ModelWinners(model);
    // A prize left unconfirmed now and then lets cards gather rows: two prizes on one ball.
    if (!winners.empty() && (*random)() % 3 != 0) {
      coverage->ties += winners.size() > 1;
      ASSERT_EQ(PlayEvent(&game, ConfirmEvent(winners, now)), "");
      ModelConfirm(&model);
      coverage->two_prizes_on_one_ball += ++confirmed_on_this_ball == 2;
      ExpectSameState(game, model, "a confirmation");
      continue;
    }
    if (model.called.size() == kHighestNumber || (!model.called.empty() && (*random)() % 10 == 0)) {
      coverage->undone_prizes += confirmed_on_this_ball > 0;
      ASSERT_EQ(PlayEvent(&game, UndoEvent(now)), "");
      ModelUndo(&model);
      confirmed_on_this_ball = 0;
      ExpectSameState(game, model, "an undo");
      continue;
    }
    int number = 1 + static_cast<int>((*random)() % kHighestNumber);
    while (std::count(model.called.begin(), model.called.end(), number)) number = number % 99 + 1;
    ASSERT_EQ(PlayEvent(&game, CallEvent(number, now, false)), "");
    ModelCall(&model, number);
    confirmed_on_this_ball = 0;
    ExpectSameState(game, model, "a call");
  }
  coverage->games_over += GameOver(game);
}

TEST(GameTest, RandomGamesAgreeWithTheModel) {
  std::mt19937 random(20261209);
  Coverage coverage;
  for (int game = 0; game < 60; ++game) {
    PlayRandomGame(&random, &coverage);
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(coverage.games_over, 60u);
  // The random games did meet the cases that matter.
  EXPECT_GT(coverage.ties, 0u);
  EXPECT_GT(coverage.two_prizes_on_one_ball, 0u);
  EXPECT_GT(coverage.undone_prizes, 0u);
}

// Card 1's second row is filled while the line is left unconfirmed; then the last number
// of its first row gives it the line and, once that is confirmed, the two lines too, on
// the same ball.
TEST(GameTest, TwoPrizesOnOneBall) {
  std::mt19937 random(13);
  const std::vector<ListLine> list = RandomList(3, &random);
  Game game = NewGame(list, "", PrizePlan::kLineTwoLinesBingo, "l.csv", "", kStart).game;
  ModelGame model = ModelOf(list, {true, true, true}, {1, 2, 3});
  std::vector<int> first, second;
  for (uint8_t n : list[0].layout.cell[0])
    if (n) first.push_back(n);
  for (uint8_t n : list[0].layout.cell[1])
    if (n) second.push_back(n);
  std::vector<int> balls(first.begin(), first.end() - 1);
  balls.insert(balls.end(), second.begin(), second.end());
  balls.push_back(first.back());
  for (int ball : balls) {
    ASSERT_EQ(PlayEvent(&game, CallEvent(ball, kStart, false)), "");
    ModelCall(&model, ball);
    ASSERT_EQ(CurrentWinners(game), ModelWinners(model));
  }
  ASSERT_EQ(CurrentWinners(game), std::vector<uint32_t>{0});
  ASSERT_EQ(PlayEvent(&game, ConfirmEvent({0}, kStart)), "");
  ModelConfirm(&model);
  EXPECT_EQ(CurrentPrize(game), PrizeKind::kTwoLines);
  EXPECT_EQ(CurrentWinners(game), std::vector<uint32_t>{0});
  ASSERT_EQ(PlayEvent(&game, ConfirmEvent({0}, kStart)), "");
  EXPECT_EQ(CurrentPrize(game), PrizeKind::kBingo);
  // Taking the ball back takes both prizes back.
  ASSERT_EQ(PlayEvent(&game, UndoEvent(kStart)), "");
  ModelUndo(&model);
  EXPECT_EQ(game.prizes_won, 0u);
  EXPECT_EQ(model.stage, 0u);
  EXPECT_TRUE(game.given[0].undone && game.given[1].undone);
  EXPECT_EQ(CurrentWinners(game), ModelWinners(model))
      << "the second row's ball has its line to confirm again";
}

TEST(GameTest, RefusedEventsChangeNothing) {
  std::mt19937 random(7);
  NewGameResult made =
      NewGame(RandomList(20, &random), "", PrizePlan::kLineThenBingo, "l.csv", "", kStart);
  Game& game = made.game;
  EXPECT_EQ(PlayEvent(&game, UndoEvent(kStart)), "No hay ninguna bola que deshacer");
  EXPECT_EQ(PlayEvent(&game, ConfirmEvent({0}, kStart)),
            "Ningún cartón ha cantado línea con la última bola");
  ASSERT_EQ(PlayEvent(&game, CallEvent(47, kStart, true)), "");
  EXPECT_EQ(PlayEvent(&game, CallEvent(47, kStart, false)), "El 47 ya ha salido");
  EXPECT_EQ(PlayEvent(&game, CallEvent(0, kStart, false)),
            "El 0 no vale: las bolas van del 1 al 99");
  EXPECT_EQ(PlayEvent(&game, CallEvent(100, kStart, false)),
            "El 100 no vale: las bolas van del 1 al 99");
  EXPECT_EQ(PlayEvent(&game, CallEvent(-3, kStart, false)),
            "El -3 no vale: las bolas van del 1 al 99");
  EXPECT_EQ(game.events.size(), 1u);
  EXPECT_EQ(game.calls.size(), 1u);
  EXPECT_EQ(game.called.order, std::vector<uint8_t>{47});
}

TEST(GameTest, AConfirmationNamesOnlyWinnersOfTheLastBall) {
  std::mt19937 random(11);
  const std::vector<ListLine> list = RandomList(2, &random);
  NewGameResult made = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", kStart);
  Game& game = made.game;
  for (int column = 0; column < kCardColumns; ++column) {
    const int number = list[0].layout.cell[0][column];
    if (number == 0) continue;
    ASSERT_EQ(PlayEvent(&game, CallEvent(number, kStart, false)), "");
  }
  // Card 1's first row is full; card 2 has no line (five of its numbers cannot all be there).
  ASSERT_EQ(CurrentWinners(game), std::vector<uint32_t>{0});
  EXPECT_EQ(PlayEvent(&game, ConfirmEvent({1}, kStart)),
            "El cartón 0002 no tiene línea con la última bola");
  EXPECT_EQ(PlayEvent(&game, ConfirmEvent({0}, kStart)), "");
  EXPECT_EQ(CurrentPrize(game), PrizeKind::kBingo);
}

TEST(GameTest, DrawnBallsAreNeverRepeatedAndCoverEveryNumber) {
  std::mt19937 random(3);
  NewGameResult made =
      NewGame(RandomList(1, &random), "", PrizePlan::kLineThenBingo, "l.csv", "", kStart);
  Game& game = made.game;
  game.prizes.push_back(PrizeKind::kBingo);  // keep the game open for all 99 balls
  game.prizes_won = 0;
  std::set<int> seen;
  for (int ball = 0; ball < kHighestNumber; ++ball) {
    const BallDraw drawn = DrawBall(game);
    ASSERT_EQ(drawn.error, "");
    ASSERT_TRUE(seen.insert(drawn.number).second) << int(drawn.number) << " twice";
    // Prizes would end the game early; the draw alone is what is checked here.
    CallNumber(&game.called, drawn.number);
  }
  EXPECT_EQ(seen.size(), 99u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 99);
  EXPECT_EQ(DrawBall(game).error, "Ya han salido las 99 bolas");
}

// Each of 99 numbers comes first about as often as any other: a chi-squared test of
// 19,800 first draws (200 expected each), far from what a biased draw gives. A game's
// first ball is fixed by its key, so each draw is of a new game; a game with no key (one
// begun before the draw could be checked) draws again from the system's source each time.
double FirstBallChiSquared(bool with_key) {
  std::mt19937 random(5);
  const std::vector<ListLine> list = RandomList(1, &random);
  NewGameResult made = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", kStart);
  if (!with_key) made.game.draw_key.clear();
  std::vector<int> counts(kHighestNumber + 1, 0);
  constexpr int kDraws = 19800;
  for (int i = 0; i < kDraws; ++i) {
    if (with_key) made = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", kStart);
    ++counts[DrawBall(made.game).number];
  }
  EXPECT_EQ(counts[0], 0);
  double chi2 = 0;
  for (int number = 1; number <= kHighestNumber; ++number) {
    const double expected = kDraws / 99.0;
    chi2 += (counts[number] - expected) * (counts[number] - expected) / expected;
  }
  return chi2;
}

TEST(GameTest, TheFirstBallIsUniform) {
  // 98 degrees of freedom: the 99.99th percentile is about 160.
  EXPECT_LT(FirstBallChiSquared(true), 160.0);
  EXPECT_LT(FirstBallChiSquared(false), 160.0);
}
TEST(GameTest, TypedBallsAreDigitsOnly) {
  EXPECT_EQ(ReadTypedBall("47").number, 47);
  EXPECT_EQ(ReadTypedBall(" 7\n").number, 7);
  EXPECT_EQ(ReadTypedBall("100").number, 100) << "the range is the call's to refuse";
  EXPECT_EQ(ReadTypedBall("4 7").error, "\"4 7\" no es un número de bola (van del 1 al 99)");
  EXPECT_EQ(ReadTypedBall("").error, "\"\" no es un número de bola (van del 1 al 99)");
  EXPECT_EQ(ReadTypedBall("-5").error, "\"-5\" no es un número de bola (van del 1 al 99)");
  EXPECT_EQ(ReadTypedBall("1000").error, "\"1000\" no es un número de bola (van del 1 al 99)");
}

TEST(GameTest, AWinnerIsListedWithItsNumberCodeAndPrize) {
  std::mt19937 random(21);
  const std::vector<ListLine> list = RandomList(12, &random);
  Game game = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  for (uint8_t n : list[11].layout.cell[1]) {
    if (n == 0) continue;
    ASSERT_EQ(PlayEvent(&game, CallEvent(n, kStart, false)), "");
  }
  const std::vector<uint32_t> winners = CurrentWinners(game);
  ASSERT_TRUE(std::find(winners.begin(), winners.end(), 11u) != winners.end());
  char code[16];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(list[11].seed_bits));
  EXPECT_EQ(WinnerText(game, 11), std::string("0012  ") + code + "  línea");
}
// The winners of a line on the ball just called, passed over: asked about first, kept
// for the record, the prize still in play.
TEST(GameTest, WinnersPassedOverAreAskedAboutAndTheLineStaysInPlay) {
  std::mt19937 random(23);
  std::vector<ListLine> list = RandomList(3, &random);
  list[2].layout = list[0].layout;  // a tie on every line of the first card
  Game game = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  EXPECT_EQ(PendingWinnersQuestion(game), "") << "no ball yet";
  int last = 0;
  for (uint8_t n : list[0].layout.cell[0])
    if (n) {
      ASSERT_EQ(PlayEvent(&game, CallEvent(last = n, kStart, false)), "");
    }
  ASSERT_EQ(CurrentWinners(game), (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(PendingWinnersQuestion(game), "Los cartones 0001 y 0003 tienen línea con el " +
                                              std::to_string(last) +
                                              ". ¿Seguir sin dar el premio?");
  EXPECT_EQ(PlayEvent(&game, PassOverEvent({1}, kStart)),
            "El cartón 0002 no tiene línea con la última bola");
  EXPECT_EQ(PlayEvent(&game, PassOverEvent({}, kStart)),
            "No se ha dicho qué cartones ganan el premio");
  ASSERT_EQ(PlayEvent(&game, PassOverEvent({2, 0}, kStart + 1)), "");
  EXPECT_EQ(CurrentPrize(game), PrizeKind::kLine);
  EXPECT_EQ(game.prizes_won, 0u);
  EXPECT_TRUE(game.given.empty());
  ASSERT_EQ(game.passed_over.size(), 2u);
  EXPECT_EQ(game.passed_over[1].card, 2u);
  EXPECT_EQ(game.calls[game.passed_over[1].call].number, last);
  // The next ball that completes no line asks nothing; the passed-over cards cannot win
  // this line on it.
  for (int n = 1; n <= kHighestNumber; ++n) {
    if (game.called.place[n] != 0) continue;
    ASSERT_EQ(PlayEvent(&game, CallEvent(n, kStart + 2, false)), "");
    if (CurrentWinners(game).empty()) break;
    ASSERT_EQ(PlayEvent(&game, UndoEvent(kStart + 3)), "");
  }
  EXPECT_EQ(PendingWinnersQuestion(game), "");
  EXPECT_EQ(PlayEvent(&game, PassOverEvent({0}, kStart)),
            "Ningún cartón ha cantado línea con la última bola");
}

TEST(GameTest, OneWinnerIsAskedAboutAlone) {
  std::mt19937 random(29);
  const std::vector<ListLine> list = RandomList(1, &random);
  Game game = NewGame(list, "", PrizePlan::kLineTwoLinesBingo, "l.csv", "", kStart).game;
  int last = 0;
  for (uint8_t n : list[0].layout.cell[1])
    if (n) {
      ASSERT_EQ(PlayEvent(&game, CallEvent(last = n, kStart, false)), "");
    }
  EXPECT_EQ(PendingWinnersQuestion(game), "El cartón 0001 tiene línea con el " +
                                              std::to_string(last) +
                                              ". ¿Seguir sin dar el premio?");
}

TEST(GameTest, TheForecastTakesTheCardsInPlayOnly) {
  std::mt19937 random(22);
  const std::vector<ListLine> list = RandomList(9, &random);
  const Game game = NewGame(list, "2-3, 8", PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  const std::vector<CardLayout> layouts = InPlayLayouts(game);
  ASSERT_EQ(layouts.size(), 3u);
  EXPECT_TRUE(layouts[0] == list[1].layout);
  EXPECT_TRUE(layouts[1] == list[2].layout);
  EXPECT_TRUE(layouts[2] == list[7].layout);
}
}  // namespace
