// The card renderer drawn by the real drawing layer, checked pixel by pixel: the grid's
// gaps, blank and number cells, where the digits may go and what colours they may have,
// and that the numbers shown are the ones the seed plans.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "card/layout.h"
#include "card/random.h"
#include "card/renderer.h"
#include "card/series.h"
#include "draw/draw.h"
#include "draw/font_table.h"
#include "tests/draw/draw_test_support.h"

namespace {

// Stands in for the main window: a white 721 x 241 bitmap. With no front end, selecting
// it with the picture's control id falls back to the bitmap itself.
uint32_t g_window = 0;
Picture ShownCard(uint32_t seed_bits, Colour colour) {
  if (g_window == 0) g_window = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(g_window, 0, 0);
  Clear(kWhite, 0);
  g_card_colour = colour;
  ShowCard(g_window, 0, seed_bits);
  return CurrentPicture();
}

// The whole picture against the card a seed plans. Returns the number of ink pixels.
int CheckCard(const Picture& picture, const CardLayout& layout, Colour colour) {
  int ink = 0;
  for (int32_t y = 0; y < kPictureHeight; ++y) {
    for (int32_t x = 0; x < kPictureWidth; ++x) {
      const uint32_t p = picture.at(x, y);
      if (x == kCardImageWidth || x % kCellSize == 0 || y % kCellSize == 0) {
        EXPECT_EQ(p, Px(kWhite)) << "gap at " << x << "," << y;
        if (p != Px(kWhite)) return ink;
        continue;
      }
      const int32_t cx = x % kCellSize, cy = y % kCellSize;
      const bool blank = layout.cell[y / kCellSize][x / kCellSize] == 0;
      const bool border = cx == 1 || cx == kCellSize - 1 || cy == 1 || cy == kCellSize - 1;
      if (blank || border) {
        EXPECT_EQ(p, Px(colour)) << (blank ? "blank" : "border") << " at " << x << "," << y;
        if (p != Px(colour)) return ink;
        continue;
      }
      if (!IsBlendOf(p, Px(kWhite), colour)) {
        ADD_FAILURE() << "not a blend of white and the card colour at " << x << "," << y;
        return ink;
      }
      ink += p != Px(kWhite);
    }
  }
  return ink;
}

class Renderer : public ::testing::Test {
 protected:
  void TearDown() override { g_card_colour = kDefaultCardColour; }
};

TEST_F(Renderer, DefaultColourCardHasExactGridCellsAndDigitsInsideTheirCells) {
  const uint32_t seed = SeedBitsOfClock(45296789);
  const Picture picture = ShownCard(seed, kDefaultCardColour);
  ASSERT_EQ(picture.width, kPictureWidth);
  ASSERT_EQ(picture.height, kPictureHeight);
  EXPECT_GT(CheckCard(picture, PlanCard(seed), kDefaultCardColour), 15 * 300);
}

TEST_F(Renderer, AChosenColourIsUsedForOutlinesBlanksAndNumbersAlike) {
  for (uint32_t ms : {0u, 3600000u, 86399999u}) {
    const uint32_t seed = SeedBitsOfClock(ms);
    const Picture picture = ShownCard(seed, 0x3366CC);
    EXPECT_GT(CheckCard(picture, PlanCard(seed), 0x3366CC), 15 * 300) << ms;
  }
}

TEST_F(Renderer, EachNumberCellShowsThePlannedNumberAsTwoDigits) {
  const uint32_t seed = SeedBitsOfClock(12345678);
  const CardLayout layout = PlanCard(seed);
  const Picture picture = ShownCard(seed, 0x3366CC);

  // Each number drawn alone in a cell at (1, 1), the way the renderer draws it.
  const uint32_t reference = NewBitmap(kCellSize, kCellSize);
  SelectTarget(reference, 0, 0);
  SetLineWidth(1);
  SelectFont(NewFont("Tahoma", 40, 1, 0, 0, 0));
  int numbers = 0;
  for (int row = 0; row < kCardRows; ++row) {
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = layout.cell[row][column];
      if (number == 0) continue;
      ++numbers;
      char text[4];
      std::snprintf(text, sizeof text, "%02d", number);
      Clear(kWhite, 0);
      DrawBox(1, 1, 80, 80, 0, 0x3366CC, kWhite, 0);
      SetPos(5, 8);
      SetColours(0x3366CC, kColourNone);
      Print(text);
      const Picture cell = CurrentPicture();
      for (int32_t y = 1; y < kCellSize; ++y)
        for (int32_t x = 1; x < kCellSize; ++x)
          ASSERT_EQ(picture.at(column * kCellSize + x, row * kCellSize + y), cell.at(x, y))
              << "number " << text << " in column " << column + 1 << ", row " << row + 1;
    }
  }
  EXPECT_EQ(numbers, kNumbersPerCard);
  SelectTarget(reference, 0, 0);
  EndBitmap();
}

TEST_F(Renderer, ANewCardEndsThePreviousCardImage) {
  ShownCard(SeedBitsOfClock(1000), kDefaultCardColour);
  const uint32_t first = g_card_image;
  ShownCard(SeedBitsOfClock(2000), kDefaultCardColour);
  ASSERT_NE(g_card_image, 0u);
  ClearRuntimeError();
  SelectTarget(first, 0, 0);
  if (first != g_card_image) {
    EXPECT_EQ(LastRuntimeError(), kErrorMisusedDrawing);
  }
  SelectTarget(g_card_image, 0, 0);
  const Picture image = CurrentPicture();
  EXPECT_EQ(image.width, kCardImageWidth);
  EXPECT_EQ(image.height, kCardImageHeight);
  for (int32_t y = 240; y < kCardImageHeight; ++y)
    for (int32_t x = 0; x < kCardImageWidth; ++x) ASSERT_EQ(image.at(x, y), Px(kWhite));
}
}  // namespace

// A batch draws the same ten digits again and again: each is rendered once, then reused.
TEST_F(Renderer, DigitsAreRenderedOncePerProcess) {
  ShownCard(SeedBitsOfClock(1000), kDefaultCardColour);
  const uint64_t after_one_card = GlyphsRendered();
  for (uint32_t ms = 2000; ms < 2000 + 200; ++ms) ShownCard(SeedBitsOfClock(ms), 0x3366CC);
  const uint64_t after_many = GlyphsRendered();
  EXPECT_LE(after_many, 10u + 3u);  // the digits, and what start-up may have printed
  EXPECT_LE(after_many - after_one_card, 10u);
  for (uint32_t ms = 5000; ms < 5000 + 50; ++ms) ShownCard(SeedBitsOfClock(ms), 0x3366CC);
  EXPECT_EQ(GlyphsRendered(), after_many);
}

// A card drawn from its layout is the card drawn from its seed, pixel for pixel, and a
// series cartón keeps the grid, cells and colours of every card.
TEST_F(Renderer, ALayoutIsDrawnAsTheSeedsCardIsAndSeriesCartonesAlike) {
  if (g_window == 0) g_window = NewBitmap(kPictureWidth, kPictureHeight);
  const uint32_t seed = SeedBitsOfClock(45296789);
  const Picture by_seed = ShownCard(seed, 0x3366CC);
  SelectTarget(g_window, 0, 0);
  Clear(kWhite, 0);
  ShowLayoutInColour(g_window, 0, PlanCard(seed), 0x3366CC);
  const Picture by_layout = CurrentPicture();
  EXPECT_EQ(by_layout.pixels, by_seed.pixels);
  for (uint32_t series : {0u, 0x4730F0u, 0xFFFFFFu})
    for (int place : {1, 6}) {
      const CardLayout layout = MakeSeriesCard(series, place);
      SelectTarget(g_window, 0, 0);
      Clear(kWhite, 0);
      ShowLayoutInColour(g_window, 0, layout, 0x3366CC);
      EXPECT_GT(CheckCard(CurrentPicture(), layout, 0x3366CC), 15 * 300) << series << "-" << place;
    }
}
