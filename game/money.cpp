// Money read strictly and written as Spanish users write it. Every sum is in cents.
#include "game/money.h"

#include "text/quoted_text.h"
#include "text/trim.h"

const char* const kDefaultCurrency = "€";

namespace {
// More integer digits than this is no price or prize of a bingo hall.
constexpr size_t kMostWholeDigits = 9;

// The text less a trailing `mark` (and the blanks before it); `*had` says if it was there.
std::string WithoutEnding(const std::string& text, const std::string& mark, bool* had) {
  *had = !mark.empty() && text.size() >= mark.size() &&
         text.compare(text.size() - mark.size(), mark.size(), mark) == 0;
  return *had ? Trimmed(text.substr(0, text.size() - mark.size())) : text;
}

// "12", "12,5", "12.50": hundredths, or -1 when the text is no such number.
int64_t Hundredths(const std::string& text) {
  const size_t mark = text.find_first_of(",.");
  const std::string whole = text.substr(0, mark);
  const std::string decimals = mark == std::string::npos ? "" : text.substr(mark + 1);
  if (whole.empty() || whole.size() > kMostWholeDigits || decimals.size() > 2) return -1;
  if (mark != std::string::npos && decimals.empty()) return -1;
  int64_t value = 0;
  for (char c : whole + decimals + std::string(2 - decimals.size(), '0')) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// "1.234.567": the integer's digits grouped by thousands.
std::string Grouped(int64_t whole) {
  std::string digits = std::to_string(whole);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ".");
  return digits;
}

std::string TwoDigits(int64_t value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}
}  // namespace

ReadMoney ReadPrice(const std::string& typed, const std::string& symbol) {
  ReadMoney read;
  bool had_symbol = false;
  const std::string text = WithoutEnding(Trimmed(typed), symbol, &had_symbol);
  const int64_t cents = Hundredths(text);
  if (!text.empty() && text[0] == '-' && Hundredths(Trimmed(text.substr(1))) >= 0)
    read.error = "El precio del cartón no puede ser negativo";
  else if (cents < 0)
    read.error = QuotedText(Trimmed(typed)) + " no es un precio: escríbalo como 1,50 o 2";
  else if (cents == 0)
    read.error = "El precio del cartón ha de ser mayor que 0";
  else if (cents > kMostPriceCents)
    read.error = "El precio del cartón no puede pasar de " + MoneyText(kMostPriceCents, symbol);
  else
    read.cents = cents;
  return read;
}

ReadShare ReadPrizeShare(const std::string& typed, const std::string& symbol) {
  ReadShare read;
  const std::string trimmed = Trimmed(typed);
  bool percent = false, money = false;
  std::string text = WithoutEnding(trimmed, "%", &percent);
  if (!percent) text = WithoutEnding(trimmed, symbol, &money);
  const int64_t value = Hundredths(text);
  if (!text.empty() && text[0] == '-')
    read.error = "Un premio no puede ser negativo";
  else if (value < 0 || (!percent && !money))
    read.error = QuotedText(trimmed) + " no es un premio: escríbalo como 15 % o como " +
                 MoneyText(2000, symbol);
  else if (percent && value > kWholePercent)
    read.error = "Un premio no puede pasar del 100 % de la recaudación";
  else
    read.share = {money, value};
  return read;
}

std::string MoneyText(Cents cents, const std::string& symbol) {
  const std::string sign = cents < 0 ? "-" : "";
  const Cents size = cents < 0 ? -cents : cents;
  return sign + Grouped(size / 100) + "," + TwoDigits(size % 100) +
         (symbol.empty() ? "" : " " + symbol);
}

std::string ShareText(const PrizeShare& share, const std::string& symbol) {
  if (share.fixed) return MoneyText(share.value, symbol);
  std::string text = std::to_string(share.value / 100);
  if (share.value % 100 != 0) {
    std::string decimals = TwoDigits(share.value % 100);
    if (decimals.back() == '0') decimals.pop_back();
    text += "," + decimals;
  }
  return text + " %";
}

std::string ShareWord(const PrizeShare& share) {
  return (share.fixed ? "c" : "p") + std::to_string(share.value);
}

ReadShare ShareOfWord(const std::string& word) {
  ReadShare read;
  read.error = "no es un premio";
  if (word.size() < 2 || word.size() > kMostWholeDigits + 3) return read;
  if (word[0] != 'c' && word[0] != 'p') return read;
  int64_t value = 0;
  for (size_t at = 1; at < word.size(); ++at) {
    if (word[at] < '0' || word[at] > '9') return read;
    value = value * 10 + (word[at] - '0');
  }
  if (word[0] == 'p' && value > kWholePercent) return read;
  read.share = {word[0] == 'c', value};
  read.error.clear();
  return read;
}

Cents Takings(size_t sold, Cents price) { return static_cast<Cents>(sold) * price; }

Cents PrizeAmount(const PrizeShare& share, Cents takings) {
  return share.fixed ? share.value : takings * share.value / kWholePercent;
}

std::string CheckPercentages(const std::vector<PrizeShare>& shares) {
  int64_t percent = 0;
  for (const PrizeShare& share : shares)
    if (!share.fixed) percent += share.value;
  if (percent <= kWholePercent) return "";
  return "Los premios suman " + ShareText({false, percent}, "") +
         " de la recaudación: no pueden pasar del 100 %";
}

std::string CheckPrizeShares(const std::vector<PrizeShare>& shares,
                             const std::vector<std::string>& names, Cents takings,
                             const std::string& symbol) {
  const std::string over = CheckPercentages(shares);
  if (!over.empty()) return over;
  Cents paid = 0;
  for (size_t at = 0; at < shares.size(); ++at) {
    if (shares[at].fixed && shares[at].value > takings)
      return "El premio de " + names[at] + " (" + MoneyText(shares[at].value, symbol) +
             ") es mayor que la recaudación (" + MoneyText(takings, symbol) + ")";
    paid += PrizeAmount(shares[at], takings);
  }
  if (paid > takings)
    return "Los premios suman " + MoneyText(paid, symbol) + ", más que la recaudación (" +
           MoneyText(takings, symbol) + ")";
  return "";
}

SharedPrize SharePrize(Cents amount, size_t winners) {
  SharedPrize shared;
  if (winners == 0) return shared;
  const Cents count = static_cast<Cents>(winners);
  shared.each = amount / count;
  shared.left_over = amount - shared.each * count;
  return shared;
}
