// A game's journal has two header lines more than its events since the draw became
// checkable (its key and commitment): events start at line 8.
//
// A game played through a session, on the disk of the test: saved after every event
// before the call returns, continued exactly by another session, a second session on the
// same folder refused, a damaged file kept aside and never overwritten, and every
// refusal leaving the saved game as it was.
#include "game/session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "disk/file_system.h"
#include "game/game_clock.h"
#include "game/journal.h"
#include "game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

struct SessionTest : ::testing::Test {
  void SetUp() override {
    ASSERT_FALSE(scratch.path.empty());
    std::mt19937 random(17);
    list = RandomList(30, &random);
    WriteWholeFile(list_path, CardListBytes(list));
  }
  void TearDown() override { CloseGameFolder(&session); }
  std::string Saved() { return ReadWholeFile(GameFilePath(folder)); }

  ScratchFolder scratch;
  std::string folder = scratch / "datos/tessarine";
  std::string list_path = scratch / "cartones.csv";
  std::vector<ListLine> list;
  GameSession session;
};

TEST_F(SessionTest, EveryCallIsOnTheDiskWhenItReturns) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "1-20", PrizePlan::kLineThenBingo, kStart), "");
  for (int i = 0; i < 10; ++i) {
    const SessionDraw drawn = DrawAndCall(&session, kStart + i * 1000);
    ASSERT_EQ(drawn.error, "");
    const JournalContents saved = ParseJournal(Saved());
    ASSERT_EQ(saved.error, "");
    ASSERT_EQ(saved.events.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(saved.events.back().number, drawn.number);
    EXPECT_TRUE(saved.events.back().drawn);
  }
}

TEST_F(SessionTest, ASessionIsClosedThenOpenThenPlayingThenClosed) {
  EXPECT_EQ(session.state, SessionState::kClosed);
  EXPECT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart),
            kFolderNotOpenText);
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  EXPECT_EQ(session.state, SessionState::kFolderOpen);
  EXPECT_FALSE(HasGame(session));
  EXPECT_EQ(MarkCalled(&session, 5, kStart), kNoGameText) << "no game yet";
  EXPECT_EQ(DrawAndCall(&session, kStart).error, kNoGameText);
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  EXPECT_TRUE(HasGame(session));
  ASSERT_EQ(MarkCalled(&session, 5, kStart), "");
  CloseGameFolder(&session);
  EXPECT_EQ(session.state, SessionState::kClosed);
  EXPECT_EQ(MarkCalled(&session, 6, kStart), kNoGameText);
  EXPECT_EQ(ParseJournal(Saved()).events.size(), 1u);
}

TEST_F(SessionTest, APrizePassedOverIsSavedAndTheLineStaysInPlay) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  int number = 0;
  while (CurrentWinners(session.game).empty()) {
    ++number;
    ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
  }
  const std::vector<uint32_t> winners = CurrentWinners(session.game);
  EXPECT_NE(PendingWinnersQuestion(session.game), "");
  ASSERT_EQ(PassOverPrize(&session, winners, kStart + 500), "");
  const JournalContents saved = ParseJournal(Saved());
  ASSERT_EQ(saved.error, "");
  EXPECT_EQ(saved.events.back().kind, EventKind::kPassOver);
  EXPECT_EQ(saved.events.back().cards, winners);
  EXPECT_EQ(CurrentPrize(session.game), PrizeKind::kLine);
  EXPECT_EQ(ConfirmPrize(&session, winners, kStart + 501), "") << "it can still be given";
}

TEST_F(SessionTest, ASecondSessionOnTheSameGameIsRefused) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  GameSession second;
  EXPECT_EQ(OpenGameFolder(folder, &second),
            "Esta partida ya está abierta en otra ventana: " + folder);
  CloseGameFolder(&session);
  EXPECT_EQ(OpenGameFolder(folder, &second), "") << "free once the first one closes";
  CloseGameFolder(&second);
}

TEST_F(SessionTest, ASecondProcessOnTheSameGameIsRefused) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  const std::string saved = Saved();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    GameSession other;
    const std::string said = OpenGameFolder(folder, &other);
    ::_exit(said == "Esta partida ya está abierta en otra ventana: " + folder ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process was refused";
  EXPECT_EQ(Saved(), saved);
  EXPECT_EQ(MarkCalled(&session, 9, kStart), "") << "this one plays on";
}

TEST_F(SessionTest, AnotherSessionContinuesExactly) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineTwoLinesBingo, kStart), "");
  for (int number : {5, 17, 33, 48}) ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
  ASSERT_EQ(UndoLastCall(&session, kStart + 60), "");
  for (int number : {61, 70}) ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
  const Game before = session.game;
  CloseGameFolder(&session);

  const SavedGame found = LookForSavedGame(folder);
  EXPECT_EQ(found.state, SavedGameState::kFound);
  EXPECT_EQ(found.balls, 5u);
  EXPECT_EQ(found.started_ms, kStart);
  EXPECT_NE(found.offer.find("(5 bolas)"), std::string::npos) << found.offer;
  EXPECT_EQ(found.offer.rfind("Continuar la partida de las ", 0), 0u) << found.offer;

  GameSession again;
  ASSERT_EQ(OpenGameFolder(folder, &again), "");
  ASSERT_EQ(ContinueSavedGame(&again, kStart + 9000), "");
  EXPECT_EQ(again.game.called.order, (std::vector<uint8_t>{5, 17, 33, 61, 70}));
  EXPECT_EQ(found.balls, again.game.standing.size()) << "offered as continuing gives it";
  EXPECT_EQ(found.over, GameOver(again.game));
  EXPECT_EQ(again.game.calls.size(), 6u);
  EXPECT_TRUE(again.game.calls[3].undone);
  // The same game, and its continuation saved as one more event.
  EXPECT_EQ(JournalText(again.game),
            JournalText(before) + JournalEventLine(ContinueEvent(kStart + 9000)));
  EXPECT_EQ(Saved(), JournalText(again.game));
  EXPECT_EQ(MarkCalled(&again, 33, kStart + 99), "El 33 ya ha salido");
  CloseGameFolder(&again);
}

TEST_F(SessionTest, AFinishedGameIsFoundOverAndAnUndoneBallIsNotCounted) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  int number = 0;
  while (!GameOver(session.game)) {
    ++number;
    ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
    const std::vector<uint32_t> winners = CurrentWinners(session.game);
    if (winners.empty()) continue;
    ASSERT_EQ(ConfirmPrize(&session, winners, kStart + number), "");
  }
  SavedGame found = LookForSavedGame(folder);
  EXPECT_TRUE(found.over);
  EXPECT_EQ(found.balls, static_cast<size_t>(number));
  // Taking back the bingo's ball takes the bingo back: the game is on again.
  ASSERT_EQ(UndoLastCall(&session, kStart + 200), "");
  found = LookForSavedGame(folder);
  EXPECT_FALSE(found.over);
  EXPECT_EQ(found.balls, static_cast<size_t>(number - 1));
  EXPECT_FALSE(GameOver(session.game));
}

TEST_F(SessionTest, ADamagedGameIsKeptAsideAndExplained) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  for (int number : {5, 17, 33}) ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
  std::string damaged = Saved();
  damaged[damaged.size() - 15] ^= 1;  // inside the last line
  WriteWholeFile(GameFilePath(folder), damaged);
  CloseGameFolder(&session);

  EXPECT_EQ(LookForSavedGame(folder).state, SavedGameState::kDamaged);
  GameSession again;
  ASSERT_EQ(OpenGameFolder(folder, &again), "");
  const std::string said = ContinueSavedGame(&again, kStart + 9000);
  EXPECT_NE(said.find("está dañado (línea 10: "), std::string::npos) << said;
  EXPECT_NE(said.find("No se ha tocado, y se ha guardado una copia aparte en "), std::string::npos);
  EXPECT_FALSE(HasGame(again));
  EXPECT_EQ(Saved(), damaged) << "the damaged file is left as it was";
  std::vector<std::string> aside;
  for (const std::string& name : FolderEntries(folder))
    if (name.rfind("partida-dañada-", 0) == 0) aside.push_back(name);
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(ReadWholeFile(folder + "/" + aside[0]), damaged);
  EXPECT_NE(said.find(aside[0]), std::string::npos) << "the copy is named";
  // A new game then takes the file's place; the copy stays.
  ASSERT_EQ(StartNewGame(&again, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  EXPECT_EQ(ParseJournal(Saved()).error, "");
  EXPECT_EQ(ReadWholeFile(folder + "/" + aside[0]), damaged);
  CloseGameFolder(&again);
}

// The copies kept aside beside the game file.
std::vector<std::string> KeptAside(const std::string& folder) {
  std::vector<std::string> aside;
  for (const std::string& name : FolderEntries(folder))
    if (name.rfind("partida-dañada-", 0) == 0) aside.push_back(name);
  return aside;
}

// A saved game that cannot be replayed whole: never offered, kept aside before anything
// is said about it, and kept aside again before a new game takes its place.
void ExpectNotOfferedAndKeptAside(const std::string& folder, const std::string& bytes,
                                  const std::string& why, GameSession* session,
                                  const std::string& list_path) {
  CloseGameFolder(session);  // as a window opening later finds it
  ASSERT_EQ(OpenGameFolder(folder, session), "");
  const SavedGame found = LookForSavedGame(folder);
  EXPECT_EQ(found.state, SavedGameState::kDamaged);
  EXPECT_NE(found.error.find(why), std::string::npos) << found.error;
  EXPECT_EQ(found.offer, "");
  const std::string said = ContinueSavedGame(session, kStart + 9000);
  EXPECT_NE(said.find("está dañado (" ), std::string::npos) << said;
  EXPECT_NE(said.find(why), std::string::npos) << said;
  EXPECT_NE(said.find("se ha guardado una copia aparte en "), std::string::npos) << said;
  EXPECT_FALSE(HasGame(*session));
  ASSERT_EQ(KeptAside(folder).size(), 1u);
  EXPECT_EQ(ReadWholeFile(folder + "/" + KeptAside(folder)[0]), bytes);
  RemoveFile(folder + "/" + KeptAside(folder)[0]);
  ASSERT_EQ(StartNewGame(session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(KeptAside(folder).size(), 1u) << "kept aside before it was replaced";
  EXPECT_EQ(ReadWholeFile(folder + "/" + KeptAside(folder)[0]), bytes);
  EXPECT_EQ(ParseJournal(ReadWholeFile(GameFilePath(folder))).error, "");
}

TEST_F(SessionTest, AGameWhoseEventsBreakTheRulesIsNeverOffered) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  for (int number : {5, 17}) ASSERT_EQ(MarkCalled(&session, number, kStart + number), "");
  // Every line's checksum right, but a ball called twice.
  const std::string twice = Saved() + JournalEventLine(CallEvent(5, kStart + 30, false));
  WriteWholeFile(GameFilePath(folder), twice);
  ExpectNotOfferedAndKeptAside(folder, twice, "línea 10: El 5 ya ha salido", &session, list_path);
}

TEST_F(SessionTest, APrizeNoCardWonIsNeverOffered) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(MarkCalled(&session, 5, kStart + 5), "");
  ASSERT_TRUE(CurrentWinners(session.game).empty());
  const std::string unwon = Saved() + JournalEventLine(ConfirmEvent({3}, kStart + 30));
  WriteWholeFile(GameFilePath(folder), unwon);
  ExpectNotOfferedAndKeptAside(folder, unwon, "línea 9: Ningún cartón ha cantado línea", &session,
                               list_path);
}

TEST_F(SessionTest, AnOversizedGameFileIsKeptAsideWhole) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  std::string huge(3u << 20, 'x');
  for (size_t at = 0; at < huge.size(); at += 4099) huge[at] = static_cast<char>('a' + at % 26);
  WriteWholeFile(GameFilePath(folder), huge);
  ExpectNotOfferedAndKeptAside(folder, huge, "es demasiado grande para ser una partida", &session,
                               list_path);
}

TEST_F(SessionTest, AGameFileWithAWrongChecksumIsKeptAsideBeforeANewGame) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(MarkCalled(&session, 5, kStart + 5), "");
  std::string damaged = Saved();
  damaged[damaged.size() - 15] ^= 1;
  WriteWholeFile(GameFilePath(folder), damaged);
  ExpectNotOfferedAndKeptAside(folder, damaged, "línea 8: no dice lo que se escribió", &session,
                               list_path);
}

TEST_F(SessionTest, NoNewGameWhenTheDamagedOneCannotBeKeptAside) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  WriteWholeFile(GameFilePath(folder), "no es una partida\n");
  // Every name a copy could take at that second is taken already.
  const LocalTime at = LocalTimeOf(kStart);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", at.year, at.month, at.day,
                at.hour, at.minute, at.second);
  const std::string stem = folder + "/partida-dañada-" + stamp;
  WriteWholeFile(stem + ".txt", "");
  for (int copy = 2; copy <= 100; ++copy) WriteWholeFile(stem + "-" + std::to_string(copy) + ".txt", "");
  const std::string said = StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart);
  EXPECT_EQ(said.rfind("No se empieza otra partida: ", 0), 0u) << said;
  EXPECT_EQ(Saved(), "no es una partida\n") << "never overwritten";
  EXPECT_FALSE(HasGame(session));
}

TEST_F(SessionTest, AnUnreadableGameFileIsExplainedAndLeftAlone) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(::mkdir(GameFilePath(folder).c_str(), 0755), 0);
  EXPECT_EQ(LookForSavedGame(folder).state, SavedGameState::kDamaged);
  const std::string said = ContinueSavedGame(&session, kStart + 9000);
  EXPECT_EQ(said, "El archivo de la partida " + GameFilePath(folder) +
                      " está dañado (no se pudo leer). No se ha tocado.");
  EXPECT_TRUE(IsFolder(GameFilePath(folder)));
}

TEST_F(SessionTest, RefusalsChangeNothing) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  // A list that is not Tessarine's, a row that is not its code's, a range outside it.
  WriteWholeFile(scratch / "otra.csv", "nombre,apellido\r\nAna,Pérez\r\n");
  EXPECT_NE(StartNewGame(&session, scratch / "otra.csv", "", PrizePlan::kLineThenBingo, kStart)
                .find("no es una lista de cartones de Tessarine"),
            std::string::npos);
  std::string bytes = ReadWholeFile(list_path);
  const size_t row = bytes.find("\r\n") + 2 + 14;  // a field of the first card's first row
  bytes[row] = bytes[row] == '9' ? '8' : '9';
  WriteWholeFile(scratch / "cambiada.csv", bytes);
  EXPECT_NE(StartNewGame(&session, scratch / "cambiada.csv", "", PrizePlan::kLineThenBingo, kStart)
                .find("línea 2: la fila 1 no es la del cartón"),
            std::string::npos);
  EXPECT_EQ(StartNewGame(&session, list_path, "1-40", PrizePlan::kLineThenBingo, kStart),
            "el cartón 40 no está en la lista (tiene 30 cartones)");
  EXPECT_FALSE(PathExists(GameFilePath(folder))) << "no game was begun";
  // Numbers outside 1..99 once a game is on.
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(MarkCalled(&session, 12, kStart), "");
  const std::string saved = Saved();
  EXPECT_EQ(MarkCalled(&session, 0, kStart), "El 0 no vale: las bolas van del 1 al 99");
  EXPECT_EQ(MarkCalled(&session, 100, kStart), "El 100 no vale: las bolas van del 1 al 99");
  EXPECT_EQ(Saved(), saved);
  EXPECT_EQ(session.game.called.order, std::vector<uint8_t>{12});
}

TEST_F(SessionTest, ACallThatCannotBeSavedDoesNotCount) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(MarkCalled(&session, 12, kStart), "");
  // The game file's name taken by a folder: no save can put a file there.
  RemoveTree(GameFilePath(folder));
  ASSERT_EQ(::mkdir(GameFilePath(folder).c_str(), 0755), 0);
  const std::string said = MarkCalled(&session, 13, kStart);
  EXPECT_NE(said.find("No se pudo guardar la partida"), std::string::npos) << said;
  EXPECT_EQ(session.game.called.order, std::vector<uint8_t>{12});
  EXPECT_NE(DrawAndCall(&session, kStart).error, "");
  EXPECT_EQ(session.game.called.order, std::vector<uint8_t>{12});
}

TEST_F(SessionTest, AChangedListIsNotContinuedAgainst) {
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, kStart), "");
  ASSERT_EQ(MarkCalled(&session, 12, kStart), "");
  CloseGameFolder(&session);
  std::vector<ListLine> fewer(list.begin(), list.begin() + 10);
  WriteWholeFile(list_path, CardListBytes(fewer));
  const std::string saved = Saved();
  GameSession again;
  ASSERT_EQ(OpenGameFolder(folder, &again), "");
  EXPECT_EQ(ContinueSavedGame(&again, kStart + 9000),
            "No se puede continuar la partida: la lista " + list_path +
                " ha cambiado desde que empezó (su SHA-256 no es el mismo)");
  EXPECT_EQ(Saved(), saved);
  CloseGameFolder(&again);
}
// A game killed in the middle of its calls: every ball a call returned is there when the
// game is continued, in its order, and the killed process's lock does not hold the folder.
TEST_F(SessionTest, AKilledGameContinuesWithEveryBallItAnnounced) {
  int announced[2];
  ASSERT_EQ(::pipe(announced), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(announced[0]);
    GameSession playing;
    if (OpenGameFolder(folder, &playing) != "" ||
        StartNewGame(&playing, list_path, "", PrizePlan::kLineTwoLinesBingo, kStart) != "")
      ::_exit(1);
    for (;;) {
      const SessionDraw drawn = DrawAndCall(&playing, NowMilliseconds());
      if (!drawn.error.empty()) ::_exit(0);  // the game is over
      if (::write(announced[1], &drawn.number, 1) != 1) ::_exit(1);
      if (!CurrentWinners(playing.game).empty())
        ConfirmPrize(&playing, CurrentWinners(playing.game), NowMilliseconds());
    }
  }
  ::close(announced[1]);
  std::vector<uint8_t> heard;
  uint8_t number = 0;
  while (heard.size() < 12 && ::read(announced[0], &number, 1) == 1) heard.push_back(number);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  while (::read(announced[0], &number, 1) == 1) heard.push_back(number);
  ::close(announced[0]);
  ASSERT_GE(heard.size(), 12u);

  EXPECT_EQ(LookForSavedGame(folder).state, SavedGameState::kFound);
  ASSERT_EQ(OpenGameFolder(folder, &session), "") << "the killed process holds no lock";
  ASSERT_EQ(ContinueSavedGame(&session, kStart + 9000), "");
  const std::vector<uint8_t>& order = session.game.called.order;
  ASSERT_GE(order.size(), heard.size());
  EXPECT_EQ(std::vector<uint8_t>(order.begin(), order.begin() + heard.size()), heard);
  EXPECT_LE(order.size(), heard.size() + 1) << "at most the ball being announced when killed";
}
}  // namespace
