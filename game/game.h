// The bingo game, with no window: the cards in play, the numbers called in order with
// their times, the prizes played one after another, which cards complete the current
// prize with the number just called, the verdict on a claim, and the undo of the last
// call. Every change is an event; a game is its list and its events, so the journal
// that saves it and the replay that restores it go through the same few procedures.
//
// The prize rule is the hall's: a card wins the current prize only on the number just
// called, when that number fills one of its rows and it then has the rows the prize
// needs. Every card that does so on the same ball is a winner (a tie).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "card/called_numbers.h"
#include "card/layout.h"
#include "card/win_check.h"
#include "formats/card_list.h"
#include "game/cards_in_play.h"

enum class PrizePlan { kLineThenBingo, kLineTwoLinesBingo };
// The one table of the plans: the prizes each plays, in order, and its name in a journal.
struct PrizePlanEntry {
  PrizePlan plan;
  const char* journal_name;  // "linea,bingo"
  std::vector<PrizeKind> prizes;
};
const std::vector<PrizePlanEntry>& PrizePlans();
const PrizePlanEntry& PlanEntry(PrizePlan plan);
// The plan a journal names ("linea,bingo"); nullptr when it names none.
const PrizePlanEntry* PlanNamed(const std::string& journal_name);

// kPassOver: the organiser went on without giving the prize to the cards that had it on
// the number just called; it changes nothing but the record (the prize stays in play).
// kContinue: a saved game taken up again after a stop (the window closed, a crash); it
// changes nothing but the record.
enum class EventKind : uint8_t { kCall, kUndo, kConfirm, kPassOver, kContinue };
struct GameEvent {
  EventKind kind = EventKind::kCall;
  int64_t time_ms = 0;          // when it happened, milliseconds since 1970 (UTC)
  int number = 0;               // kCall: 1..99
  bool drawn = false;           // kCall: drawn by the program, else marked from a cage
  std::vector<uint32_t> cards;  // kConfirm, kPassOver: those winners, as indices in the list
};

struct GameCall {
  uint8_t number = 0;
  int64_t time_ms = 0;
  bool drawn = false;
  bool undone = false;  // taken back; the record keeps it as "anulada"
  int64_t undone_ms = 0;
};

struct GivenPrize {
  PrizeKind kind = PrizeKind::kLine;
  uint32_t card = 0;    // index in the list
  size_t call = 0;      // index in Game::calls of the ball it was won on
  size_t stage = 0;     // index in Game::prizes
  int64_t time_ms = 0;  // when it was confirmed
  bool undone = false;  // its ball was taken back
};

// ListLineKey to index in the list: a card found by its code.
using CardsByCode = std::unordered_map<uint32_t, uint32_t>;
CardsByCode CardsByCodeOf(const std::vector<ListLine>& cards);

struct Game {
  CardType type = CardType::kAnywhere99;  // the list's kind: the cage holds 1 to HighestBall
  std::string list_path;
  std::string list_sha256;
  std::vector<ListLine> cards;  // the whole list
  CardsInPlay play;
  CardsByCode card_of_code;
  std::vector<PrizeKind> prizes;
  size_t prizes_won = 0;  // prizes[prizes_won] is being played; all won at prizes.size()
  int64_t started_ms = 0;
  // The secret key of the checkable draw (game/checkable_draw.h), 32 bytes, made when the
  // game starts; empty for a game begun before the draw could be checked.
  std::string draw_key;
  std::vector<GameEvent> events;
  std::vector<GameCall> calls;   // every call made, the undone ones too
  std::vector<size_t> standing;  // indices in `calls` of the calls that stand, in order
  CalledNumbers called;          // the numbers that stand
  std::vector<GivenPrize> given;
  std::vector<GivenPrize> passed_over;  // winners the organiser went on without, for the record
  // For each number, the rows of cards in play that carry it (row id = card * 3 + row);
  // each call touches only those, never every card.
  std::vector<std::vector<uint32_t>> rows_with;
  std::vector<uint8_t> row_missing;  // per row id: its numbers not yet called
  std::vector<uint8_t> full_rows;    // per card of the list
};

struct NewGameResult {
  Game game;
  std::string error;  // "" when made
};
// The cards of `in_play` (ranges of card numbers, "" for all) of a list already read and
// checked, the prizes of the plan, nothing called yet, and a new key for its draw.
NewGameResult NewGame(std::vector<ListLine> cards, const std::string& in_play, PrizePlan plan,
                      const std::string& list_path, const std::string& list_sha256,
                      int64_t started_ms);

// "" when the event can happen now; else why not, in Spanish ("El 47 ya ha salido").
std::string CheckEvent(const Game& game, const GameEvent& event);
// Checks the event and, when it can happen, applies it and keeps it among the events.
std::string PlayEvent(Game* game, const GameEvent& event);

GameEvent CallEvent(int number, int64_t time_ms, bool drawn);
GameEvent UndoEvent(int64_t time_ms);
GameEvent ConfirmEvent(const std::vector<uint32_t>& cards, int64_t time_ms);
GameEvent PassOverEvent(const std::vector<uint32_t>& cards, int64_t time_ms);
GameEvent ContinueEvent(int64_t time_ms);

struct BallDraw {
  uint8_t number = 0;
  std::string error;
};
// A number not yet called: the one the game's key gives for its next drawn ball
// (game/checkable_draw.h), or, in a game with no key, at random from the system's
// cryptographic source.
BallDraw DrawBall(const Game& game);

bool GameOver(const Game& game);         // every prize given
PrizePlan PlanOf(const Game& game);
extern const char* const kGameOverText;  // "La partida ha terminado: ..."
// The layouts of the cards in play, in the list's order: what the forecast simulates.
std::vector<CardLayout> InPlayLayouts(const Game& game);
// The prize being played; meaningless once the game is over.
PrizeKind CurrentPrize(const Game& game);
// The cards in play that complete the current prize with the number just called, in
// the list's order; none before the first call or once the game is over.
std::vector<uint32_t> CurrentWinners(const Game& game);

// What to ask before the next ball while winners of the prize are pending: "El cartón 0071
// tiene línea con el 92. ¿Seguir sin dar el premio?"; "" when none are.
std::string PendingWinnersQuestion(const Game& game);

// "línea", "dos líneas", "bingo".
const char* PrizeText(PrizeKind kind);
// A winner as the window lists it: "0017  4730F0DB  línea" (card number, code, prize).
std::string WinnerText(const Game& game, uint32_t card);

struct TypedBall {
  int number = 0;
  std::string error;  // "" when the text is a whole number (its range is the call's to check)
};
// A number typed by the organiser for a ball from a physical cage: digits only, blanks
// around them allowed.
TypedBall ReadTypedBall(const std::string& text);

struct FoundCard {
  uint32_t card = 0;  // index in the list
  std::string error;  // "" when found; else why not ("El código 4730F0DB no es de ...")
};
// A card of a list by its number ("300", "0300") or its code, as the barcode gives it.
FoundCard FindListCard(const std::vector<ListLine>& cards, const CardsByCode& card_of_code,
                       const std::string& typed);

struct ClaimVerdict {
  bool valid = false;
  bool card_found = false;  // the card is in play: `layout` and `marked` hold it
  uint32_t card = 0;
  CardLayout layout{};
  bool marked[kCardRows][kCardColumns] = {};  // cells whose number has been called
  std::string text;  // "Línea válida: se completó con el 47, el último número"
};
// The verdict on a claim of the current prize by a card, typed as its number ("300",
// "0300") or its code (eight hexadecimal digits, as the barcode gives it).
ClaimVerdict JudgeClaim(const Game& game, const std::string& typed);
