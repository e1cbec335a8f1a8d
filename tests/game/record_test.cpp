// The record as CSV, read back by a small RFC 4180 reader written here.
#include "game/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "card/card_code.h"
#include "game/checkable_draw.h"
#include "game/game_clock.h"
#include "game_model.h"

namespace {
constexpr int64_t kStart = 1733775240000;

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
        rows.back().back() += text[++i];
      else if (c == '"')
        quoted = false;
      else
        rows.back().back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      rows.emplace_back(1);
    } else {
      rows.back().back() += c;
    }
  }
  rows.pop_back();  // after the last line end
  return rows;
}

TEST(RecordTest, HoldsTheListCallsPrizesAndUndoneCalls) {
  std::mt19937 random(4);
  const std::vector<ListLine> list = RandomList(10, &random);
  Game game = NewGame(list, "2-9", PrizePlan::kLineThenBingo, "/tmp/x/noche.csv",
                      std::string(64, 'b'), kStart)
                  .game;
  std::vector<int> row;
  for (uint8_t n : list[4].layout.cell[2])
    if (n) row.push_back(n);
  int64_t now = kStart;
  for (int n : row) ASSERT_EQ(PlayEvent(&game, CallEvent(n, now += 1000, true)), "");
  const std::vector<uint32_t> winners = CurrentWinners(game);
  ASSERT_FALSE(winners.empty());
  ASSERT_EQ(PlayEvent(&game, ConfirmEvent(winners, now + 1)), "");
  ASSERT_EQ(PlayEvent(&game, UndoEvent(now + 2)), "");

  auto rows = CsvRows(RecordCsv(game, "Noche, de \"bingo\""));
  ASSERT_GE(rows.size(), 7u);
  // The kind of cards played, after the list's checksum; the rest as before it.
  EXPECT_EQ(rows[5], (std::vector<std::string>{"cartones", "", "", "", "", "", "de 1 a 99"}));
  rows.erase(rows.begin() + 5);
  for (const auto& r : rows) ASSERT_EQ(r.size(), 7u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"apartado", "orden", "hora", "bola", "carton",
                                               "codigo", "detalle"}));
  EXPECT_EQ(rows[1][6], "Noche, de \"bingo\"");
  EXPECT_EQ(rows[2][6], DateText(LocalTimeOf(kStart)));
  EXPECT_EQ(rows[3][6], "noche.csv");
  EXPECT_EQ(rows[4][6], std::string(64, 'b'));
  EXPECT_EQ(rows[5][6], "2-9 (8 cartones)");
  // The draw's start and commitment; the key not yet: the bingo is still to be played.
  EXPECT_EQ(rows[6], (std::vector<std::string>{"inicio", "", "", "", "", "", std::to_string(kStart)}));
  EXPECT_EQ(rows[7][0], "compromiso");
  EXPECT_EQ(rows[7][6], CommitmentOf(game.draw_key));
  ASSERT_EQ(rows.size(), 8u + row.size() + winners.size());
  for (size_t i = 0; i < row.size(); ++i) {
    const auto& call = rows[8 + i];
    EXPECT_EQ(call[0], "bola");
    EXPECT_EQ(call[1], std::to_string(i + 1));
    EXPECT_EQ(call[2], ClockText(LocalTimeOf(kStart + 1000 * (i + 1))));
    EXPECT_EQ(call[3], std::to_string(row[i]));
    const std::string drawn = "azar " + std::to_string(i + 1);
    EXPECT_EQ(call[6], i + 1 == row.size()
                           ? "anulada a las " + ClockText(LocalTimeOf(now + 2)) + "; " + drawn
                           : drawn);
  }
  const auto& prize = rows[8 + row.size()];
  EXPECT_EQ(prize[0], "premio");
  EXPECT_EQ(prize[3], std::to_string(row.back()));
  EXPECT_EQ(prize[4], "0005");
  EXPECT_EQ(prize[5], CardCode(list[4].seed_bits));
  EXPECT_EQ(prize[6], "línea (anulado)");
}
}  // namespace

namespace {
// The numbers of the screen: an undone ball keeps its number and the next one takes it
// again; a stop and its continuation; a line passed over before it is given.
TEST(RecordTest, NumbersTheBallsAsTheScreenAndStatesStopsAndPrizesPassedOver) {
  std::mt19937 random(8);
  const std::vector<ListLine> list = RandomList(10, &random);
  Game game = NewGame(list, "", PrizePlan::kLineThenBingo, "noche.csv", "", kStart).game;
  std::vector<int> row;
  for (uint8_t n : list[4].layout.cell[0])
    if (n) row.push_back(n);
  int other = 1;
  while (std::find(row.begin(), row.end(), other) != row.end()) ++other;
  ASSERT_EQ(PlayEvent(&game, CallEvent(row[0], kStart + 1000, true)), "");
  ASSERT_EQ(PlayEvent(&game, CallEvent(other, kStart + 2000, false)), "");
  ASSERT_EQ(PlayEvent(&game, UndoEvent(kStart + 3000)), "");
  ASSERT_EQ(PlayEvent(&game, ContinueEvent(kStart + 600000)), "");
  int64_t now = kStart + 600000;
  for (size_t i = 1; i < row.size(); ++i)
    ASSERT_EQ(PlayEvent(&game, CallEvent(row[i], now += 1000, true)), "");
  const std::vector<uint32_t> winners = CurrentWinners(game);
  ASSERT_FALSE(winners.empty());
  ASSERT_EQ(PlayEvent(&game, PassOverEvent(winners, now + 1)), "");
  ASSERT_EQ(PlayEvent(&game, ConfirmEvent(winners, now + 2)), "");

  auto rows = CsvRows(RecordCsv(game, "Noche"));
  ASSERT_GT(rows.size(), 5u);
  EXPECT_EQ(rows[5][0], "cartones");
  rows.erase(rows.begin() + 5);
  // Two rows of the draw (its start and commitment) after the five facts.
  constexpr size_t kBalls = 8;
  ASSERT_EQ(rows.size(), kBalls + 2 + 1 + (row.size() - 1) + 2 * winners.size());
  EXPECT_EQ(rows[kBalls][1], "1");
  EXPECT_EQ(rows[kBalls][6], "azar 1");
  EXPECT_EQ(rows[kBalls + 1][1], "2");
  EXPECT_EQ(rows[kBalls + 1][3], std::to_string(other));
  EXPECT_EQ(rows[kBalls + 1][6], "anulada a las " + ClockText(LocalTimeOf(kStart + 3000)) + "; jaula")
      << "a ball from a cage takes no number of the draw";
  EXPECT_EQ(rows[kBalls + 2], (std::vector<std::string>{
                         "parada", "", ClockText(LocalTimeOf(kStart + 3000)), "", "", "",
                         "partida detenida tras la bola 1 y continuada a las " +
                             ClockText(LocalTimeOf(kStart + 600000))}));
  for (size_t i = 1; i < row.size(); ++i) {
    EXPECT_EQ(rows[kBalls + 2 + i][0], "bola");
    EXPECT_EQ(rows[kBalls + 2 + i][1], std::to_string(i + 1)) << "the undone ball's number again";
    EXPECT_EQ(rows[kBalls + 2 + i][3], std::to_string(row[i]));
    EXPECT_EQ(rows[kBalls + 2 + i][6], "azar " + std::to_string(i + 1));
  }
  const size_t prizes = kBalls + 2 + row.size();
  const std::string number = std::to_string(row.size());
  const std::string ball = std::to_string(row.back());
  const std::string code = CardCode(list[4].seed_bits);
  EXPECT_EQ(rows[prizes], (std::vector<std::string>{"premio no dado", number,
                                                    ClockText(LocalTimeOf(now + 1)), ball, "0005",
                                                    code, "línea no reclamada"}));
  EXPECT_EQ(rows[prizes + winners.size()],
            (std::vector<std::string>{"premio", number, ClockText(LocalTimeOf(now + 2)), ball,
                                      "0005", code, "línea"}));
}
}  // namespace
