// A game as a window plays it: the core's game, saved durably after every event in a
// folder of its own (the user's data folder), before the window shows or says anything,
// so that a crash, a kill or a power cut loses nothing. The folder is locked while the
// game is open: a second window on the same game is refused. Every procedure returns ""
// when it did what it says, else the Spanish text to show; on a refusal nothing changes.
//
// A window's whole use of the core, in order:
//   OpenGameFolder(UserDataFolder(), &s)             refused: another window has the game
//   LookForSavedGame(folder).offer                   "Continuar la partida de las 20:14 ..."
//   ContinueSavedGame(&s, now) or StartNewGame(&s, list, "1-250, 300-320", plan, now)
//   after "Sacar bola": DrawAndCall(&s, now).number  saved before it is shown or spoken
//   a typed or clicked ball: ReadTypedBall(text), then MarkCalled(&s, number, now)
//   CurrentPrize(s.game), CurrentWinners(s.game), WinnerText(s.game, card) after each call
//   ConfirmPrize(&s, cards, now), or PassOverPrize(&s, cards, now) once the organiser answers
//   PendingWinnersQuestion(s.game) by going on; UndoLastCall(&s, now) once the organiser confirms it
//   JudgeClaim(s.game, typed): the card, its marks and the verdict in words
//   SaveRecordCsv(s.game, title, path); RunForecastFromSystem(InPlayLayouts(s.game), n)
//   CloseGameFolder(&s)
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "disk/folder_lock.h"
#include "game/game.h"
#include "game/night.h"

extern const char* const kGameFileName;       // "partida.txt", in the session's folder
extern const char* const kNoGameText;         // "No hay ninguna partida abierta"
extern const char* const kFolderNotOpenText;  // "La carpeta de la partida no está abierta"
extern const char* const kSellingText;  // no ball while the next game's sale is open
std::string InGameFolder(const std::string& folder, const std::string& name);
std::string GameFilePath(const std::string& folder);

// Closed until its folder is opened and locked; playing once a game is begun or continued
// in it; closed again when the folder is let go.
enum class SessionState { kClosed, kFolderOpen, kPlaying };
struct GameSession {
  std::string folder;
  FolderLock lock;
  SessionState state = SessionState::kClosed;
  Game game;  // meaningful in kPlaying
  Night night;  // the games before this one, and the next one's sale while it is open
};
bool HasGame(const GameSession& session);  // kPlaying

// Makes the folder (and its parents) if missing and locks it for this session.
std::string OpenGameFolder(const std::string& folder, GameSession* session);
// Lets the folder go; the saved game stays there to be continued.
void CloseGameFolder(GameSession* session);

enum class SavedGameState { kNone, kFound, kDamaged };
struct SavedGame {
  SavedGameState state = SavedGameState::kNone;
  bool night = false;  // a night of games, to continue even when its last game is over
  int64_t started_ms = 0;
  size_t balls = 0;   // the calls that stand
  bool over = false;  // every prize given: nothing to continue
  std::string offer;  // "Continuar la partida de las 20:14 (23 bolas)"
  std::string list_path;  // the list it is played with
  std::string error;  // for kDamaged: what is wrong with the file
};
// What the folder holds, read without changing anything (and without the lock).
SavedGame LookForSavedGame(const std::string& folder);

// A new game from a list file, replacing the saved one; a damaged saved game is first
// kept aside under a name of its own.
std::string StartNewGame(GameSession* session, const std::string& list_path,
                         const std::string& in_play, PrizePlan plan, int64_t now_ms);
// The saved game, exactly as it was. A damaged file is kept aside, left as it was, and
// the text says what is wrong and where the copy is. The continuation is saved as an
// event at `now_ms` (the record shows the stop); `now_ms` also dates any copy kept aside.
std::string ContinueSavedGame(GameSession* session, int64_t now_ms);

struct SessionDraw {
  uint8_t number = 0;  // drawn and saved
  std::string error;
};
SessionDraw DrawAndCall(GameSession* session, int64_t now_ms);
std::string MarkCalled(GameSession* session, int number, int64_t now_ms);
std::string UndoLastCall(GameSession* session, int64_t now_ms);
std::string ConfirmPrize(GameSession* session, const std::vector<uint32_t>& cards, int64_t now_ms);
// The organiser goes on without giving the prize to these winners (PendingWinnersQuestion
// asked first): saved for the record; the prize stays in play.
std::string PassOverPrize(GameSession* session, const std::vector<uint32_t>& cards, int64_t now_ms);

// The night (game/night.h). The next game's sale opens once the game in play, if any, is
// over: its list, plan and money; the cartones sold, those of the same list, carry over
// when the sale is opened again to change its price or prizes. A single game begun with
// StartNewGame is no night: opening a sale then begins a night with `symbol`.
bool Selling(const GameSession& session);
std::string OpenSale(GameSession* session, const std::string& list_path, PrizePlan plan,
                     const GameMoney& money, const std::string& symbol, int64_t now_ms);
// Cartones sold by ranges ("1-250, 300"), or one scanned by its code (or typed by its
// number): refused, naming it, when one is sold already or is not in the list.
std::string SellCards(GameSession* session, const std::string& ranges);
std::string SellScanned(GameSession* session, const std::string& code);
// The sale's game begins: its takings and prizes are fixed, once they can be paid.
std::string StartSoldGame(GameSession* session, int64_t now_ms);
