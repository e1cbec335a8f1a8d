// Where the parts of the caller's board go in a window of a given size, for both front
// ends: the last number's column as high as the board, its digits at least a third of
// the board's height, and the grid beside it: 1 to 99 in rows of ten (1-9, 10-19, ...),
// or for a cage of 90 the flashboard halls know, 1-10, 11-20, ... 81-90. The widest two
// digits must fill the column whatever the face, so the front end measures "88" in its
// bold face at kBoardMeasuredPixels and gives the advance per pixel of font size.
#pragma once

constexpr int kBoardGridSide = 10;       // numbers a row
constexpr int kBoardMeasuredPixels = 100;  // the font size "88" is measured at

// Edges in pixels; right and bottom are past the box.
struct BoardBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct BoardLayout {
  BoardBox last;          // the last number's column
  BoardBox last_digits;   // its digits' band, the top three quarters
  BoardBox count;         // the count of balls under them
  BoardBox grid;
  int last_pixels = 1;    // font sizes in pixels
  int count_pixels = 1;
  int cell_pixels = 1;
  int highest = 99;       // the cage: 1 to 99, or 1 to 90
  int rows = kBoardGridSide;
};

BoardLayout LayOutBoard(int width, int height, double eights_advance_per_pixel, int highest = 99);
// The cell of a number (of 1 to 99, 0 is the unused top-left cell).
BoardBox BoardCellOf(const BoardLayout& layout, int number);
