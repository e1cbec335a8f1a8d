// The journal: a game written and read back is the same game; any damaged line is found
// and named.
#include "game/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "game_model.h"

namespace {
constexpr int64_t kStart = 1733775240000;

struct PlayedGame {
  std::vector<ListLine> list;
  Game game;
};

// A game with every kind of event: calls drawn and marked, prizes, an undo across one, a
// prize passed over before it is given, a continuation.
PlayedGame PlayedWithEverything() {
  std::mt19937 random(31);
  PlayedGame played;
  played.list = RandomList(40, &random);
  played.game = NewGame(played.list, "2-30, 35", PrizePlan::kLineTwoLinesBingo,
                        "/tmp/una carpeta/lista%1.csv", std::string(64, 'a'), kStart)
                    .game;
  Game& game = played.game;
  int64_t now = kStart;
  bool undone_across_prize = false;
  for (int number = 1; number <= kHighestNumber && !GameOver(game); ++number) {
    now += 1500;
    EXPECT_EQ(PlayEvent(&game, CallEvent(number, now, number % 2 == 0)), "");
    if (number == 3) {
      EXPECT_EQ(PlayEvent(&game, ContinueEvent(now + 1)), "");
    }
    if (CurrentWinners(game).empty()) continue;
    if (game.passed_over.empty()) {
      EXPECT_EQ(PlayEvent(&game, PassOverEvent(CurrentWinners(game), now + 5)), "");
    }
    EXPECT_EQ(PlayEvent(&game, ConfirmEvent(CurrentWinners(game), now + 10)), "");
    if (!undone_across_prize) {
      EXPECT_EQ(PlayEvent(&game, UndoEvent(now + 20)), "");
      undone_across_prize = true;
    }
  }
  return played;
}

TEST(JournalTest, AGameReadBackIsTheSameGame) {
  const PlayedGame played = PlayedWithEverything();
  const std::string text = JournalText(played.game);
  const JournalContents read = ParseJournal(text);
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.list_path, "/tmp/una carpeta/lista%1.csv");
  EXPECT_EQ(read.in_play, "2-30,35");
  EXPECT_EQ(read.started_ms, kStart);
  ASSERT_EQ(read.events.size(), played.game.events.size());
  const ReplayResult replayed = ReplayJournal(read, played.list);
  ASSERT_EQ(replayed.error, "");
  const Game& a = played.game;
  const Game& b = replayed.game;
  EXPECT_EQ(JournalText(b), text);
  EXPECT_EQ(b.called.order, a.called.order);
  EXPECT_EQ(b.prizes_won, a.prizes_won);
  ASSERT_EQ(b.calls.size(), a.calls.size());
  for (size_t i = 0; i < a.calls.size(); ++i) {
    EXPECT_EQ(b.calls[i].number, a.calls[i].number);
    EXPECT_EQ(b.calls[i].time_ms, a.calls[i].time_ms);
    EXPECT_EQ(b.calls[i].drawn, a.calls[i].drawn);
    EXPECT_EQ(b.calls[i].undone, a.calls[i].undone);
  }
  ASSERT_EQ(b.given.size(), a.given.size());
  for (size_t i = 0; i < a.given.size(); ++i) {
    EXPECT_EQ(b.given[i].card, a.given[i].card);
    EXPECT_EQ(b.given[i].undone, a.given[i].undone);
  }
  ASSERT_FALSE(a.passed_over.empty());
  ASSERT_EQ(b.passed_over.size(), a.passed_over.size());
  for (size_t i = 0; i < a.passed_over.size(); ++i) {
    EXPECT_EQ(b.passed_over[i].card, a.passed_over[i].card);
    EXPECT_EQ(b.passed_over[i].call, a.passed_over[i].call);
  }
  EXPECT_NE(text.find("\nsin-premio "), std::string::npos);
  EXPECT_NE(text.find("\ncontinuar "), std::string::npos);
  EXPECT_EQ(CurrentWinners(b), CurrentWinners(a));
}

TEST(JournalTest, EveryPlanIsReadBackAsTheSamePrizesInOrder) {
  std::mt19937 random(5);
  const std::vector<ListLine> list = RandomList(5, &random);
  const std::vector<std::vector<PrizeKind>> played = {
      {PrizeKind::kLine, PrizeKind::kBingo},
      {PrizeKind::kLine, PrizeKind::kTwoLines, PrizeKind::kBingo}};
  for (PrizePlan plan : {PrizePlan::kLineThenBingo, PrizePlan::kLineTwoLinesBingo}) {
    const Game game = NewGame(list, "", plan, "/l.csv", std::string(64, 'a'), kStart).game;
    EXPECT_EQ(game.prizes, played[static_cast<size_t>(plan)]);
    const JournalContents read = ParseJournal(JournalText(game));
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.plan, plan);
    EXPECT_EQ(ReplayJournal(read, list).game.prizes, game.prizes);
  }
}

TEST(JournalTest, EveryDamagedLineIsNamed) {
  const std::string text = JournalText(PlayedWithEverything().game);
  int line = 1;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n') {
      ++line;
      continue;
    }
    // One changed character in the line's text or its checksum.
    std::string damaged = text;
    damaged[at] = damaged[at] == '7' ? '8' : '7';
    const JournalContents read = ParseJournal(damaged);
    ASSERT_NE(read.error, "") << "byte " << at;
    ASSERT_EQ(read.error.rfind("línea " + std::to_string(line) + ": ", 0), 0u) << read.error;
  }
}

TEST(JournalTest, ACutOrEmptyFileIsDamaged) {
  const std::string text = JournalText(PlayedWithEverything().game);
  EXPECT_EQ(ParseJournal(text.substr(0, text.size() - 5)).error, "su última línea está cortada");
  EXPECT_EQ(ParseJournal("").error, "el archivo está vacío");
  EXPECT_EQ(ParseJournal("archivo,codigo,fila1,fila2,fila3\r\n").error,
            "línea 1: no es el archivo de una partida de Tessarine");
  // The header alone, cut after three of its five lines.
  size_t third = 0;
  for (int i = 0; i < 3; ++i) third = text.find('\n', third) + 1;
  EXPECT_EQ(ParseJournal(text.substr(0, third)).error, "le falta la cabecera de la partida");
}

// Lines sealed with a right checksum but saying what the program never writes.
std::string SealedLine(const std::string& text) {
  char digits[16];
  std::snprintf(digits, sizeof digits, " #%08X\n", static_cast<unsigned>(JournalChecksum(text)));
  return text + digits;
}

TEST(JournalTest, WellSealedLinesThatSayNothingOfOursAreDamage) {
  std::mt19937 random(1);
  const std::string header =
      JournalText(NewGame(RandomList(3, &random), "", PrizePlan::kLineThenBingo, "/l.csv",
                          std::string(64, 'c'), kStart)
                      .game);
  EXPECT_EQ(ParseJournal(header).error, "");
  for (const char* event :
       {"bola 0 1733775240000 azar", "bola 7 1733775240000 dado", "bola 7 ayer jaula", "deshacer",
        "premio 1733775240000 0", "premio 1733775240000 1,,2", "bingo 1733775240000"})
    EXPECT_EQ(ParseJournal(header + SealedLine(event)).error,
              "línea 8: no es un suceso de la partida")  // after the draw's key and commitment
        << event;
  EXPECT_EQ(ParseJournal(header + SealedLine("premio 1733775240000 3,1")).error, "");
  std::string bad_plan = header;
  const size_t plan = bad_plan.find("premios ");
  bad_plan.replace(plan, bad_plan.find('\n', plan) + 1 - plan, SealedLine("premios bingo"));
  EXPECT_EQ(ParseJournal(bad_plan).error, "línea 4: la cabecera de la partida está mal escrita");
}

TEST(JournalTest, AnEventThatCannotHappenIsDamageNamingItsLine) {
  PlayedGame played = PlayedWithEverything();
  JournalContents read = ParseJournal(JournalText(played.game));
  ASSERT_EQ(read.error, "");
  read.events.push_back(read.events.front());  // the first ball again
  read.event_lines.push_back(99);
  const ReplayResult replayed = ReplayJournal(read, played.list);
  EXPECT_EQ(replayed.error,
            "línea 99: El " + std::to_string(read.events.front().number) + " ya ha salido");
}
}  // namespace
