// The night's money: whole cents in 64-bit integers, never floating point. A price as
// the caller types it ("1,50", "1.50", "2"), a prize as a share of the takings ("15 %")
// or a fixed amount ("20,00 €"), what each prize pays from the cartones sold, and a prize
// shared by a tie: equal shares to the cent, rounded down, the cents left over said.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Cents = int64_t;

extern const char* const kDefaultCurrency;  // "€"
// A cartón's price is at most this (10.000,00): sums over 30,000 cartones stay exact.
constexpr Cents kMostPriceCents = 1000000;
constexpr int64_t kWholePercent = 10000;  // 100 %, in hundredths of a percent

struct ReadMoney {
  Cents cents = 0;
  std::string error;  // "" when read; else why not, in Spanish
};
// A cartón's price: a number with at most two decimals after a comma or a point, more
// than 0 and at most kMostPriceCents; the night's symbol may follow it.
ReadMoney ReadPrice(const std::string& text, const std::string& symbol);

// A prize's share of the takings: a percentage (hundredths of a percent) or fixed cents.
struct PrizeShare {
  bool fixed = false;
  int64_t value = 0;
};
struct ReadShare {
  PrizeShare share;
  std::string error;
};
// "15 %", "12,5%", "0 %" or "20,00 €", "20 €" (with the night's symbol).
ReadShare ReadPrizeShare(const std::string& text, const std::string& symbol);

// "1.234,50 €": the symbol after a blank; "" for none gives "1.234,50".
std::string MoneyText(Cents cents, const std::string& symbol);
// "15 %", "12,5 %", "20,00 €".
std::string ShareText(const PrizeShare& share, const std::string& symbol);
// As a journal writes it, one word: "p1500" (15 %) or "c2000" (20,00).
std::string ShareWord(const PrizeShare& share);
ReadShare ShareOfWord(const std::string& word);

// The takings of a game: the cartones sold at the price.
Cents Takings(size_t sold, Cents price);
// What a prize pays from the takings: a percentage rounded down to the cent, or the
// fixed amount.
Cents PrizeAmount(const PrizeShare& share, Cents takings);

// "" unless the percentages pass 100 % in all, whatever the takings.
std::string CheckPercentages(const std::vector<PrizeShare>& shares);
// "" when the prizes can be paid from the takings; else why not, naming the prize:
// percentages over 100 % in all, a fixed prize larger than the takings, or all the
// prizes together larger than the takings. `names` says each prize ("línea").
std::string CheckPrizeShares(const std::vector<PrizeShare>& shares,
                             const std::vector<std::string>& names, Cents takings,
                             const std::string& symbol);

struct SharedPrize {
  Cents each = 0;       // what every winner is paid
  Cents left_over = 0;  // the cents no winner is paid: amount - each * winners
};
SharedPrize SharePrize(Cents amount, size_t winners);
