// Win checking. A row is full when all its five numbers were called; the kind of win is
// the number of full rows. The place of each number in the call order tells at once
// whether the last call was needed: a row whose latest number is the last call.
#include "card/win_check.h"

#include <algorithm>

WinVerdict CheckCard(const CardLayout& layout, const CalledNumbers& called) {
  const size_t last = called.order.size();
  int full = 0, full_before_last = 0;
  for (const auto& row : layout.cell) {
    size_t latest = 0;  // the place of the row's latest call; 0 while one is uncalled
    bool complete = true;
    for (uint8_t number : row) {
      if (number == 0) continue;
      const size_t place = called.place[number];
      if (place == 0) complete = false;
      latest = std::max(latest, place);
    }
    if (!complete) continue;
    ++full;
    if (latest < last) ++full_before_last;
  }
  WinVerdict verdict;
  verdict.kind = static_cast<PrizeKind>(full);
  verdict.needs_last = full > full_before_last;
  return verdict;
}

bool BetterWin(const WinVerdict& a, const WinVerdict& b) {
  if (a.kind != b.kind) return a.kind > b.kind;
  return a.needs_last && !b.needs_last;
}

void OrderWinners(std::vector<CardWin>* winners) {
  std::stable_sort(winners->begin(), winners->end(), [](const CardWin& a, const CardWin& b) {
    return BetterWin(a.verdict, b.verdict);
  });
}
