// tessarine-cards --verify-draw, run as a user runs it, on the record of a game played to
// its end by the game core: the record as saved passes; one with its key, its commitment
// or one ball changed is refused naming what does not match; one saved before the end
// has no key and cannot be checked.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "cards_runner.h"
#include "formats/card_list.h"
#include "game/checkable_draw.h"
#include "game/record.h"

namespace {
class VerifyDrawProgram : public ScratchFolderTest {
 protected:
  // A game of the list's cards, drawn by the program ball after ball, every prize given.
  // The record is saved as `mid_game` after the tenth ball.
  Game PlayedToTheEnd(const std::string& mid_game) {
    EXPECT_EQ(Run("--count 40 --no-files --list cartones.csv --time 20:14:00.000").exit_code, 0);
    const CardListFile list = ReadCardList(At("cartones.csv"));
    EXPECT_EQ(list.error, "");
    Game game = NewGame(list.lines, "", PrizePlan::kLineThenBingo, At("cartones.csv"),
                        std::string(64, 'e'), 1733775240000)
                    .game;
    for (int64_t now = game.started_ms; !GameOver(game); now += 1000) {
      EXPECT_EQ(PlayEvent(&game, CallEvent(DrawBall(game).number, now, true)), "");
      if (game.calls.size() == 10) {
        EXPECT_EQ(SaveRecordCsv(game, "Noche", At(mid_game)), "");
      }
      if (!CurrentWinners(game).empty()) {
        EXPECT_EQ(PlayEvent(&game, ConfirmEvent(CurrentWinners(game), now)), "");
      }
    }
    return game;
  }
  // The record with what follows `start` on its line replaced by `field`.
  static std::string Changed(const std::string& csv, const std::string& start,
                             const std::string& field) {
    const size_t at = csv.find(start);
    EXPECT_NE(at, std::string::npos) << start;
    const size_t end = csv.find("\r\n", at);
    return csv.substr(0, at) + start + field + csv.substr(end);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(At(name), std::ios::binary) << bytes;
  }
};

TEST_F(VerifyDrawProgram, TheRecordAsSavedIsCorrectAndEveryChangeIsNamed) {
  const Game game = PlayedToTheEnd("antes.csv");
  ASSERT_EQ(SaveRecordCsv(game, "Noche", At("acta.csv")), "");
  const Result good = Run("--verify-draw acta.csv");
  EXPECT_EQ(good.exit_code, 0) << good.err;
  EXPECT_EQ(good.out, "El sorteo es correcto: " + std::to_string(game.calls.size()) +
                          " bolas al azar, comprobadas con la clave.\n");

  const std::string csv = ReadAll(At("acta.csv"));
  const std::string key = DrawKeyHex(game.draw_key);
  std::string other_key = key;
  other_key[5] = other_key[5] == '0' ? '1' : '0';
  Write("clave.csv", Changed(csv, "clave,,,,,,", other_key));
  Write("compromiso.csv", Changed(csv, "compromiso,,,,,,", CommitmentOf(DrawKeyOfHex(other_key))));
  for (const char* changed : {"clave.csv", "compromiso.csv"}) {
    const Result refused = Run(std::string("--verify-draw ") + changed);
    EXPECT_EQ(refused.exit_code, 1) << changed;
    EXPECT_NE(refused.err.find("La clave no corresponde al compromiso"), std::string::npos)
        << changed << ": " << refused.err;
  }

  // The twelfth ball said to be another number, one not called before it.
  const GameCall& twelfth = game.calls[11];
  ASSERT_GT(game.calls.size(), 12u);
  int other = 0;
  for (int candidate = 1; other == 0; ++candidate) {
    bool taken = candidate == twelfth.number;
    for (size_t i = 0; i < 11; ++i) taken = taken || game.calls[i].number == candidate;
    if (!taken) other = candidate;
  }
  const std::string row = "bola,12,";
  const size_t at = csv.find(row);
  const size_t ball = csv.find(',', at + row.size()) + 1;
  std::string changed = csv;
  changed.replace(ball, csv.find(',', ball) - ball, std::to_string(other));
  Write("bola.csv", changed);
  const Result wrong = Run("--verify-draw bola.csv");
  EXPECT_EQ(wrong.exit_code, 1);
  EXPECT_EQ(wrong.err, "tessarine-cards: La bola 12 no es la que da la clave: salió el " +
                           std::to_string(other) + " y la clave da el " +
                           std::to_string(twelfth.number) + ".\n");
}

TEST_F(VerifyDrawProgram, ARecordWithoutItsKeyOrNotARecordIsRefused) {
  PlayedToTheEnd("antes.csv");
  const Result early = Run("--verify-draw antes.csv");
  EXPECT_EQ(early.exit_code, 2);
  EXPECT_NE(early.err.find("El acta no trae la clave del sorteo"), std::string::npos) << early.err;
  EXPECT_EQ(early.out, "");
  const Result list = Run("--verify-draw cartones.csv");
  EXPECT_EQ(list.exit_code, 2);
  EXPECT_NE(list.err.find("no es el acta de una partida de Tessarine"), std::string::npos)
      << list.err;
  const Result with_other = Run("--verify-draw antes.csv --count 3");
  EXPECT_EQ(with_other.exit_code, 2);
  EXPECT_NE(with_other.err.find("--verify-draw comprueba el sorteo de un acta: no admite --count"),
            std::string::npos)
      << with_other.err;
}
}  // namespace
