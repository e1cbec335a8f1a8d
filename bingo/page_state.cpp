#include "bingo/page_state.h"

#include <algorithm>

#include "card/win_check.h"
#include "formats/card_list.h"
#include "game/game.h"
#include "text/json.h"

namespace {
void AppendNumbers(std::string* out, const std::vector<int>& numbers) {
  out->push_back('[');
  for (size_t at = 0; at < numbers.size(); ++at) {
    if (at > 0) out->push_back(',');
    *out += std::to_string(numbers[at]);
  }
  out->push_back(']');
}

void AppendTexts(std::string* out, const std::vector<std::string>& texts) {
  out->push_back('[');
  for (size_t at = 0; at < texts.size(); ++at) {
    if (at > 0) out->push_back(',');
    AppendJsonString(out, texts[at]);
  }
  out->push_back(']');
}

void AppendField(std::string* out, const char* name, const std::string& value) {
  *out += std::string(",\"") + name + "\":";
  AppendJsonString(out, value);
}

void AppendField(std::string* out, const char* name, int value) {
  *out += std::string(",\"") + name + "\":" + std::to_string(value);
}

// The rows a card needs for the prize in play: 1 for línea, 2 for dos líneas, 3 for bingo.
int RowsOfPrize(const BingoController& bingo) {
  if (!HasGame(bingo.session) || GameOver(bingo.session.game)) return 0;
  switch (CurrentPrize(bingo.session.game)) {
    case PrizeKind::kLine: return 1;
    case PrizeKind::kTwoLines: return 2;
    case PrizeKind::kBingo: return kCardRows;
    case PrizeKind::kNothing: return 0;
  }
  return 0;
}

void AppendLayout(std::string* out, const CardLayout& layout) {
  out->push_back('[');
  for (int row = 0; row < kCardRows; ++row) {
    std::vector<int> cells(layout.cell[row].begin(), layout.cell[row].end());
    if (row > 0) out->push_back(',');
    AppendNumbers(out, cells);
  }
  out->push_back(']');
}
}  // namespace

std::string PageGameOf(const BingoController& bingo) {
  if (!HasGame(bingo.session)) return "";
  const Game& game = bingo.session.game;
  return std::to_string(game.started_ms) + "-" + game.list_sha256.substr(0, 12);
}

std::shared_ptr<const PageCards> PageCardsOf(const BingoController& bingo) {
  if (!HasGame(bingo.session)) return nullptr;
  const Game& game = bingo.session.game;
  auto cards = std::make_shared<PageCards>();
  for (size_t card = 0; card < game.cards.size(); ++card)
    if (game.play.in_play[card])
      cards->by_code.emplace(ListLineCode(game.cards[card]), game.cards[card].layout);
  return cards;
}

std::string PageFieldsOf(const BingoController& bingo, const HallScreen& hall) {
  std::string out = "\"partida\":" + JsonString(PageGameOf(bingo));
  out += std::string(",\"hay\":") + (hall.has_game ? "true" : "false");
  AppendField(&out, "ultima", hall.last);
  AppendField(&out, "bolas", hall.balls);
  AppendField(&out, "maximo", hall.highest_ball);
  std::vector<int> called;
  for (int number = 1; number <= hall.highest_ball; ++number)
    if (hall.called[static_cast<size_t>(number)]) called.push_back(number);
  out += ",\"salidas\":";
  AppendNumbers(&out, called);
  out += ",\"recientes\":";
  AppendNumbers(&out, hall.recent);
  AppendField(&out, "premio", hall.prize);
  AppendField(&out, "filas", RowsOfPrize(bingo));
  // The prize's amount where the night's games give money; "" and not shown where not.
  AppendField(&out, "importe", std::string());
  AppendField(&out, "aviso", hall.banner);
  out += ",\"dados\":";
  AppendTexts(&out, hall.given);
  AppendField(&out, "compromiso", hall.commitment);
  return out;
}

PageState PageStateOf(uint64_t number, const std::string& fields,
                      std::shared_ptr<const PageCards> cards) {
  PageState state;
  state.number = number;
  state.json = "{\"n\":" + std::to_string(number) + "," + fields + "}";
  state.cards = std::move(cards);
  return state;
}

std::vector<std::string> PageCodesAsked(const std::string& query) {
  std::vector<std::string> codes;
  size_t from = 0;
  while (from <= query.size() && codes.size() < kMostPageCodes) {
    const size_t comma = std::min(query.find(',', from), query.size());
    std::string code = query.substr(from, comma - from);
    for (char& c : code)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (LooksLikeCardCode(code)) codes.push_back(code);
    from = comma + 1;
  }
  return codes;
}

std::string PageStateWithCards(const PageState& state, const std::vector<std::string>& codes) {
  std::string out = state.json.substr(0, state.json.size() - 1) + ",\"cartones\":{";
  for (size_t at = 0; at < codes.size(); ++at) {
    if (at > 0) out.push_back(',');
    AppendJsonString(&out, codes[at]);
    out.push_back(':');
    const auto found = state.cards ? state.cards->by_code.find(codes[at])
                                   : std::unordered_map<std::string, CardLayout>::const_iterator();
    if (state.cards && found != state.cards->by_code.end())
      AppendLayout(&out, found->second);
    else
      out += "null";
  }
  return out + "}}";
}
