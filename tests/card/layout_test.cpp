#include <gtest/gtest.h>

#include <set>

#include "card/layout.h"

namespace {
std::set<int> BlankColumns(const CardLayout& layout, int row) {
  std::set<int> columns;
  for (int column = 0; column < kCardColumns; ++column)
    if (layout.cell[row][column] == 0) columns.insert(column + 1);
  return columns;
}
}  // namespace

TEST(CardLayout, EveryCardHasFourBlanksPerRowAndFifteenDifferentNumbers) {
  bool seen_99 = false;
  std::set<int> columns_of_7;
  // Every 719th millisecond: 120,000 readings spread over the whole day, all seed
  // resolutions included (every card of the day would take too long).
  for (uint32_t ms = 0; ms < kMillisecondsPerDay; ms += 719) {
    const CardLayout layout = PlanCard(SeedBitsOfClock(ms));
    std::set<int> numbers;
    for (int row = 0; row < kCardRows; ++row) {
      ASSERT_EQ(BlankColumns(layout, row).size(), 4u) << "ms " << ms << " row " << row;
      for (int column = 0; column < kCardColumns; ++column) {
        const int n = layout.cell[row][column];
        if (n == 0) continue;
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 99);
        numbers.insert(n);
        seen_99 |= n == 99;
        if (n == 7) columns_of_7.insert(column);
      }
    }
    ASSERT_EQ(numbers.size(), 15u) << "ms " << ms;
  }
  EXPECT_TRUE(seen_99);
  EXPECT_EQ(columns_of_7.size(), 9u);  // numbers are not tied to columns
}

TEST(CardLayout, OneReadingAlwaysGivesOneCard) {
  for (uint32_t ms : {0u, 1u, 45296789u, 86399999u}) {
    EXPECT_EQ(PlanCard(SeedBitsOfClock(ms)), PlanCard(SeedBitsOfClock(ms)));
  }
  EXPECT_FALSE(PlanCard(SeedBitsOfClock(1000)) == PlanCard(SeedBitsOfClock(1001)));
}

// From midnight the first draws with 1..9 are 1, 1, 8, 2, 3, 7, 3, 2: with passes outside
// and rows inside they give row 1 the columns 1, 2, 3 and row 2 the columns 1, 3, 2 (the
// second draw lands in another row, so it is not rejected), row 3 the columns 8 and 7.
TEST(CardLayout, BlanksAreChosenPassByPassAcrossTheRows) {
  const CardLayout layout = PlanCard(SeedBitsOfClock(0));
  const std::set<int> row1 = BlankColumns(layout, 0), row2 = BlankColumns(layout, 1),
                      row3 = BlankColumns(layout, 2);
  for (int column : {1, 2, 3}) EXPECT_TRUE(row1.count(column)) << column;
  for (int column : {1, 2, 3}) EXPECT_TRUE(row2.count(column)) << column;
  for (int column : {7, 8}) EXPECT_TRUE(row3.count(column)) << column;
}

// The program's own generator, driven as the renderer drives it, gives the planned card
// and leaves the process source where the plan's private source ended.
TEST(CardLayout, TheProgramGeneratorFollowsThePlan) {
  const uint32_t seed = SeedBitsOfClock(45296789);
  const CardLayout plan = PlanCard(seed);
  BeginCard(CurrentGenerator(), seed);
  for (int row = 1; row <= kCardRows; ++row)
    for (int column = 1; column <= kCardColumns; ++column) {
      const bool blank = IsBlank(column, row);
      ASSERT_EQ(blank, plan.cell[row - 1][column - 1] == 0);
      if (!blank) {
        ASSERT_EQ(NextNumber(), plan.cell[row - 1][column - 1]);
      }
      SetRectangle(column, row, column * 80 - 79, row * 80 - 79, column * 80, row * 80);
    }
  const CardCell& last = CurrentGenerator().grid.cell[9][3];
  EXPECT_EQ(last.x1, 641);
  EXPECT_EQ(last.y2, 240);
  // A new card clears the rectangles and the used numbers.
  BeginCard(CurrentGenerator(), seed);
  EXPECT_EQ(CurrentGenerator().grid.cell[9][3].x1, 0);
  for (int n = 1; n <= 99; ++n) ASSERT_EQ(CurrentGenerator().used[n], 0);
}
