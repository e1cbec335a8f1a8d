// What both bingo windows do, once: every command of the window (open, start a game,
// draw, mark, undo, confirm, claim, save the record, prepare a run) and one procedure
// that turns the session into what the window shows. A front end only draws that and
// answers a handful of calls (a question, a file, the run form, speech); it holds no
// rule. Every rule that guards the hall's night lives here, for both platforms:
//   - a winner pending is never lost by drawing on: the caller is asked first;
//   - a ball is called by "Sacar bola", by Enter in the ball field, or by a board click
//     the caller confirms, never by a stray click;
//   - no run replaces the list of the game in play or of a saved game, and none replaces
//     a list or sheets that exist without asking;
//   - a game started from a run asks, as Ctrl+N does, before leaving one in progress,
//     and asks which cards are in play;
//   - the phones' page is off until the caller turns it on, and nothing a phone sends
//     reaches the game: the page's server only reads the snapshots published to it.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bingo/qr_code.h"

#include "card/layout.h"
#include "draw/draw.h"
#include "game/forecast.h"
#include "game/session.h"
#include "runs/card_run.h"

extern const char* const kBingoTitle;  // "Tessarine Bingo"
// The board's, the claimed card's and the run form's colour until a run chooses another.
constexpr Colour kBingoColour = 0xBF5F1F;  // 0x00BBGGRR: RGB 1F 5F BF

// The calls a front end answers. Questions and files are modal: they return the answer.
class BingoFrontEnd {
 public:
  virtual ~BingoFrontEnd() = default;
  // Yes or no, over the caller's window; `default_no` where yes loses something.
  virtual bool Ask(const std::string& question, bool default_no) = 0;
  // A line of text, offered with `initial`; false when cancelled.
  virtual bool AskText(const std::string& question, const std::string& initial,
                       std::string* answer) = 0;
  // A message that must be read, with one button.
  virtual void Warn(const std::string& text) = 0;
  // A card list to open; "" when cancelled.
  virtual std::string ChooseList() = 0;
  // Where to save the record (one name for its PDF and CSV); "" when cancelled.
  virtual std::string ChooseRecordFile(const std::string& folder, const std::string& offered) = 0;
  // The run's settings, the form starting from `request`; false when cancelled.
  virtual bool FillRunForm(CardRunRequest* request) = 0;
  // Makes the run with its progress and its Cancel shown; the lines it said, in order.
  virtual std::vector<std::string> MakeRun(const CardRunRequest& request) = 0;
  // The file in the system's viewer (the sheets).
  virtual void OpenFile(const std::string& path) = 0;
  // Says the number if the voice is on; the words said, "" for none.
  virtual std::string Speak(int number) = 0;
};

// The claimed card as the window shows it.
struct ClaimView {
  bool has_card = false;
  CardLayout layout{};
  bool marked[kCardRows][kCardColumns] = {};
  bool full_row[kCardRows] = {};
  // Drawn by the project's card renderer: ClaimCardWidth x ClaimCardHeight, 0xFFRRGGBB.
  std::vector<uint32_t> pixels;
  std::string heading;  // "Cartón 0017 · código 4730F0DB"
  std::string verdict;  // "Línea válida: …"; marked as old once another ball came
  bool valid = false;
  bool old = false;
};

// Everything the caller's window shows, computed from the session.
struct BingoScreen {
  bool has_game = false;
  bool playing = false;  // a game with prizes left
  bool making_run = false;
  bool can_draw = false, can_mark = false, can_undo = false, can_confirm = false;
  std::array<bool, 100> called{};
  int last = 0;   // the last ball, 0 before the first
  int balls = 0;  // the balls that stand
  int highest_ball = 99;  // the cage of the game's cards: 1 to 99, or 1 to 90
  Colour colour = kBingoColour;
  std::string prize;   // "Se juega: línea"
  // Before the first ball: the draw's commitment, to photograph or read out.
  std::string commitment;  // "Compromiso del sorteo: 3b0c 91ae …"; "" once a ball stands
  std::string status;  // what was said last
  bool status_is_refusal = false;
  std::vector<std::string> winners;  // "Cartón 0017  4730F0DB  línea"
  ClaimView claim;
  bool shows_forecast = false;  // until the first ball
  const Forecast* forecast = nullptr;
  // "Página para móviles": while on, its address in large letters and its QR code.
  bool page_on = false;
  std::string page_address;  // "http://192.168.1.20:8047/"; "" while off
  QrSquare page_qr;
};

struct PageServer;
struct PageCards;
extern const char* const kPageSwitchText;  // "Página para móviles"

struct BingoController {
  BingoFrontEnd* front = nullptr;
  std::string game_folder;
  int64_t (*now)() = nullptr;  // the clock; tests give their own
  GameSession session;
  Colour colour = kBingoColour;
  std::string status;
  bool status_is_refusal = false;
  ClaimView claim;
  size_t claim_balls = 0;  // the balls that stood when the claim was judged
  bool has_forecast = false;
  Forecast forecast;
  bool making_run = false;
  std::string sheets_title;  // the title of the sheets of the list in play, where known
  std::string record_title;  // asked once a game
  // The phones' page: its server, and the last snapshot published to it.
  std::shared_ptr<PageServer> page;
  bool page_on = false;
  std::string page_address;
  QrSquare page_qr;
  uint64_t page_number = 0;
  std::string page_fields;  // the last snapshot's content but its number
  std::string page_game;
  std::shared_ptr<const PageCards> page_cards;  // of page_game
};

void InitBingo(BingoController* bingo, BingoFrontEnd* front, const std::string& game_folder);

// Locks the game folder and offers to continue a saved game: "" when the window can be
// used, else why not (another window has this game).
std::string BingoOpen(BingoController* bingo);
// A new game from a list (línea then bingo): "" when started, else why not.
std::string BingoStartGame(BingoController* bingo, const std::string& list_path,
                           const std::string& in_play);
void BingoNewGame(BingoController* bingo);  // Ctrl+N: the list, then the cards in play
void BingoDraw(BingoController* bingo);     // "Sacar bola"
// Enter in the ball field: a ball from a cage, or a card's code scanned there.
void BingoEnterNumber(BingoController* bingo, const std::string& typed);
// A click on the board's number: called once the caller confirms it.
void BingoClickNumber(BingoController* bingo, int number);
void BingoUndo(BingoController* bingo);
void BingoConfirm(BingoController* bingo);
// Enter in the claim field: a card's number or code.
void BingoClaim(BingoController* bingo, const std::string& typed);
void BingoSaveRecord(BingoController* bingo);
void BingoPrepareCards(BingoController* bingo);
// "Página para móviles" on: listens on the port kept in the game folder (chosen once, the
// first time), or on another when that one is taken, kept from then on; off: stops.
void BingoSwitchPage(BingoController* bingo, bool on);
// After every command, with the window's refresh: a new snapshot for the phones when what
// they see has changed. It only hands a pointer over; it never waits on a phone.
void BingoPublishPage(BingoController* bingo);
// The file in the game folder that keeps the page's port.
std::string PagePortPath(const BingoController& bingo);
void CloseBingo(BingoController* bingo);

BingoScreen BingoScreenOf(const BingoController& bingo);

// A card's code as the sheets' barcode gives it: eight hexadecimal digits, or a series
// cartón's ("4730F0-3").
bool LooksLikeCardCode(const std::string& text);
// Why a run into `request`'s list would lose a game's list; "" when it would not.
std::string ListInUseText(const BingoController& bingo, const CardRunRequest& request);
