#include "bingo/claim_card.h"

#include <cstdio>

namespace {
constexpr Colour kDabColour = 0x00C0FF;   // 0x00BBGGRR: amber
constexpr Colour kFullRowColour = 0x1A7F1A;
constexpr int kDabInset = 6;
constexpr int kFrameWidth = 5;

void DrawDab(int row, int column, int number, Colour colour) {
  // The renderer's cells: kCellSize apart, the first at 1, each with its outline.
  const float x1 = static_cast<float>(1 + column * kCellSize);
  const float y1 = static_cast<float>(1 + row * kCellSize);
  DrawBox(x1 + kDabInset, y1 + kDabInset, x1 + kCellSize - 1 - kDabInset,
          y1 + kCellSize - 1 - kDabInset, 100, kDabColour, kDabColour, 0);
  SetPos(x1 + kNumberOffsetX, y1 + kNumberOffsetY);
  SetColours(colour, kColourNone);
  char text[8];
  std::snprintf(text, sizeof text, "%02d", number);
  Print(text);
}

void FrameRow(int row) {
  const float top = static_cast<float>(row * kCellSize);
  for (int edge = 0; edge < kFrameWidth; ++edge) {
    const float in = static_cast<float>(edge);
    DrawBox(in, top + in, static_cast<float>(kClaimCardWidth) - in,
            top + kCellSize + 1 - in, 0, kFullRowColour, kColourNone, 0);
  }
}
}  // namespace

std::vector<uint32_t> ClaimCardPixels(const CardLayout& layout,
                                      const bool marked[kCardRows][kCardColumns],
                                      const bool full_row[kCardRows], Colour colour) {
  std::vector<uint32_t> pixels;
  const uint32_t image = NewBitmap(kCardImageWidth, kCardImageHeight);
  if (image == 0) return pixels;
  SelectTarget(image, 0, 0);
  Clear(kWhite, 0);
  // From its layout, so a 90-ball cartón is drawn as a 1–99 card is: the same pixels.
  DrawLayoutInColour(image, layout, colour);  // leaves the numbers' font selected
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column)
      if (layout.cell[row][column] != 0 && marked[row][column])
        DrawDab(row, column, layout.cell[row][column], colour);
  for (int row = 0; row < kCardRows; ++row)
    if (full_row[row]) FrameRow(row);
  {
    const TargetPixelsLock lock;
    if (lock.held)
      for (int32_t y = 0; y < lock.view.height && y < kClaimCardHeight; ++y)
        pixels.insert(pixels.end(), lock.view.pixels + y * lock.view.stride,
                      lock.view.pixels + y * lock.view.stride + kClaimCardWidth);
  }
  EndBitmap();
  return pixels;
}
