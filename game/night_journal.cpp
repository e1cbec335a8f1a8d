// The night's file: its own few lines around each game's journal, which is written and
// read exactly as a single game's, so a single game's file is still read as it was.
#include <cstring>

#include "game/night.h"

const char* const kNightMagicLine = "tessarine-noche 1";

namespace {
std::string MoneyWords(const GameMoney& money) {
  std::string shares;
  for (const PrizeShare& share : money.shares) shares += (shares.empty() ? "" : ",") + ShareWord(share);
  return std::to_string(money.price) + " " + shares;
}

std::string SaleText(const NightSale& sale) {
  std::string sold = RangesText(sale.sold);
  return SealedLine("venta " + MoneyWords(sale.money)) +
         SealedLine("lista " + sale.list_sha256 + " " + EncodedPath(sale.list_path)) +
         SealedLine(std::string("premios ") + PlanEntry(sale.plan).journal_name) +
         SealedLine("vendidos " + (sold.empty() ? std::string("ninguno") : sold));
}

// "150 p1500,p5000" after "juego" or "venta": false when it is not what is written.
bool ReadMoneyWords(const std::vector<std::string>& w, GameMoney* money) {
  if (w.size() != 3) return false;
  money->price = JournalNumber(w[1], 7);
  if (money->price < 1 || money->price > kMostPriceCents) return false;
  size_t at = 0;
  while (at <= w[2].size()) {
    const size_t comma = w[2].find(',', at);
    const size_t end = comma == std::string::npos ? w[2].size() : comma;
    const ReadShare share = ShareOfWord(w[2].substr(at, end - at));
    if (!share.error.empty()) return false;
    money->shares.push_back(share.share);
    at = end + 1;
  }
  return true;
}

bool ReadPlan(const std::string& word, PrizePlan* plan) {
  const PrizePlanEntry* named = PlanNamed(word);
  if (named != nullptr) *plan = named->plan;
  return named != nullptr;
}

// Line `step` (0..3) of the sale: "" when read into *night, else what is wrong.
std::string ReadSaleLine(size_t step, const std::string& text, NightContents* night) {
  const std::vector<std::string> w = JournalWords(text);
  bool ok = false;
  if (step == 0) ok = w[0] == "venta" && ReadMoneyWords(w, &night->sale_money);
  if (step == 1 && w.size() == 3 && w[0] == "lista" && w[1].size() == kSha256Digits) {
    night->sale_list_sha256 = w[1];
    night->sale_list_path = DecodedPath(w[2]);
    ok = !night->sale_list_path.empty();
  }
  if (step == 2) ok = w.size() == 2 && w[0] == "premios" && ReadPlan(w[1], &night->sale_plan);
  if (step == 3 && w.size() == 2 && w[0] == "vendidos") {
    night->sold = w[1] == "ninguno" ? "" : w[1];
    ok = !w[1].empty();
  }
  return ok ? "" : "la venta de la partida está mal escrita";
}

struct NightLine {
  std::string raw;   // with its checksum, as a game's journal is read
  std::string text;  // without it
};

// The lines after the night's two, each checked; "" when every one is sealed.
std::string SplitLines(const std::string& bytes, std::vector<NightLine>* lines) {
  for (size_t at = 0; at < bytes.size();) {
    const size_t end = bytes.find('\n', at);
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    const UnsealedLine unsealed = Unsealed(line);
    if (!unsealed.error.empty())
      return "línea " + std::to_string(lines->size() + 1) + ": " + unsealed.error;
    lines->push_back({line, unsealed.text});
  }
  return "";
}

std::string ReadGame(const std::vector<NightLine>& lines, size_t* at, NightContents* night) {
  GameMoney money;
  if (!ReadMoneyWords(JournalWords(lines[*at].text), &money))
    return "línea " + std::to_string(*at + 1) + ": el dinero de la partida está mal escrito";
  std::string journal;
  const size_t first = ++*at;
  for (; *at < lines.size(); ++*at) {
    if (lines[*at].text.rfind("juego ", 0) == 0 || lines[*at].text.rfind("venta ", 0) == 0) break;
    journal += lines[*at].raw + "\n";
  }
  JournalContents game = ParseJournal(journal);
  if (!game.error.empty())
    return "partida " + std::to_string(night->games.size() + 1) + " (desde la línea " +
           std::to_string(first + 1) + "): " + game.error;
  if (money.shares.size() != PlanEntry(game.plan).prizes.size())
    return "línea " + std::to_string(first) + ": el dinero no dice cada premio de la partida";
  night->games.push_back(std::move(game));
  night->money.push_back(money);
  return "";
}

std::string ReadNightBody(const std::vector<NightLine>& lines, NightContents* night) {
  if (lines.size() < 2 || lines[0].text != kNightMagicLine) return "no es una noche de Tessarine";
  const std::vector<std::string> w = JournalWords(lines[1].text);
  if (w.size() != 2 || w[0] != "moneda" || DecodedPath(w[1]).empty())
    return "línea 2: la moneda de la noche está mal escrita";
  night->symbol = DecodedPath(w[1]);
  size_t at = 2;
  while (at < lines.size() && lines[at].text.rfind("juego ", 0) == 0) {
    const std::string error = ReadGame(lines, &at, night);
    if (!error.empty()) return error;
  }
  if (at == lines.size()) return "";
  if (at + 4 != lines.size()) return "línea " + std::to_string(at + 1) + ": no es parte de la noche";
  night->sale_open = true;
  for (size_t step = 0; step < 4; ++step) {
    const std::string error = ReadSaleLine(step, lines[at + step].text, night);
    if (!error.empty()) return "línea " + std::to_string(at + step + 1) + ": " + error;
  }
  return "";
}
}  // namespace

std::string NightJournalText(const Night& night, const Game* game) {
  if (!night.on) return game == nullptr ? "" : JournalText(*game);
  std::string text = SealedLine(kNightMagicLine) + SealedLine("moneda " + EncodedPath(night.symbol));
  for (size_t at = 0; at < night.played.size(); ++at)
    text += SealedLine("juego " + MoneyWords(night.played_money[at])) + JournalText(night.played[at]);
  if (game != nullptr) text += SealedLine("juego " + MoneyWords(night.money)) + JournalText(*game);
  if (night.sale.open) text += SaleText(night.sale);
  return text;
}

NightContents ParseNightJournal(const std::string& bytes) {
  NightContents night;
  const std::string magic = SealedLine(kNightMagicLine);
  if (bytes.compare(0, magic.size(), magic) != 0) {
    night.games.push_back(ParseJournal(bytes));
    night.money.emplace_back();
    night.error = night.games.back().error;
    return night;
  }
  night.on = true;
  if (bytes.back() != '\n') {
    night.error = "su última línea está cortada";
    return night;
  }
  std::vector<NightLine> lines;
  night.error = SplitLines(bytes, &lines);
  if (night.error.empty()) night.error = ReadNightBody(lines, &night);
  return night;
}
