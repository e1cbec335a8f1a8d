// Checking a claimed win: what a card has won with the numbers called so far, whether it
// needed the last number called (a claim is valid only on the number just called), and
// the order in which winning cards are shown.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "card/called_numbers.h"
#include "card/layout.h"

// What a card has won, and the prizes a game plays for: the value is the number of full
// rows, so the kinds go from least to best and a bingo is all three rows (15 numbers).
enum class PrizeKind : uint8_t { kNothing = 0, kLine = 1, kTwoLines = 2, kBingo = 3 };

struct WinVerdict {
  PrizeKind kind = PrizeKind::kNothing;
  bool needs_last = false;  // without the last number called the card had less
  bool operator==(const WinVerdict& other) const {
    return kind == other.kind && needs_last == other.needs_last;
  }
};

WinVerdict CheckCard(const CardLayout& layout, const CalledNumbers& called);

// A card of a list (by its index there) with what it won.
struct CardWin {
  size_t card = 0;
  WinVerdict verdict;
};

// True when `a` comes before `b`: the better kind first; within a kind, a win on the last
// number (the claim that stands now) before one made earlier.
bool BetterWin(const WinVerdict& a, const WinVerdict& b);

// Best first; equal verdicts keep the order of the list.
void OrderWinners(std::vector<CardWin>* winners);
