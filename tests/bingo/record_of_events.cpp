// The record the Linux core makes of a game played elsewhere: the list, then the events
// as the Windows end-to-end driver played them through the window, one a line:
//   call 47      a ball marked from a cage (typed or clicked)
//   draw 47      a ball the window drew: played here as drawn with that number, so the
//                record says "azar N" with the same N (whether 47 is the key's ball is
//                for --verify-draw to say, not this comparison)
//   undo         the last call taken back
//   confirm      the current winners confirmed
// Plays them through the same session procedures a window calls and prints the record
// CSV, so run.sh can set its lines beside the record the Windows window saved.
//
//   bingo_record_of_events LIST.csv EVENTS.txt GAME_FOLDER TITLE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "game/game_file.h"
#include "game/record.h"
#include "game/session.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "uso: bingo_record_of_events LISTA.csv EVENTOS.txt CARPETA TITULO\n";
    return 2;
  }
  GameSession session;
  std::string failed = OpenGameFolder(argv[3], &session);
  int64_t now = 1765000000000;  // any time: the comparison leaves the times aside
  if (failed.empty()) failed = StartNewGame(&session, argv[1], "", PrizePlan::kLineThenBingo, now);
  std::ifstream events(argv[2]);
  std::string kind;
  while (failed.empty() && events >> kind) {
    now += 1000;
    if (kind == "call") {
      int number = 0;
      events >> number;
      failed = MarkCalled(&session, number, now);
    } else if (kind == "draw") {
      int number = 0;
      events >> number;
      failed = CommitEvent(&session, CallEvent(number, now, true));
    } else if (kind == "undo") {
      failed = UndoLastCall(&session, now);
    } else if (kind == "confirm") {
      failed = ConfirmPrize(&session, CurrentWinners(session.game), now);
    } else {
      failed = "evento desconocido: " + kind;
    }
  }
  if (!failed.empty()) {
    std::cerr << failed << "\n";
    return 1;
  }
  std::cout << RecordCsv(session.game, argv[4]);
  CloseGameFolder(&session);
  return 0;
}
