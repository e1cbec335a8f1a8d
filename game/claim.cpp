// A claim judged as the hall judges it: the card found by its number or its code, its
// called numbers marked, and the verdict said in words, with the numbers it rests on.
#include <algorithm>

#include "card/card_code.h"
#include "card/series_code.h"
#include "card/win_check.h"
#include "text/quoted_text.h"
#include "game/game.h"
#include "text/hex.h"
#include "text/trim.h"

namespace {
bool AllOf(const std::string& text, bool (*ok)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), ok);
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

FoundCard FindListCard(const std::vector<ListLine>& cards, const CardsByCode& card_of_code,
                       const std::string& typed) {
  FoundCard found;
  const CardType type = cards.empty() ? CardType::kAnywhere99 : cards.front().type;
  const std::string text = Trimmed(typed);
  const bool looks_like_code = text.size() == kCardCodeLength && AllOf(text, IsHexDigit);
  const SeriesCodeRead series = ReadSeriesCode(text);
  if (looks_like_code || series.error.empty()) {
    ListLine line;  // what the code names, found by its key
    line.type = looks_like_code ? CardType::kAnywhere99 : CardType::kSeries90;
    line.seed_bits = looks_like_code ? ParseCardCode(text).seed_bits : series.series_seed;
    line.place = series.place;
    const auto at = line.type == type ? card_of_code.find(ListLineKey(line)) : card_of_code.end();
    if (at == card_of_code.end())
      found.error = "El código " + ListLineCode(line) + " no es de ningún cartón de la lista";
    else
      found.card = at->second;
  } else if (text.size() <= kMostCardNumberDigits && AllOf(text, IsDigit)) {
    const size_t number = std::stoul(text);
    if (number == 0 || number > cards.size())
      found.error = "El cartón " + text + " no está en la lista (tiene " +
                    std::to_string(cards.size()) + " cartones)";
    else
      found.card = static_cast<uint32_t>(number - 1);
  } else {
    found.error =
        QuotedText(text) + (type == CardType::kSeries90
                                ? " no es un número de cartón ni un código (como 4730F0-3)"
                                : " no es un número de cartón ni un código (ocho cifras hexadecimales)");
  }
  return found;
}

namespace {
FoundCard FindClaimedCard(const Game& game, const std::string& typed) {
  FoundCard found = FindListCard(game.cards, game.card_of_code, typed);
  if (found.error.empty() && !game.play.in_play[found.card])
    found.error = "El cartón " + CardNumberText(found.card) + " no está en juego";
  return found;
}

std::string BallList(const std::vector<int>& numbers) {
  std::string text = numbers.size() == 1 ? "falta " : "faltan ";
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += i + 1 == numbers.size() ? " y " : ", ";
    text += "el " + std::to_string(numbers[i]);
  }
  return text;
}

// One row of the claimed card against the called numbers.
struct RowState {
  std::vector<int> missing;  // its numbers not called, in the row's order
  size_t completed_at = 0;   // the place in the call order of its last number; 0 if not full
};

std::vector<RowState> RowStates(const CardLayout& layout, const CalledNumbers& called) {
  std::vector<RowState> rows(kCardRows);
  for (int row = 0; row < kCardRows; ++row) {
    size_t latest = 0;
    for (uint8_t number : layout.cell[row]) {
      if (number == 0) continue;
      if (called.place[number] == 0) rows[row].missing.push_back(number);
      latest = std::max<size_t>(latest, called.place[number]);
    }
    if (rows[row].missing.empty()) rows[row].completed_at = latest;
  }
  return rows;
}

// The prize's words: [0] valid, [1] not there, [2] completed before the last number.
const char* PrizeWords(PrizeKind kind, int which) {
  static const char* const kWords[3][3] = {
      {"Línea válida: se completó", "No es línea", "La línea se completó"},
      {"Dos líneas válidas: se completaron", "No son dos líneas", "Las dos líneas se completaron"},
      {"Bingo válido: se completó", "No es bingo", "El bingo se completó"}};
  return kWords[static_cast<int>(kind) - 1][which];
}

struct Verdict {
  bool valid = false;
  std::string text;
};

// The verdict is the one --check gives (CheckCard); the rows only say why in words.
Verdict VerdictOf(const Game& game, const CardLayout& layout) {
  const PrizeKind prize = CurrentPrize(game);
  const WinVerdict win = CheckCard(layout, game.called);
  if (win.kind >= prize && win.needs_last)
    return {true, std::string(PrizeWords(prize, 0)) + " con el " +
                      std::to_string(game.called.order.back()) + ", el último número"};
  const size_t needed = static_cast<size_t>(prize);
  const std::vector<RowState> rows = RowStates(layout, game.called);
  if (win.kind >= prize) {
    std::vector<size_t> completions;
    for (const RowState& row : rows)
      if (row.completed_at != 0) completions.push_back(row.completed_at);
    std::sort(completions.begin(), completions.end());
    const int ball = game.called.order[completions[needed - 1] - 1];
    return {false, std::string(PrizeWords(prize, 2)) + " con el " + std::to_string(ball) +
                       ", no con el último número: no vale"};
  }
  std::vector<RowState> nearest = rows;
  std::stable_sort(nearest.begin(), nearest.end(), [](const RowState& a, const RowState& b) {
    return a.missing.size() < b.missing.size();
  });
  std::vector<int> missing;
  for (size_t i = 0; i < needed; ++i)
    missing.insert(missing.end(), nearest[i].missing.begin(), nearest[i].missing.end());
  std::sort(missing.begin(), missing.end());
  return {false, std::string(PrizeWords(prize, 1)) + ": " + BallList(missing)};
}
}  // namespace

ClaimVerdict JudgeClaim(const Game& game, const std::string& typed) {
  ClaimVerdict verdict;
  const FoundCard claimed = FindClaimedCard(game, typed);
  if (!claimed.error.empty()) {
    verdict.text = claimed.error;
    return verdict;
  }
  verdict.card_found = true;
  verdict.card = claimed.card;
  verdict.layout = game.cards[claimed.card].layout;
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const uint8_t number = verdict.layout.cell[row][column];
      verdict.marked[row][column] = number != 0 && game.called.place[number] != 0;
    }
  if (GameOver(game)) {
    verdict.text = kGameOverText;
  } else if (game.called.order.empty()) {
    verdict.text = "Aún no ha salido ninguna bola";
  } else {
    const Verdict judged = VerdictOf(game, verdict.layout);
    verdict.valid = judged.valid;
    verdict.text = judged.text;
  }
  return verdict;
}
