#include "bingo/board_layout.h"

#include <algorithm>

namespace {
constexpr double kLastDigitsShare = 0.40;     // of the board's height, the digits alone
constexpr double kDigitHeightOfFont = 0.72;   // a bold face's digits, of its pixel size
constexpr double kMostLastWidthShare = 0.55;  // of the board's width, the rest for the grid
constexpr double kLastMarginShare = 0.04;     // of the last number's column, each side
constexpr double kCellTextShare = 0.62;       // of a cell's height
constexpr double kCellTextWidthShare = 0.45;  // of a cell's width
constexpr int kCountShare = 14;               // the count's font: the height over this
}  // namespace

BoardLayout LayOutBoard(int width, int height, double eights_advance_per_pixel, int highest) {
  BoardLayout layout;
  layout.highest = highest;
  layout.rows = highest == 99 ? kBoardGridSide : (highest + kBoardGridSide - 1) / kBoardGridSide;
  const double advance = std::max(eights_advance_per_pixel, 0.01);
  const double most_width = width * kMostLastWidthShare * (1 - 2 * kLastMarginShare);
  const double pixels = std::min(height * kLastDigitsShare / kDigitHeightOfFont, most_width / advance);
  layout.last_pixels = std::max(1, static_cast<int>(pixels));
  const int last_width = static_cast<int>(pixels * advance / (1 - 2 * kLastMarginShare));
  layout.last = BoardBox{0, 0, last_width, height};
  layout.last_digits = BoardBox{0, 0, last_width, height * 3 / 4};
  layout.count = BoardBox{0, height * 3 / 4, last_width, height};
  layout.grid = BoardBox{last_width, 0, width, height};
  layout.count_pixels = std::max(1, height / kCountShare);
  const double grid_width = width - last_width;
  layout.cell_pixels = std::max(1, static_cast<int>(std::min(height / double(layout.rows) * kCellTextShare,
                                                             grid_width / kBoardGridSide * kCellTextWidthShare)));
  return layout;
}

BoardBox BoardCellOf(const BoardLayout& layout, int number) {
  const BoardBox& grid = layout.grid;
  // 1 to 90 starts its rows at 1; 1 to 99 at 0, so that each row is one tens digit.
  const int from = layout.highest == 99 ? number : number - 1;
  const int row = from / kBoardGridSide;
  const int column = from % kBoardGridSide;
  const double width = (grid.right - grid.left) / double(kBoardGridSide);
  const double height = (grid.bottom - grid.top) / double(layout.rows);
  return BoardBox{grid.left + static_cast<int>(column * width), grid.top + static_cast<int>(row * height),
                  grid.left + static_cast<int>((column + 1) * width),
                  grid.top + static_cast<int>((row + 1) * height)};
}
