#include "card/renderer.h"

#include <cstdio>

#include "card/layout.h"

Colour g_card_colour = kDefaultCardColour;
uint32_t g_card_image = 0;

namespace {
constexpr int32_t kCopyPlain = 0xCC0020;  // SRCCOPY
constexpr int32_t kBold = 1;

// Where a cell's number comes from: the program's generator walking the cells in
// reading order (its numbers are drawn as they are shown), or a layout made before.
struct CellSource {
  const CardLayout* layout = nullptr;  // null: the current generator
  // 0 for a blank cell; column 1..9, row 1..3, called once a cell in reading order.
  int NumberAt(int column, int row) const {
    if (layout != nullptr) return layout->cell[row - 1][column - 1];
    return IsBlank(column, row) ? 0 : NextNumber();
  }
};

void DrawCells(uint32_t card_image, Colour colour, const CellSource& source) {
  SelectTarget(card_image, 0, 0);
  SetLineWidth(1);
  SelectFont(NewFont(kNumberFace, kNumberPoints, kBold, 0, 0, 0));
  int32_t x1 = 1, y1 = 1, x2 = kCellSize, y2 = kCellSize;
  for (int row = 1; row <= kCardRows; ++row) {
    for (int column = 1; column <= kCardColumns; ++column) {
      const int number = source.NumberAt(column, row);
      const bool blank = number == 0;
      DrawBox(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
              static_cast<float>(y2), 0, colour, blank ? colour : kWhite, 0);
      SetPos(static_cast<float>(x1 + kNumberOffsetX), static_cast<float>(y1 + kNumberOffsetY));
      SetColours(colour, kColourNone);
      if (!blank) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", number);
        Print(text);
      }
      SetRectangle(column, row, x1, y1, x2, y2);
      x1 = x2 + 1;
      x2 += kCellSize;
    }
    x1 = 1;
    x2 = kCellSize;
    y1 = y2 + 1;
    y2 += kCellSize;
  }
}

}  // namespace

void DrawCard(uint32_t card_image, uint32_t seed_bits) {
  DrawCardInColour(card_image, seed_bits, g_card_colour);
}

void DrawCardInColour(uint32_t card_image, uint32_t seed_bits, Colour colour) {
  BeginCard(CurrentGenerator(), seed_bits);
  DrawCells(card_image, colour, CellSource{});
}

void DrawLayoutInColour(uint32_t card_image, const CardLayout& layout, Colour colour) {
  DrawCells(card_image, colour, CellSource{&layout});
}

void ShowCard(uint32_t window, int32_t control, uint32_t seed_bits) {
  ShowCardInColour(window, control, seed_bits, g_card_colour);
}

namespace {
// A fresh white card image in place of the last one.
void RenewCardImage() {
  if (g_card_image != 0) {
    SelectTarget(g_card_image, 0, 0);
    EndBitmap();
  }
  g_card_image = NewBitmap(kCardImageWidth, kCardImageHeight);
  SelectTarget(g_card_image, 0, 0);
  Clear(kWhite, 0);
}

void CopyCardImage(uint32_t window, int32_t control) {
  SelectTarget(window, control, 0);
  CopyBitmap(g_card_image, 0, kCopyPlain);
}
}  // namespace

void ShowCardInColour(uint32_t window, int32_t control, uint32_t seed_bits, Colour colour) {
  RenewCardImage();
  DrawCardInColour(g_card_image, seed_bits, colour);
  CopyCardImage(window, control);
}

void ShowLayoutInColour(uint32_t window, int32_t control, const CardLayout& layout,
                        Colour colour) {
  RenewCardImage();
  DrawLayoutInColour(g_card_image, layout, colour);
  CopyCardImage(window, control);
}
