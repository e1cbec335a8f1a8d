// The claimed card as its sheet shows it: drawn by the project's card renderer into a
// bitmap of the drawing layer, then each called number filled in the card's colour with
// its digits in white, as the hall's boards mark them. The pixels are kept for the view:
// the card's rows only (kPictureHeight), not the image's white margin below them.
#include <cstdio>

#include "bingo/win32/bingo_window.h"
#include "card/renderer.h"
#include "draw/draw.h"

std::vector<uint32_t> ClaimCardPixels(uint32_t seed_bits, const CardLayout& layout,
                                      const bool marked[kCardRows][kCardColumns], Colour colour) {
  std::vector<uint32_t> pixels;
  const uint32_t image = NewBitmap(kCardImageWidth, kCardImageHeight);
  if (image == 0) return pixels;
  const Colour card_colour = g_card_colour;
  g_card_colour = colour;
  SelectTarget(image, 0, 0);
  Clear(kWhite, 0);
  DrawCard(image, seed_bits);  // leaves the numbers' font selected
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = layout.cell[row][column];
      if (number == 0 || !marked[row][column]) continue;
      // The renderer's cells: kCellSize apart, the first at 1, each with its outline.
      const float x1 = static_cast<float>(1 + column * kCellSize);
      const float y1 = static_cast<float>(1 + row * kCellSize);
      DrawBox(x1, y1, x1 + kCellSize - 1, y1 + kCellSize - 1, 0, colour, colour, 0);
      SetPos(x1 + kNumberOffsetX, y1 + kNumberOffsetY);
      SetColours(kWhite, kColourNone);
      char text[8];
      std::snprintf(text, sizeof text, "%02d", number);
      Print(text);
    }
  {
    const TargetPixelsLock lock;
    if (lock.held)
      for (int32_t y = 0; y < lock.view.height && y < kPictureHeight; ++y)
        pixels.insert(pixels.end(), lock.view.pixels + y * lock.view.stride,
                      lock.view.pixels + y * lock.view.stride + lock.view.width);
  }
  EndBitmap();
  g_card_colour = card_colour;
  return pixels;
}
