// Claims: the verdict's words on cards whose rows the test knows, and on random games the
// verdict agrees with the model's winners.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "card/card_code.h"
#include "game/game.h"
#include "game_model.h"

namespace {
constexpr int64_t kStart = 1733775240000;

std::vector<int> RowNumbers(const ListLine& card, int row) {
  std::vector<int> numbers;
  for (uint8_t n : card.layout.cell[row])
    if (n != 0) numbers.push_back(n);
  return numbers;
}

// A number on none of the cards.
int NumberOnNoCard(const std::vector<ListLine>& list) {
  for (int number = 1; number <= kHighestNumber; ++number) {
    bool used = false;
    for (const ListLine& card : list)
      for (int row = 0; row < kCardRows; ++row)
        for (uint8_t n : card.layout.cell[row]) used = used || n == number;
    if (!used) return number;
  }
  return 0;
}

struct ClaimGame {
  std::vector<ListLine> list;
  Game game;
};

ClaimGame TwoCards(const std::string& in_play = "") {
  std::mt19937 random(99);
  ClaimGame made;
  made.list = RandomList(2, &random);
  made.game = NewGame(made.list, in_play, PrizePlan::kLineThenBingo, "l.csv", "", kStart).game;
  return made;
}

void Call(Game* game, int number) {
  ASSERT_EQ(PlayEvent(game, CallEvent(number, kStart, false)), "");
}

TEST(ClaimTest, ALineOnTheLastNumberIsValid) {
  ClaimGame g = TwoCards();
  const std::vector<int> row = RowNumbers(g.list[0], 1);
  for (int number : row) Call(&g.game, number);
  const ClaimVerdict verdict = JudgeClaim(g.game, "1");
  EXPECT_TRUE(verdict.valid);
  EXPECT_EQ(verdict.text, "Línea válida: se completó con el " + std::to_string(row.back()) +
                              ", el último número");
  // The card shown with exactly the called numbers marked.
  for (int r = 0; r < kCardRows; ++r)
    for (int c = 0; c < kCardColumns; ++c)
      EXPECT_EQ(verdict.marked[r][c], r == 1 && g.list[0].layout.cell[r][c] != 0);
}

TEST(ClaimTest, ALineCompletedEarlierDoesNotStand) {
  ClaimGame g = TwoCards();
  const std::vector<int> row = RowNumbers(g.list[0], 0);
  for (int number : row) Call(&g.game, number);
  Call(&g.game, NumberOnNoCard(g.list));
  const ClaimVerdict verdict = JudgeClaim(g.game, CardCode(g.list[0].seed_bits));
  EXPECT_FALSE(verdict.valid);
  EXPECT_EQ(verdict.text, "La línea se completó con el " + std::to_string(row.back()) +
                              ", no con el último número: no vale");
}

TEST(ClaimTest, AMissingLineNamesTheNumbersOfTheNearestRow) {
  ClaimGame g = TwoCards();
  const std::vector<int> row = RowNumbers(g.list[0], 2);
  for (size_t i = 0; i < 3; ++i) Call(&g.game, row[i]);
  std::vector<int> missing{row[3], row[4]};
  std::sort(missing.begin(), missing.end());
  EXPECT_EQ(JudgeClaim(g.game, "0001").text, "No es línea: faltan el " +
                                                 std::to_string(missing[0]) + " y el " +
                                                 std::to_string(missing[1]));
  Call(&g.game, row[3]);
  EXPECT_EQ(JudgeClaim(g.game, " 1\n").text, "No es línea: falta el " + std::to_string(row[4]));
}

TEST(ClaimTest, ABingoClaimNamesEveryMissingNumber) {
  ClaimGame g = TwoCards();
  std::vector<int> all;
  for (int r = 0; r < kCardRows; ++r)
    for (int n : RowNumbers(g.list[0], r)) all.push_back(n);
  for (size_t i = 0; i < 5; ++i) Call(&g.game, RowNumbers(g.list[0], 0)[i]);
  ASSERT_EQ(PlayEvent(&g.game, ConfirmEvent(CurrentWinners(g.game), kStart)), "");
  for (size_t i = 0; i < 5; ++i) Call(&g.game, RowNumbers(g.list[0], 1)[i]);
  std::vector<int> missing = RowNumbers(g.list[0], 2);
  std::sort(missing.begin(), missing.end());
  std::string expected = "No es bingo: faltan ";
  for (size_t i = 0; i < missing.size(); ++i)
    expected += (i == 0                    ? ""
                 : i + 1 == missing.size() ? " y "
                                           : ", ") +
                std::string("el ") + std::to_string(missing[i]);
  EXPECT_EQ(JudgeClaim(g.game, "1").text, expected);
  for (int n : missing) Call(&g.game, n);
  EXPECT_EQ(
      JudgeClaim(g.game, "1").text,
      "Bingo válido: se completó con el " + std::to_string(missing.back()) + ", el último número");
}

TEST(ClaimTest, CardsNotInPlayOrNotInTheListAreNamed) {
  ClaimGame g = TwoCards("2");
  Call(&g.game, 5);
  EXPECT_EQ(JudgeClaim(g.game, "1").text, "El cartón 0001 no está en juego");
  EXPECT_FALSE(JudgeClaim(g.game, "1").card_found);
  EXPECT_EQ(JudgeClaim(g.game, CardCode(g.list[0].seed_bits)).text,
            "El cartón 0001 no está en juego");
  EXPECT_EQ(JudgeClaim(g.game, "300").text, "El cartón 300 no está en la lista (tiene 2 cartones)");
  EXPECT_EQ(JudgeClaim(g.game, "0").text, "El cartón 0 no está en la lista (tiene 2 cartones)");
  const uint32_t absent = g.list[0].seed_bits ^ g.list[1].seed_bits ^ 1u;
  ASSERT_NE(absent, g.list[0].seed_bits);
  ASSERT_NE(absent, g.list[1].seed_bits);
  EXPECT_EQ(JudgeClaim(g.game, CardCode(absent)).text,
            "El código " + CardCode(absent) + " no es de ningún cartón de la lista");
  EXPECT_EQ(JudgeClaim(g.game, "uno").text,
            "\"uno\" no es un número de cartón ni un código (ocho cifras hexadecimales)");
  EXPECT_TRUE(JudgeClaim(g.game, "2").card_found);
}

TEST(ClaimTest, VerdictsAgreeWithTheModelOnRandomGames) {
  std::mt19937 random(123);
  for (int round = 0; round < 20; ++round) {
    const std::vector<ListLine> list = RandomList(60, &random);
    std::vector<bool> in_play(list.size(), true);
    Game game = NewGame(list, "", PrizePlan::kLineTwoLinesBingo, "l.csv", "", kStart).game;
    ModelGame model = ModelOf(list, in_play, {1, 2, 3});
    std::vector<int> balls(kHighestNumber);
    for (int i = 0; i < kHighestNumber; ++i) balls[i] = i + 1;
    std::shuffle(balls.begin(), balls.end(), random);
    for (int ball : balls) {
      if (GameOver(game)) break;
      Call(&game, ball);
      ModelCall(&model, ball);
      const std::vector<uint32_t> winners = ModelWinners(model);
      for (size_t card = 0; card < list.size(); ++card) {
        const bool wins = std::binary_search(winners.begin(), winners.end(), card);
        ASSERT_EQ(JudgeClaim(game, std::to_string(card + 1)).valid, wins) << "card " << card + 1;
      }
      if (!winners.empty()) {
        ASSERT_EQ(PlayEvent(&game, ConfirmEvent(winners, kStart)), "");
        ModelConfirm(&model);
      }
    }
  }
}
}  // namespace
