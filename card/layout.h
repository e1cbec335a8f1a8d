// The card layout generator: which cells of a 9 x 3 card are blank and which number
// each other cell carries. Blanks are chosen all at once when a card begins; numbers
// are drawn one at a time as the renderer walks the cells in reading order, so the
// seed alone decides the whole card.
#pragma once
#include <array>
#include <cstdint>

#include "card/random.h"

constexpr int kCardColumns = 9;
constexpr int kCardRows = 3;
constexpr int kBlanksPerRow = 4;
constexpr int kNumbersPerCard = 15;
constexpr int kHighestNumber = 99;

struct CardCell {
  int32_t x1, y1, x2, y2;  // the cell's rectangle in the card image
  int32_t blank;           // 1 = blank, 0 = carries a number
};

// Indexed column 1..9, row 1..3 (column first); index 0 is unused.
struct CardGrid {
  CardCell cell[kCardColumns + 1][kCardRows + 1];
};

// Tables of one generator; the program has one (CurrentGenerator) reused for every card.
struct CardGenerator {
  RandomSource* random;
  CardGrid grid;
  int32_t used[kHighestNumber + 1];  // 1..99
};

CardGenerator& CurrentGenerator();

// Clears the tables, seeds the source and chooses the blank cells.
void BeginCard(CardGenerator& generator, uint32_t seed_bits);

bool IsBlank(const CardGenerator& generator, int column, int row);
bool IsBlank(int column, int row);
int32_t NextNumber(CardGenerator& generator);
int32_t NextNumber();
void SetRectangle(int column, int row, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// A whole card as the renderer would take it: 0 for a blank, else the number.
struct CardLayout {
  std::array<std::array<uint8_t, kCardColumns>, kCardRows> cell;  // [row][column], 0-based
  bool operator==(const CardLayout& other) const { return cell == other.cell; }
};

// The card a seed gives, worked out on a private source: the program's source is untouched.
CardLayout PlanCard(uint32_t seed_bits);
