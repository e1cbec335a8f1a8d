// Ranges of card numbers, read strictly: a typo is named, never read as something else.
#include "game/cards_in_play.h"

#include "text/quoted_text.h"

namespace {

bool IsRangeSeparator(char c) { return c == ',' || c == ' ' || c == '\t'; }

// The value of text[begin, end) when it is a run of digits, else 0 (card numbers start at 1).
size_t NumberOf(const std::string& text, size_t begin, size_t end) {
  if (end <= begin || end - begin > kMostCardNumberDigits) return 0;
  size_t value = 0;
  for (size_t at = begin; at < end; ++at) {
    if (text[at] < '0' || text[at] > '9') return 0;
    value = value * 10 + static_cast<size_t>(text[at] - '0');
  }
  return value;
}

std::string AddRange(const std::string& token, size_t list_size, CardsInPlay* play) {
  const size_t dash = token.find('-');
  const size_t first = NumberOf(token, 0, dash == std::string::npos ? token.size() : dash);
  const size_t last = dash == std::string::npos ? first : NumberOf(token, dash + 1, token.size());
  if (first == 0 || last == 0)
    return QuotedText(token) + " no es un número de cartón ni un rango como 1-250";
  if (last < first) return "el rango " + token + " va al revés (se escribe de menor a mayor)";
  if (last > list_size)
    return "el cartón " + std::to_string(last) + " no está en la lista (tiene " +
           std::to_string(list_size) + (list_size == 1 ? " cartón)" : " cartones)");
  for (size_t card = first - 1; card < last; ++card) play->in_play[card] = 1;
  if (!play->text.empty()) play->text += ',';
  play->text += first == last ? std::to_string(first) : token;
  return "";
}
}  // namespace

CardsInPlay ParseCardsInPlay(const std::string& text, size_t list_size) {
  CardsInPlay play;
  play.in_play.assign(list_size, 0);
  const bool all = text.find_first_not_of(" \t") == std::string::npos || text == "todos";
  if (all) {
    play.in_play.assign(list_size, 1);
    play.count = list_size;
    return play;
  }
  size_t at = 0;
  while (at < text.size()) {
    if (IsRangeSeparator(text[at])) {
      ++at;
      continue;
    }
    const size_t start = at;
    while (at < text.size() && !IsRangeSeparator(text[at])) ++at;
    play.error = AddRange(text.substr(start, at - start), list_size, &play);
    if (!play.error.empty()) return play;
  }
  for (uint8_t one : play.in_play) play.count += one;
  return play;
}

std::string RangesText(const std::vector<uint8_t>& in_play) {
  std::string text;
  for (size_t first = 0; first < in_play.size(); ++first) {
    if (!in_play[first]) continue;
    size_t last = first;
    while (last + 1 < in_play.size() && in_play[last + 1]) ++last;
    text += (text.empty() ? "" : ",") + std::to_string(first + 1) +
            (last == first ? "" : "-" + std::to_string(last + 1));
    first = last;
  }
  return text;
}

std::string CardNumberText(size_t card_index) {
  constexpr size_t kShownDigits = 4;
  const std::string digits = std::to_string(card_index + 1);
  return digits.size() >= kShownDigits ? digits
                                       : std::string(kShownDigits - digits.size(), '0') + digits;
}
