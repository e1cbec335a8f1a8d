// The night's sale in the session: every change saved with the whole file before it is
// applied, as a ball is, so a kill during the sales loses no cartón sold.
#include "game/game_file.h"
#include "game/session.h"

namespace {
// The night with `sale` in place of its own saved; applied only once it is.
std::string SaveSale(GameSession* session, NightSale sale) {
  Night night = session->night;
  night.sale = std::move(sale);
  const std::string failed = SaveGameFile(
      session->folder, NightJournalText(night, HasGame(*session) ? &session->game : nullptr));
  if (!failed.empty()) return failed + ": la venta no cuenta hasta que se guarde";
  session->night = std::move(night);
  return "";
}

std::string SoldText(size_t card) { return "El cartón " + CardNumberText(card) + " ya está vendido"; }

// A night begun from a single game, or none: the game is left, not continued.
void BeginNight(GameSession* session, const std::string& symbol) {
  session->night = Night();
  session->night.on = true;
  session->night.symbol = symbol;
  if (HasGame(*session)) session->state = SessionState::kFolderOpen;
}
}  // namespace

bool Selling(const GameSession& session) { return session.night.sale.open; }

std::string OpenSale(GameSession* session, const std::string& list_path, PrizePlan plan,
                     const GameMoney& money, const std::string& symbol, int64_t now_ms) {
  if (session->state == SessionState::kClosed) return kFolderNotOpenText;
  if (HasGame(*session) && !GameOver(session->game) && session->night.on)
    return "La partida en juego aún no ha terminado: la siguiente se vende cuando acabe";
  if (money.shares.size() != PlanEntry(plan).prizes.size()) return "Falta el importe de algún premio";
  ListFile list = ReadListFile(list_path);
  if (!list.error.empty()) return list.error;
  if (!session->night.on) {
    const std::string no_room = MakeRoomForNewGame(session->folder, now_ms);
    if (!no_room.empty()) return no_room;
  }
  NightSale sale;
  sale.open = true;
  sale.list_path = list_path;
  sale.list_sha256 = list.sha256;
  sale.plan = plan;
  sale.money = money;
  sale.sold.assign(list.cards.size(), 0);
  const NightSale& before = session->night.sale;
  if (before.open && before.list_sha256 == list.sha256) {  // changing the price keeps the sales
    sale.sold = before.sold;
    sale.sold_count = before.sold_count;
  }
  sale.cards = std::move(list.cards);
  sale.card_of_code = CardsByCodeOf(sale.cards);
  if (!session->night.on) {
    const GameSession kept = *session;
    BeginNight(session, symbol);
    const std::string failed = SaveSale(session, std::move(sale));
    if (!failed.empty()) *session = kept;
    return failed;
  }
  return SaveSale(session, std::move(sale));
}

std::string SellCards(GameSession* session, const std::string& ranges) {
  if (!Selling(*session)) return "No hay ninguna venta abierta: Noche ▸ Siguiente partida…";
  NightSale sale = session->night.sale;
  const CardsInPlay typed = ParseCardsInPlay(ranges, sale.cards.size());
  if (!typed.error.empty()) return "No se vende nada: " + typed.error;
  for (size_t card = 0; card < sale.sold.size(); ++card) {
    if (!typed.in_play[card]) continue;
    if (sale.sold[card]) return "No se vende nada: " + SoldText(card);
    sale.sold[card] = 1;
    ++sale.sold_count;
  }
  return SaveSale(session, std::move(sale));
}

std::string SellScanned(GameSession* session, const std::string& code) {
  if (!Selling(*session)) return "No hay ninguna venta abierta: Noche ▸ Siguiente partida…";
  NightSale sale = session->night.sale;
  const FoundCard found = FindListCard(sale.cards, sale.card_of_code, code);
  if (!found.error.empty()) return found.error;
  if (sale.sold[found.card]) return SoldText(found.card);
  sale.sold[found.card] = 1;
  ++sale.sold_count;
  return SaveSale(session, std::move(sale));
}

std::string StartSoldGame(GameSession* session, int64_t now_ms) {
  if (!Selling(*session)) return "No hay ninguna venta abierta: Noche ▸ Siguiente partida…";
  const NightSale& sale = session->night.sale;
  const std::string unpaid = CheckSalePrizes(sale, session->night.symbol);
  if (!unpaid.empty()) return "No empieza la partida: " + unpaid;
  NewGameResult made = NewGame(sale.cards, RangesText(sale.sold), sale.plan, sale.list_path,
                               sale.list_sha256, now_ms);
  if (!made.error.empty()) return made.error;
  Night night = session->night;
  if (HasGame(*session)) {
    night.played.push_back(session->game);
    night.played_money.push_back(night.money);
  }
  night.money = sale.money;
  night.sale = NightSale();
  const std::string failed = SaveGameFile(session->folder, NightJournalText(night, &made.game));
  if (!failed.empty()) return failed + ": la partida no empieza hasta que se guarde";
  session->night = std::move(night);
  session->game = std::move(made.game);
  session->state = SessionState::kPlaying;
  return "";
}
