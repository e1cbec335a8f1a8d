// Where things go on a page of print-ready sheets: four cards a page, one above the other,
// all at one scale that keeps the cells square, each with its label line below it, a
// title line at the top, cut marks between the cards; and the caller's board, a 10 x 10
// grid of the numbers. All in PDF points (1/72 inch), measured from the page's top-left.
#pragma once
#include <string>

#include "card/layout.h"
#include "card/renderer.h"

constexpr int kCardsPerPage = 4;
// A series' page: its six cartones in two columns of three, the page turned sideways so
// that their numbers are at least 7 mm high.
constexpr int kSeriesCardsPerPage = 6;
constexpr int kMostCardsPerPage = 6;
constexpr int kBoardSide = 10;  // 10 x 10 cells: 0 (unused) and 1 .. 99
constexpr int kSeriesBoardRows = 9;  // 1-10, 11-20, ..., 81-90
// The card as drawn: its 9 x 3 cells of 80 card pixels.
constexpr double kSheetCardWidth = kCardColumns * kCellSize;
constexpr double kSheetCardHeight = kCardRows * kCellSize;

// A card's barcode: a module of 0.72 points is 3 pixels at 300 dpi and 6 at 600, and
// 0.254 mm, what hand-held scanners read best; bars 5.6 mm tall.
constexpr double kBarcodeModule = 0.72;
constexpr double kBarcodeHeight = 16;

enum class Paper { kA4, kLetter };

// "a4" or "letter" (either case), or a Spanish message naming the text.
struct PaperRead {
  Paper paper = Paper::kA4;
  std::string error;
};
PaperRead ParsePaper(const std::string& text);

struct SheetRect {
  double x = 0, y = 0, width = 0, height = 0;
  double right() const { return x + width; }
  double bottom() const { return y + height; }
};

struct SheetLayout {
  double page_width = 0, page_height = 0;
  double margin = 0;
  SheetRect title;                      // the title line's band, across the page
  double card_scale = 0;                // points per card pixel
  int cards_per_page = kCardsPerPage;
  SheetRect card[kMostCardsPerPage];     // card pixel (0, 0) at the top-left corner
  SheetRect label[kMostCardsPerPage];    // the line under each card
  SheetRect barcode[kMostCardsPerPage];  // the bars' band beside each label, to the card's
                                         // right edge; top on a whole module
  double cut_y[kMostCardsPerPage - 1] = {};  // cut marks across the page before card
                                             // i + 1; 0 for none
  double cut_x = 0;                      // a cut mark down the page between columns; 0: none
  SheetRect board_heading;
  SheetRect board;                      // the grid, square
};

SheetLayout LayoutSheets(Paper paper);
// A series' page, six cartones in reading order; its board is LayoutSheets' page.
SheetLayout LayoutSeriesSheets(Paper paper);
