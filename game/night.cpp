// The money of a night's games: the takings fixed by the cartones sold and the price, and
// every prize's amount shared among the cartones that won it.
#include "game/night.h"

#include "text/letter_case.h"

namespace {
std::vector<std::string> PrizeNames(const std::vector<PrizeKind>& prizes) {
  std::vector<std::string> names;
  for (PrizeKind kind : prizes) names.push_back(PrizeText(kind));
  return names;
}


std::string TakingsLine(size_t sold, Cents price, const std::string& symbol) {
  return "Recaudación: " + MoneyText(Takings(sold, price), symbol) + " (" + std::to_string(sold) +
         (sold == 1 ? " cartón a " : " cartones a ") + MoneyText(price, symbol) + ")";
}

std::string AmountLine(PrizeKind kind, const PrizeShare& share, Cents takings,
                       const std::string& symbol) {
  const std::string amount = MoneyText(PrizeAmount(share, takings), symbol);
  return Capitalised(PrizeText(kind)) + (share.fixed ? "" : " (" + ShareText(share, symbol) + ")") +
         ": " + amount;
}
}  // namespace

bool HasMoney(const GameMoney& money) { return money.price > 0; }

size_t GamesOfNight(const Night& night, bool has_game) {
  return night.played.size() + (has_game ? 1 : 0);
}

Cents TakingsOf(const Game& game, const GameMoney& money) {
  return Takings(game.play.count, money.price);
}

Cents SaleTakings(const NightSale& sale) { return Takings(sale.sold_count, sale.money.price); }

std::vector<PrizePayout> PayoutsOf(const Game& game, const GameMoney& money) {
  std::vector<PrizePayout> payouts(game.prizes.size());
  const Cents takings = TakingsOf(game, money);
  for (size_t stage = 0; stage < payouts.size(); ++stage) {
    payouts[stage].kind = game.prizes[stage];
    if (stage < money.shares.size()) payouts[stage].amount = PrizeAmount(money.shares[stage], takings);
  }
  for (const GivenPrize& given : game.given) {
    if (given.undone || given.stage >= payouts.size()) continue;
    PrizePayout& payout = payouts[given.stage];
    payout.given = true;
    payout.call = given.call;
    payout.winners.push_back(given.card);
  }
  for (PrizePayout& payout : payouts) payout.shared = SharePrize(payout.amount, payout.winners.size());
  return payouts;
}

std::string CheckSalePrizes(const NightSale& sale, const std::string& symbol) {
  if (sale.sold_count == 0) return "No se ha vendido ningún cartón para la partida";
  return CheckPrizeShares(sale.money.shares, PrizeNames(PlanEntry(sale.plan).prizes),
                          SaleTakings(sale), symbol);
}

std::vector<std::string> MoneyLines(const Game& game, const GameMoney& money,
                                    const std::string& symbol) {
  if (!HasMoney(money)) return {};
  std::vector<std::string> lines = {TakingsLine(game.play.count, money.price, symbol)};
  const Cents takings = TakingsOf(game, money);
  for (size_t stage = 0; stage < game.prizes.size() && stage < money.shares.size(); ++stage)
    lines.push_back(AmountLine(game.prizes[stage], money.shares[stage], takings, symbol));
  return lines;
}

std::vector<std::string> SaleLines(const NightSale& sale, const std::string& symbol) {
  std::vector<std::string> lines = {TakingsLine(sale.sold_count, sale.money.price, symbol)};
  const std::vector<PrizeKind>& prizes = PlanEntry(sale.plan).prizes;
  for (size_t stage = 0; stage < prizes.size() && stage < sale.money.shares.size(); ++stage)
    lines.push_back(AmountLine(prizes[stage], sale.money.shares[stage], SaleTakings(sale), symbol));
  return lines;
}

std::string PayoutText(const PrizePayout& payout, const std::string& symbol) {
  const std::string amount = MoneyText(payout.amount, symbol);
  if (payout.winners.size() < 2) return amount;
  return amount + " entre " + std::to_string(payout.winners.size()) + ": " +
         MoneyText(payout.shared.each, symbol) + " cada uno" +
         (payout.shared.left_over == 0
              ? std::string()
              : "; sobra" + std::string(payout.shared.left_over == 1 ? " " : "n ") +
                    MoneyText(payout.shared.left_over, symbol));
}

std::vector<std::string> ForecastMoneyLines(const Forecast& forecast, const Game& game,
                                            const GameMoney& money, const std::string& symbol) {
  std::vector<std::string> lines;
  if (!HasMoney(money) || !forecast.error.empty()) return lines;
  for (const PrizePayout& payout : PayoutsOf(game, money)) {
    // The forecast simulates the first línea and the bingo; two lines has no tie figure.
    const bool line = payout.kind == PrizeKind::kLine, bingo = payout.kind == PrizeKind::kBingo;
    if (!line && !bingo) continue;
    lines.push_back(Capitalised(PrizeText(payout.kind)) + (line ? " compartida" : " compartido") + " en el " +
                    ForecastPercent(line ? forecast.line_tie_share : forecast.bingo_tie_share) +
                    " de las partidas: " + MoneyText(SharePrize(payout.amount, 2).each, symbol) +
                    " cada uno entre dos");
  }
  return lines;
}
