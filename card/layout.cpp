#include "card/layout.h"

#include <cstring>

CardGenerator& CurrentGenerator() {
  static CardGenerator generator{&ProcessRandomSource(), {}, {}};
  return generator;
}

void BeginCard(CardGenerator& generator, uint32_t seed_bits) {
  std::memset(&generator.grid, 0, sizeof generator.grid);
  std::memset(generator.used, 0, sizeof generator.used);
  SeedBits(*generator.random, seed_bits);
  // Pass outer, row inner: the draw order is part of what a seed means.
  for (int pass = 1; pass <= kBlanksPerRow; ++pass) {
    for (int row = 1; row <= kCardRows; ++row) {
      int column;
      do {
        column = NextInRange(*generator.random, 1, kCardColumns);
      } while (generator.grid.cell[column][row].blank == 1);
      generator.grid.cell[column][row].blank = 1;
    }
  }
}


bool IsBlank(const CardGenerator& generator, int column, int row) {
  return generator.grid.cell[column][row].blank == 1;
}
bool IsBlank(int column, int row) { return IsBlank(CurrentGenerator(), column, row); }

int32_t NextNumber(CardGenerator& generator) {
  int32_t number;
  do {
    number = NextInRange(*generator.random, 1, kHighestNumber);
  } while (generator.used[number] == 1);
  generator.used[number] = 1;
  return number;
}
int32_t NextNumber() { return NextNumber(CurrentGenerator()); }

void SetRectangle(int column, int row, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  CardCell& cell = CurrentGenerator().grid.cell[column][row];
  cell.x1 = x1;
  cell.y1 = y1;
  cell.x2 = x2;
  cell.y2 = y2;
}

CardLayout PlanCard(uint32_t seed_bits) {
  RandomSource source;
  CardGenerator generator{&source, {}, {}};
  BeginCard(generator, seed_bits);
  CardLayout layout{};
  for (int row = 1; row <= kCardRows; ++row)
    for (int column = 1; column <= kCardColumns; ++column)
      layout.cell[row - 1][column - 1] =
          IsBlank(generator, column, row) ? 0 : static_cast<uint8_t>(NextNumber(generator));
  return layout;
}
