// The night's record: each game's own lines, then its money, line by line from the same
// payouts the window and the hall's screen show.
#include "card/card_code.h"
#include "disk/file_system.h"
#include "disk/save_error_text.h"
#include "game/game_clock.h"
#include "game/record.h"
#include "text/csv.h"

const char* const kNightRecordHeader = "partida,apartado,orden,hora,bola,carton,codigo,detalle,centimos";

namespace {
struct NightTotals {
  Cents takings = 0, paid = 0;
};

NightRecordRow Row(const std::string& game, const std::string& section, const std::string& detail,
                   const std::string& cents) {
  return {game, {section, "", "", "", "", "", detail}, cents};
}

// The ball's number on the screen for a prize: the record's own line of that prize.
const RecordRow* PrizeLine(const std::vector<RecordRow>& rows, const std::string& card,
                           const std::string& kind) {
  for (const RecordRow& row : rows)
    if (row.section == "premio" && row.card == card && row.detail == kind) return &row;
  return nullptr;
}

void AddMoney(const Game& game, const GameMoney& money, const std::string& symbol, const std::string& n,
              const std::vector<RecordRow>& rows, std::vector<NightRecordRow>* out, NightTotals* totals) {
  const Cents takings = TakingsOf(game, money);
  out->push_back(Row(n, "precio", MoneyText(money.price, symbol), std::to_string(money.price)));
  const std::string sold = std::to_string(game.play.count) + (game.play.count == 1 ? " cartón" : " cartones");
  out->push_back(Row(n, "recaudacion", sold, std::to_string(takings)));
  Cents paid = 0;
  const std::vector<PrizePayout> payouts = PayoutsOf(game, money);
  for (size_t stage = 0; stage < payouts.size(); ++stage) {
    const PrizePayout& payout = payouts[stage];
    const std::string kind = PrizeText(payout.kind);
    out->push_back(Row(n, "importe", kind + " (" + ShareText(money.shares[stage], symbol) + ")",
                       std::to_string(payout.amount)));
    for (uint32_t card : payout.winners) {
      const RecordRow* line = PrizeLine(rows, CardNumberText(card), kind);
      RecordRow pay = line != nullptr ? *line : RecordRow{};
      pay.section = "pago";
      pay.detail = kind;
      out->push_back({n, pay, std::to_string(payout.shared.each)});
      paid += payout.shared.each;
    }
    if (payout.given) out->push_back(Row(n, "sobrante", kind, std::to_string(payout.shared.left_over)));
  }
  out->push_back(Row(n, "caja", "lo que queda de la recaudación", std::to_string(takings - paid)));
  totals->takings += takings;
  totals->paid += paid;
}

void AddGame(const Game& game, const GameMoney& money, const std::string& symbol, size_t number,
             std::vector<NightRecordRow>* out, NightTotals* totals) {
  const std::string n = std::to_string(number);
  const std::vector<RecordRow> rows = RecordRows(game, "Partida " + n);
  for (const RecordRow& row : rows) out->push_back({n, row, ""});
  if (HasMoney(money)) AddMoney(game, money, symbol, n, rows, out, totals);
}
}  // namespace

std::vector<NightRecordRow> NightRecordRows(const Night& night, const Game* game,
                                            const std::string& title) {
  std::vector<NightRecordRow> rows = {Row("noche", "titulo", title, ""),
                                      Row("noche", "moneda", night.symbol, "")};
  NightTotals totals;
  for (size_t at = 0; at < night.played.size(); ++at)
    AddGame(night.played[at], night.played_money[at], night.symbol, at + 1, &rows, &totals);
  if (game != nullptr) AddGame(*game, night.money, night.symbol, night.played.size() + 1, &rows, &totals);
  const size_t games = GamesOfNight(night, game != nullptr);
  rows.push_back(Row("noche", "recaudacion", std::to_string(games) + (games == 1 ? " partida" : " partidas"),
                     std::to_string(totals.takings)));
  rows.push_back(Row("noche", "pagos", MoneyText(totals.paid, night.symbol), std::to_string(totals.paid)));
  rows.push_back(Row("noche", "caja", MoneyText(totals.takings - totals.paid, night.symbol),
                     std::to_string(totals.takings - totals.paid)));
  return rows;
}

std::string NightRecordCsv(const Night& night, const Game* game, const std::string& title) {
  std::string csv = std::string(kNightRecordHeader) + "\r\n";
  for (const NightRecordRow& line : NightRecordRows(night, game, title)) {
    const RecordRow& row = line.row;
    for (const std::string* field : {&line.game, &row.section, &row.order, &row.time, &row.ball,
                                     &row.card, &row.code, &row.detail})
      csv += CsvField(*field) + ",";
    csv += line.cents + "\r\n";
  }
  return csv;
}

std::string SaveNightRecordCsv(const Night& night, const Game* game, const std::string& title,
                               const std::string& path) {
  const std::string bytes = NightRecordCsv(night, game, title);
  const ByteSpan whole{bytes.data(), bytes.size()};
  const SaveError error = ReplaceFileWith(path, &whole, 1);
  return error == SaveError::kNone ? "" : RecordNotSavedText(path, SaveErrorText(error));
}
