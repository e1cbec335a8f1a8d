// The draw's key is in the game's journal and nowhere else until the game is over: not in
// any other file of the game's folder, not in the record saved mid-game (CSV or PDF, read
// raw and through pdftotext). Once every prize is given, the record shows it, and it
// checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "bingo/record_pdf.h"
#include "game/checkable_draw.h"
#include "game/draw_check.h"
#include "game/record.h"
#include "game/session.h"
#include "tests/game/game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

std::string PdfText(const std::string& pdf) {
  std::string text;
  if (FILE* pipe = ::popen(("pdftotext -layout '" + pdf + "' - 2>&1").c_str(), "r")) {
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

// Every file of the folder but the journal, and the record's files, with what they hold.
std::vector<std::pair<std::string, std::string>> FilesBesideTheJournal(const std::string& folder,
                                                                      const std::string& acta) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& name : FolderEntries(folder))
    if (name != kGameFileName) files.push_back({name, ReadWholeFile(folder + "/" + name)});
  files.push_back({"acta.csv", ReadWholeFile(acta + ".csv")});
  files.push_back({"acta.pdf", ReadWholeFile(acta + ".pdf")});
  files.push_back({"acta.pdf, su texto", PdfText(acta + ".pdf")});
  return files;
}

TEST(DrawKeySecrecy, TheKeyIsOnlyInTheJournalUntilTheGameIsOver) {
  ScratchFolder scratch;
  std::mt19937 random(21);
  WriteWholeFile(scratch / "cartones.csv", CardListBytes(RandomList(30, &random)));
  const std::string folder = scratch / "datos";
  GameSession session;
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, scratch / "cartones.csv", "", PrizePlan::kLineThenBingo, kStart),
            "");
  const std::string key = DrawKeyHex(session.game.draw_key);
  int64_t now = kStart;
  for (int i = 0; i < 10; ++i) ASSERT_EQ(DrawAndCall(&session, now += 1000).error, "");
  const std::string acta = scratch / "acta";
  ASSERT_EQ(SaveRecordFiles(session.game, "Noche", acta),
            "Acta guardada en " + acta + ".pdf y " + acta + ".csv");
  EXPECT_NE(ReadWholeFile(GameFilePath(folder)).find(key), std::string::npos);
  const auto mid_game = FilesBesideTheJournal(folder, acta);
  ASSERT_GE(mid_game.size(), 4u);
  for (const auto& file : mid_game) EXPECT_EQ(file.second.find(key), std::string::npos) << file.first;
  EXPECT_NE(mid_game.back().second.find("Compromiso del sorteo: " + CommitmentText(session.game)),
            std::string::npos)
      << mid_game.back().second;

  while (!GameOver(session.game)) {
    ASSERT_EQ(DrawAndCall(&session, now += 1000).error, "");
    if (!CurrentWinners(session.game).empty()) {
      ASSERT_EQ(ConfirmPrize(&session, CurrentWinners(session.game), now), "");
    }
  }
  ASSERT_EQ(SaveRecordFiles(session.game, "Noche", acta),
            "Acta guardada en " + acta + ".pdf y " + acta + ".csv");
  EXPECT_NE(ReadWholeFile(acta + ".csv").find("clave,,,,,," + key), std::string::npos);
  EXPECT_NE(PdfText(acta + ".pdf").find("Clave del sorteo: " + key), std::string::npos);
  const DrawVerdict verdict = CheckDrawRecord(ReadRecordCsv(ReadWholeFile(acta + ".csv")).rows);
  EXPECT_EQ(verdict.kind, DrawVerdictKind::kCorrect) << verdict.text;
  CloseGameFolder(&session);
}
}  // namespace
