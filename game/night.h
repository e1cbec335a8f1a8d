// A night of games: one after another, each over a list (the same or another), each with
// its own cartones sold, price and prizes in money. The caller opens the next game's
// sale (list, price, prizes), sells cartones by ranges or by scanning them at the door,
// and starts the game, whose takings and prizes are fixed from then on. A game ends at its
// last prize; the next is sold again from the same paper.
//
// The night is journalled in the game folder's one file, a single game's journal for
// each game after a line with its money, and the sale in progress at the end:
//
//   tessarine-noche 1 #…
//   moneda € #…                       (the night's symbol, chosen once)
//   juego 150 p1500,p5000 #…          (price in cents; each prize: p hundredths of a %, c cents)
//   tessarine-partida 1 #…            (the game's own journal, as game/journal.h tells it)
//   …
//   venta 200 p1500,c2000 #…          (the next game's sale, open)
//   lista 3b0c…e1 /home/ana/cartones.csv #…
//   premios linea,bingo #…
//   vendidos 1-12,14 #…               ("ninguno" before the first)
//
// A file that begins as a single game's journal is one game with no money, as before.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/forecast.h"
#include "game/game.h"
#include "game/journal.h"
#include "game/money.h"

extern const char* const kNightMagicLine;  // "tessarine-noche 1"

struct GameMoney {
  Cents price = 0;                 // a cartón's; 0 for a game played without money
  std::vector<PrizeShare> shares;  // one a prize of the plan, in order
};
bool HasMoney(const GameMoney& money);

// The next game's sale, open until the game starts.
struct NightSale {
  bool open = false;
  std::string list_path, list_sha256;
  std::vector<ListLine> cards;
  CardsByCode card_of_code;
  PrizePlan plan = PrizePlan::kLineThenBingo;
  GameMoney money;
  std::vector<uint8_t> sold;  // one a card of the list: 1 = sold
  size_t sold_count = 0;
};

struct Night {
  bool on = false;  // false: a single game, journalled as before there were nights
  std::string symbol = kDefaultCurrency;
  std::vector<Game> played;  // the games before the current one, all over
  std::vector<GameMoney> played_money;
  GameMoney money;  // the current game's
  NightSale sale;
};
size_t GamesOfNight(const Night& night, bool has_game);  // played, and the current one

// What a prize of a game pays, and to whom.
struct PrizePayout {
  PrizeKind kind = PrizeKind::kLine;
  Cents amount = 0;
  bool given = false;  // won and confirmed, not taken back
  size_t call = 0;     // index in Game::calls of the ball it was won on, when given
  std::vector<uint32_t> winners;
  SharedPrize shared;  // the amount shared among the winners
};
std::vector<PrizePayout> PayoutsOf(const Game& game, const GameMoney& money);
Cents TakingsOf(const Game& game, const GameMoney& money);
Cents SaleTakings(const NightSale& sale);
// "" when the sale's prizes can be paid from its takings; else why not.
std::string CheckSalePrizes(const NightSale& sale, const std::string& symbol);

// The takings and each prize's amount, a line each: "Recaudación: 150,00 € (100 cartones
// a 1,50 €)", "Línea (15 %): 22,50 €"; none for a game without money.
std::vector<std::string> MoneyLines(const Game& game, const GameMoney& money,
                                    const std::string& symbol);
std::vector<std::string> SaleLines(const NightSale& sale, const std::string& symbol);
// A prize paid as the window says it: "22,50 €", "22,50 € entre 4: 5,62 € cada uno; sobran 0,02 €".
std::string PayoutText(const PrizePayout& payout, const std::string& symbol);

// What the forecast says of each prize's money beside its amount: how often two or more
// cartones share it, and what each would be paid then ("Línea compartida en el 12,3 % de
// las partidas: 11,25 € cada uno entre dos"). The forecast has no such figure for two lines.
std::vector<std::string> ForecastMoneyLines(const Forecast& forecast, const Game& game,
                                            const GameMoney& money, const std::string& symbol);

// The file's whole text: the night's, or a single game's journal when the night is off.
std::string NightJournalText(const Night& night, const Game* game);

struct NightContents {
  bool on = false;
  std::string symbol = kDefaultCurrency;
  std::vector<JournalContents> games;
  std::vector<GameMoney> money;  // one a game
  bool sale_open = false;
  std::string sale_list_path, sale_list_sha256, sold;
  PrizePlan sale_plan = PrizePlan::kLineThenBingo;
  GameMoney sale_money;
  std::string error;  // "" when read; else the damage, naming the line
};
NightContents ParseNightJournal(const std::string& bytes);
