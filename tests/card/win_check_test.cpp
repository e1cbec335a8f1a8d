#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>
#include <vector>

#include "card/called_numbers.h"
#include "card/random.h"
#include "card/win_check.h"
#include "card/win_report.h"

namespace {
// The reference: the called numbers as a set; a row is won when every number of it is in
// the set; the last number was needed when the same check without it finds fewer rows.
int FullRows(const CardLayout& layout, const std::set<int>& called) {
  int full = 0;
  for (const auto& row : layout.cell) {
    std::set<int> numbers;
    for (uint8_t n : row)
      if (n) numbers.insert(n);
    if (std::includes(called.begin(), called.end(), numbers.begin(), numbers.end())) ++full;
  }
  return full;
}

WinVerdict ReferenceVerdict(const CardLayout& layout, const std::vector<int>& order) {
  const std::set<int> all(order.begin(), order.end());
  const std::set<int> before(order.begin(), order.empty() ? order.end() : order.end() - 1);
  WinVerdict verdict;
  const int full = FullRows(layout, all);
  verdict.kind = static_cast<PrizeKind>(full);
  verdict.needs_last = full > FullRows(layout, before);
  return verdict;
}

CalledNumbers Called(const std::vector<int>& order) {
  CalledNumbers called;
  for (int n : order) EXPECT_TRUE(CallNumber(&called, n)) << n;
  return called;
}

std::vector<int> RowNumbers(const CardLayout& layout, int row) {
  std::vector<int> numbers;
  for (uint8_t n : layout.cell[row])
    if (n) numbers.push_back(n);
  return numbers;
}

std::vector<int> NumbersOffCard(const CardLayout& layout) {
  std::vector<int> off;
  for (int n = 1; n <= 99; ++n) {
    bool on = false;
    for (const auto& row : layout.cell)
      for (uint8_t m : row) on |= m == n;
    if (!on) off.push_back(n);
  }
  return off;
}
}  // namespace

TEST(WinCheck, AgreesWithTheSetReferenceOnEveryPrefixOfRandomGames) {
  std::mt19937 random(2024);
  std::vector<int> numbers(99);
  std::iota(numbers.begin(), numbers.end(), 1);
  int seen[4][2] = {};
  for (int game = 0; game < 400; ++game) {
    const CardLayout layout = PlanCard(static_cast<uint32_t>(random()));
    std::shuffle(numbers.begin(), numbers.end(), random);
    CalledNumbers called;
    std::vector<int> order;
    for (int n : numbers) {
      ASSERT_TRUE(CallNumber(&called, n));
      order.push_back(n);
      const WinVerdict verdict = CheckCard(layout, called);
      ASSERT_EQ(verdict, ReferenceVerdict(layout, order)) << "game " << game << " after "
                                                          << order.size() << " numbers";
      ++seen[static_cast<int>(verdict.kind)][verdict.needs_last];
    }
  }
  // Every kind was met both with and without the last number.
  for (int kind = 1; kind < 4; ++kind) {
    EXPECT_GT(seen[kind][0], 0) << kind;
    EXPECT_GT(seen[kind][1], 0) << kind;
  }
  EXPECT_EQ(seen[0][1], 0);  // no win needs nothing
}

TEST(WinCheck, ARowCalledInAnyOrderIsALineOnItsLastNumber) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 200; ++trial) {
    const CardLayout layout = PlanCard(static_cast<uint32_t>(random()));
    const int row = trial % 3;
    std::vector<int> order = RowNumbers(layout, row);
    std::shuffle(order.begin(), order.end(), random);
    for (size_t i = 1; i < order.size(); ++i) {
      const std::vector<int> part(order.begin(), order.begin() + i);
      ASSERT_EQ(CheckCard(layout, Called(part)).kind, PrizeKind::kNothing);
    }
    EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kLine, true}));
    // A number off the card afterwards: still a line, no longer won on the last call.
    order.push_back(NumbersOffCard(layout)[trial % 84]);
    EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kLine, false}));
    // A number of another row: the same.
    order.back() = RowNumbers(layout, (row + 1) % 3)[trial % 5];
    EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kLine, false}));
  }
}

TEST(WinCheck, TwoRowsAreTwoLinesAndAllFifteenABingo) {
  const CardLayout layout = PlanCard(SeedBitsOfClock(45296789));
  std::vector<int> order = RowNumbers(layout, 2);
  const std::vector<int> row0 = RowNumbers(layout, 0), row1 = RowNumbers(layout, 1);
  order.insert(order.end(), row0.begin(), row0.end());
  EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kTwoLines, true}));
  order.insert(order.end(), row1.begin(), row1.end() - 1);
  EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kTwoLines, false}));
  order.push_back(row1.back());
  EXPECT_EQ(CheckCard(layout, Called(order)), (WinVerdict{PrizeKind::kBingo, true}));
  // All 99 numbers with the card's last one called first: a bingo, long since.
  std::vector<int> all{row1.back()};
  for (int n = 1; n <= 99; ++n)
    if (n != row1.back()) all.push_back(n);
  EXPECT_EQ(CheckCard(layout, Called(all)), (WinVerdict{PrizeKind::kBingo, false}));
}

TEST(WinCheck, NothingCalledOnTheCardIsNothing) {
  const CardLayout layout = PlanCard(SeedBitsOfClock(0));
  EXPECT_EQ(CheckCard(layout, Called({})), (WinVerdict{PrizeKind::kNothing, false}));
  EXPECT_EQ(CheckCard(layout, Called(NumbersOffCard(layout))),
            (WinVerdict{PrizeKind::kNothing, false}));
}

TEST(WinOrder, BestKindFirstThenTheClaimOnTheLastNumber) {
  // The order a hall reads them in, best first.
  const std::vector<WinVerdict> ranked{
      {PrizeKind::kBingo, true},   {PrizeKind::kBingo, false}, {PrizeKind::kTwoLines, true},
      {PrizeKind::kTwoLines, false}, {PrizeKind::kLine, true},  {PrizeKind::kLine, false},
      {PrizeKind::kNothing, false}};
  for (size_t i = 0; i < ranked.size(); ++i) {
    EXPECT_FALSE(BetterWin(ranked[i], ranked[i])) << i;
    for (size_t j = i + 1; j < ranked.size(); ++j) {
      EXPECT_TRUE(BetterWin(ranked[i], ranked[j])) << i << " before " << j;
      EXPECT_FALSE(BetterWin(ranked[j], ranked[i])) << j << " not before " << i;
    }
  }
}

TEST(WinOrder, EqualWinsKeepTheOrderOfTheList) {
  std::mt19937 random(9);
  std::vector<CardWin> winners;
  for (size_t card = 0; card < 300; ++card) {
    const int kind = 1 + static_cast<int>(random() % 3);
    winners.push_back({card, {static_cast<PrizeKind>(kind), random() % 2 == 0}});
  }
  std::vector<CardWin> ordered = winners;
  OrderWinners(&ordered);
  ASSERT_EQ(ordered.size(), winners.size());
  // Reference: bucket by rank, each bucket in list order.
  std::vector<size_t> expected;
  for (int kind = 3; kind >= 1; --kind)
    for (bool last : {true, false})
      for (const CardWin& w : winners)
        if (static_cast<int>(w.verdict.kind) == kind && w.verdict.needs_last == last)
          expected.push_back(w.card);
  for (size_t i = 0; i < ordered.size(); ++i) ASSERT_EQ(ordered[i].card, expected[i]) << i;
}

TEST(WinReport, LinesInTheHallsWords) {
  EXPECT_EQ(WinnerLine("0017.bmp", 0x4730F0DB, {PrizeKind::kBingo, true}),
            "0017.bmp  4730F0DB  bingo  (con el último número)");
  EXPECT_EQ(WinnerLine("0002.png", 0x0000000A, {PrizeKind::kTwoLines, false}),
            "0002.png  0000000A  dos líneas  (antes del último número)");
  EXPECT_EQ(WinnerLine("", 0x4730F0CA, {PrizeKind::kLine, true}),
            "4730F0CA  línea  (con el último número)");
  EXPECT_EQ(WinnerLine("", 0x4730F0CA, {}), "4730F0CA  sin premio");
}

TEST(WinReport, SummaryCountsEachKind) {
  const CalledNumbers called = Called({7, 12, 33});
  const std::vector<CardWin> winners{{4, {PrizeKind::kBingo, true}},
                                     {0, {PrizeKind::kLine, false}},
                                     {9, {PrizeKind::kLine, true}},
                                     {2, {PrizeKind::kTwoLines, false}}};
  EXPECT_EQ(WinSummary(30000, winners, called),
            "30000 cartones comprobados con 3 números cantados (el último, 33): 1 bingo, "
            "1 de dos líneas, 2 de línea; 2 premios con el último número");
  EXPECT_EQ(WinSummary(1, {}, Called({5})),
            "1 cartón comprobado con 1 número cantado (el último, 5): ningún premio");
  EXPECT_EQ(WinSummary(2, {{0, {PrizeKind::kBingo, false}}, {1, {PrizeKind::kBingo, true}}},
                       called),
            "2 cartones comprobados con 3 números cantados (el último, 33): 2 bingos, "
            "0 de dos líneas, 0 de línea; 1 premio con el último número");
}
