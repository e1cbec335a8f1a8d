// The printed record against the game it records, read back with pdftotext and pdfinfo
// (poppler), not with anything of the writer's.
#include "bingo/record_pdf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>

#include "card/card_code.h"
#include "game/checkable_draw.h"
#include "game/game_clock.h"
#include "game/record.h"
#include "sheets/text_document.h"
#include "tests/game/game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

// A game of every number called, a línea and a bingo confirmed, and the last ball taken
// back (its bingo with it).
Game WholeGame(std::vector<ListLine>* list) {
  std::mt19937 random(11);
  *list = RandomList(40, &random);
  Game game = NewGame(*list, "", PrizePlan::kLineThenBingo, "/tmp/noche.csv",
                      std::string(64, 'c'), kStart)
                  .game;
  int64_t now = kStart;
  std::vector<int> order;
  for (int n = 1; n <= 99; ++n) order.push_back(n);
  std::shuffle(order.begin(), order.end(), random);
  for (int n : order) {
    if (GameOver(game)) break;
    EXPECT_EQ(PlayEvent(&game, CallEvent(n, now += 9000, true)), "");
    const std::vector<uint32_t> winners = CurrentWinners(game);
    if (!winners.empty()) {
      EXPECT_EQ(PlayEvent(&game, ConfirmEvent(winners, now + 1)), "");
    }
  }
  EXPECT_EQ(PlayEvent(&game, UndoEvent(now + 2)), "");
  return game;
}

// A stop among the calls, a ball taken back in the middle, a line passed over: printed as
// the CSV has them, the balls numbered as the screen did.
TEST(RecordPdf, PrintsStopsUndoneBallsAndPrizesPassedOver) {
  std::mt19937 random(12);
  const std::vector<ListLine> list = RandomList(5, &random);
  Game game = NewGame(list, "", PrizePlan::kLineThenBingo, "/tmp/noche.csv", "", kStart).game;
  std::vector<int> row;
  for (uint8_t n : list[1].layout.cell[1])
    if (n) row.push_back(n);
  int other = 1;
  while (std::find(row.begin(), row.end(), other) != row.end()) ++other;
  int64_t now = kStart;
  ASSERT_EQ(PlayEvent(&game, CallEvent(other, now += 1000, true)), "");
  ASSERT_EQ(PlayEvent(&game, UndoEvent(now += 1000)), "");
  ASSERT_EQ(PlayEvent(&game, ContinueEvent(now += 60000)), "");
  for (int n : row) ASSERT_EQ(PlayEvent(&game, CallEvent(n, now += 1000, true)), "");
  ASSERT_EQ(PlayEvent(&game, PassOverEvent({1}, now + 1)), "");
  ScratchFolder scratch;
  const std::string pdf = scratch / "acta.pdf";
  ASSERT_EQ(SaveRecordPdf(game, "Noche", Paper::kA4, pdf), "");
  const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
  EXPECT_TRUE(std::regex_search(text, std::regex("\\n *1 +[0-9:]+ +" + std::to_string(other) +
                                                 " +anulada a las ")))
      << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("partida detenida antes de la primera bola y "
                                                 "continuada a las " +
                                                 ClockText(LocalTimeOf(kStart + 62000)))))
      << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\\n *1 +[0-9:]+ +" + std::to_string(row[0]) +
                                                 " +azar 2\\n")))
      << "the next ball numbered 1 again, the draw's second: " << text;
  EXPECT_TRUE(std::regex_search(text, std::regex(std::to_string(row.size()) + " +[0-9:]+ +" +
                                                 std::to_string(row.back()) + " +0002 +" +
                                                 CardCode(list[1].seed_bits) +
                                                 " +línea no reclamada")))
      << text;
}

TEST(RecordPdf, PrintsEveryCallAndPrizeInColumnsOverAsManyPagesAsTheyNeed) {
  std::vector<ListLine> list;
  const Game game = WholeGame(&list);
  ScratchFolder scratch;
  const std::string pdf = scratch / "acta.pdf";
  ASSERT_EQ(SaveRecordPdf(game, "Noche de bingo", Paper::kA4, pdf), "");

  // One line a call, a few of headings and facts: the pages are as many as fit them.
  const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
  std::smatch pages;
  ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages:\\s+(\\d+)"))) << info;
  const size_t lines = RecordDocument(game, "Noche de bingo", Paper::kA4).lines.size();
  EXPECT_GT(lines, game.calls.size());
  // Between 45 and 60 lines of 10 points fit an A4 page between its margins.
  EXPECT_GE(std::stoul(pages[1]), (lines + 59) / 60) << info;
  EXPECT_LE(std::stoul(pages[1]), (lines + 44) / 45) << info;
  EXPECT_NE(info.find("Title:           Acta de la partida"), std::string::npos) << info;

  const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(text.find("Título: Noche de bingo"), std::string::npos);
  EXPECT_NE(text.find("Lista: noche.csv"), std::string::npos);
  EXPECT_NE(text.find("SHA-256 de la lista: " + std::string(64, 'c')), std::string::npos);
  EXPECT_NE(text.find("En juego: todos (40 cartones)"), std::string::npos) << text;
  // The commitment in groups of four, as the window shows it.
  EXPECT_NE(text.find("Compromiso del sorteo: " + CommitmentText(game)), std::string::npos) << text;
  // Every call in order, with its time, number and draw; the last one taken back.
  const std::vector<uint32_t> draw_numbers = DrawNumbers(game);
  size_t at = 0;
  for (size_t i = 0; i < game.calls.size(); ++i) {
    const GameCall& call = game.calls[i];
    const std::string kind =
        draw_numbers[i] == 0 ? "jaula" : "azar " + std::to_string(draw_numbers[i]);
    const std::regex row(std::to_string(i + 1) + " +" + ClockText(LocalTimeOf(call.time_ms)) +
                         " +" + std::to_string(call.number) +
                         (call.undone ? " +anulada a las [0-9:]+; " + kind : " +" + kind + "\n"));
    std::smatch found;
    const std::string rest = text.substr(at);
    ASSERT_TRUE(std::regex_search(rest, found, row)) << "bola " << i + 1;
    at += static_cast<size_t>(found.position(0) + found.length(0));
  }
  EXPECT_TRUE(game.calls.back().undone);
  for (const GivenPrize& prize : game.given) {
    const std::string row = CardNumberText(prize.card) + " +" +
                            CardCode(list[prize.card].seed_bits) + " +" + PrizeText(prize.kind) +
                            (prize.undone ? " \\(anulado\\)" : "");
    EXPECT_TRUE(std::regex_search(text, std::regex(row))) << row;
  }
}

TEST(RecordPdf, AFailedSaveSaysWhyAndLeavesTheEarlierFile) {
  std::vector<ListLine> list;
  const Game game = WholeGame(&list);
  ScratchFolder scratch;
  // A title the sheets' face cannot print: refused by name, nothing replaced.
  const std::string pdf = scratch / "acta.pdf";
  WriteWholeFile(pdf, "earlier");
  const std::string refused = SaveRecordPdf(game, "Noche \xE2\x98\x83", Paper::kA4, pdf);
  EXPECT_NE(refused.find("No se pudo guardar el acta en " + pdf), std::string::npos) << refused;
  EXPECT_NE(refused.find("U+2603"), std::string::npos) << refused;
  EXPECT_EQ(ReadWholeFile(pdf), "earlier");
  EXPECT_EQ(FolderEntries(scratch.path), std::vector<std::string>{"acta.pdf"});
  // A folder that is not there.
  const std::string missing = SaveRecordPdf(game, "x", Paper::kA4, scratch / "no/acta.pdf");
  EXPECT_EQ(missing, "No se pudo guardar el acta en " + scratch / "no/acta.pdf" +
                         " (carpeta inexistente)");
}
}  // namespace
