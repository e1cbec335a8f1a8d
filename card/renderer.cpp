#include "card/renderer.h"

#include <cstdio>

#include "card/layout.h"

Colour g_card_colour = kDefaultCardColour;
uint32_t g_card_image = 0;

namespace {
constexpr Colour kWhite = 0xFFFFFF;
constexpr int32_t kCopyPlain = 0xCC0020;  // SRCCOPY
constexpr int32_t kBold = 1;

void DrawCells(uint32_t card_image) {
  SelectTarget(card_image, 0, 0);
  SetLineWidth(1);
  SelectFont(NewFont(kNumberFace, kNumberPoints, kBold, 0, 0, 0));
  int32_t x1 = 1, y1 = 1, x2 = kCellSize, y2 = kCellSize;
  for (int row = 1; row <= kCardRows; ++row) {
    for (int column = 1; column <= kCardColumns; ++column) {
      const bool blank = IsBlank(column, row);
      DrawBox(x1, y1, x2, y2, 0, g_card_colour, blank ? g_card_colour : kWhite, 0);
      SetPos(x1 + kNumberOffsetX, y1 + kNumberOffsetY);
      SetColours(g_card_colour, kColourNone);
      if (!blank) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", NextNumber());
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

void ShowCard(uint32_t main_window, void (*draw)(uint32_t, uint32_t), uint32_t seed_bits) {
  if (g_card_image != 0) {
    SelectTarget(g_card_image, 0, 0);
    EndBitmap();
  }
  g_card_image = NewBitmap(kCardImageWidth, kCardImageHeight);
  SelectTarget(g_card_image, 0, 0);
  Clear(kWhite, 0);
  draw(g_card_image, seed_bits);
  SelectTarget(main_window, IDC_CARD_VIEW, 0);
  CopyBitmap(g_card_image, 0, kCopyPlain);
}
}  // namespace

void DrawCard(uint32_t card_image) {
  BeginCard();
  DrawCells(card_image);
}

void DrawCardFromSeed(uint32_t card_image, uint32_t seed_bits) {
  BeginCardWithSeed(seed_bits);
  DrawCells(card_image);
}

void ShowNewCard(uint32_t main_window) {
  ShowCard(main_window, [](uint32_t image, uint32_t) { DrawCard(image); }, 0);
}

void ShowNewCardFromSeed(uint32_t main_window, uint32_t seed_bits) {
  ShowCard(main_window, DrawCardFromSeed, seed_bits);
}
