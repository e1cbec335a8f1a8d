// Boxes: covered pixels, outlines, fills and rounded corners.
#include <gtest/gtest.h>

#include "draw/draw.h"
#include "tests/draw/draw_test_support.h"

namespace {
constexpr Colour kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

// The bounding box of the pixels that differ from `background`; all -1 when none do.
struct Bounds {
  int32_t left = -1, top = -1, right = -1, bottom = -1;  // inclusive
};
Bounds PaintedBounds(const Picture& picture, uint32_t background) {
  Bounds b;
  for (int32_t y = 0; y < picture.height; ++y)
    for (int32_t x = 0; x < picture.width; ++x)
      if (picture.at(x, y) != background) {
        if (b.left < 0 || x < b.left) b.left = x;
        if (b.right < x) b.right = x;
        if (b.top < 0) b.top = y;
        b.bottom = y;
      }
  return b;
}

Picture Box(float x1, float y1, float x2, float y2, int32_t corner, Colour outline, Colour fill,
            int32_t style = 0, int32_t line_width = 1) {
  NewClearedBitmap(100, 100, kWhite);
  SetLineWidth(line_width);
  DrawBox(x1, y1, x2, y2, corner, outline, fill, style);
  return CurrentPicture();
}

TEST(Boxes, CellBoxPaintsExactlyColumnsAndRowsOneTo79WithAOnePixelOutline) {
  const Picture picture = Box(1, 1, 80, 80, 0, kRed, kBlue);
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 100; ++x) {
      const bool inside = x >= 1 && x <= 79 && y >= 1 && y <= 79;
      const bool ring = inside && (x == 1 || x == 79 || y == 1 || y == 79);
      ASSERT_EQ(picture.at(x, y), Px(!inside ? kWhite : ring ? kRed : kBlue)) << x << "," << y;
    }
  }
}

TEST(Boxes, SwappedCornersAndLineWidthZeroPaintTheSame) {
  const Picture plain = Box(1, 1, 80, 80, 0, kRed, kBlue);
  EXPECT_EQ(Box(80, 80, 1, 1, 0, kRed, kBlue).pixels, plain.pixels);
  EXPECT_EQ(Box(80, 1, 1, 80, 0, kRed, kBlue).pixels, plain.pixels);
  EXPECT_EQ(Box(1, 1, 80, 80, 0, kRed, kBlue, 0, 0).pixels, plain.pixels);
}

TEST(Boxes, CoordinatesRoundToNearestWithTiesToEven) {
  // 1.5 -> 2, 10.5 -> 10, 20.4 -> 20, 29.6 -> 30
  const Picture rounded = Box(1.5f, 20.4f, 10.5f, 29.6f, 0, kRed, kBlue);
  const Picture whole = Box(2, 20, 10, 30, 0, kRed, kBlue);
  EXPECT_EQ(rounded.pixels, whole.pixels);
}

TEST(Boxes, WideOutlinesStayInsideTheBox) {
  const Picture picture = Box(10, 10, 40, 40, 0, kRed, kBlue, 0, 4);
  const Bounds b = PaintedBounds(picture, Px(kWhite));
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.top, 10);
  EXPECT_EQ(b.right, 39);
  EXPECT_EQ(b.bottom, 39);
  EXPECT_EQ(picture.at(13, 20), Px(kRed));
  EXPECT_EQ(picture.at(14, 20), Px(kBlue));
  EXPECT_EQ(picture.at(36, 36), Px(kRed));
  EXPECT_EQ(picture.at(35, 35), Px(kBlue));
}

TEST(Boxes, FillNoneKeepsTheInsideAndFillDefaultTakesTheOutlineColour) {
  Picture picture = Box(5, 5, 30, 30, 0, kRed, kColourNone);
  EXPECT_EQ(picture.at(5, 5), Px(kRed));
  EXPECT_EQ(picture.at(15, 15), Px(kWhite));
  picture = Box(5, 5, 30, 30, 0, kRed, kColourDefault);
  EXPECT_EQ(picture.at(15, 15), Px(kRed));

  NewClearedBitmap(40, 40, kWhite);
  SetColours(kGreen, kColourUnchanged);
  DrawBox(5, 5, 30, 30, 0, kColourDefault, kColourDefault, 0);
  picture = CurrentPicture();
  EXPECT_EQ(picture.at(5, 5), Px(kGreen));
  EXPECT_EQ(picture.at(15, 15), Px(kGreen));
}

TEST(Boxes, HatchFillsUseTheBackColourForGapsOnlyWhenOpaque) {
  NewClearedBitmap(40, 40, kWhite);
  SetColours(kColourUnchanged, kColourNone);
  DrawBox(0, 0, 40, 40, 0, kRed, kBlue, 1);  // horizontal lines on rows 7, 15, ...
  Picture picture = CurrentPicture();
  EXPECT_EQ(picture.at(10, 7), Px(kBlue));
  EXPECT_EQ(picture.at(10, 8), Px(kWhite));
  SetColours(kColourUnchanged, kGreen);
  DrawBox(0, 0, 40, 40, 0, kRed, kBlue, 1);
  picture = CurrentPicture();
  EXPECT_EQ(picture.at(10, 7), Px(kBlue));
  EXPECT_EQ(picture.at(10, 8), Px(kGreen));
  DrawBox(0, 0, 40, 40, 0, kRed, kBlue, 7);  // out of range: solid
  EXPECT_EQ(CurrentPicture().at(10, 8), Px(kBlue));
}

TEST(Boxes, CornerPercentageAbove100CountsAs100AndRoundedCornersStayInTheBox) {
  const Picture hundred = Box(10, 10, 50, 40, 100, kRed, kBlue);
  EXPECT_EQ(Box(10, 10, 50, 40, 250, kRed, kBlue).pixels, hundred.pixels);
  const Bounds b = PaintedBounds(hundred, Px(kWhite));
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.top, 10);
  EXPECT_EQ(b.right, 49);
  EXPECT_EQ(b.bottom, 39);
  EXPECT_EQ(hundred.at(10, 10), Px(kWhite)) << "corners are cut";
  EXPECT_EQ(hundred.at(49, 39), Px(kWhite));
  EXPECT_EQ(hundred.at(30, 10), Px(kRed)) << "mid-edge outline";
  EXPECT_EQ(hundred.at(10, 25), Px(kRed));
  EXPECT_EQ(hundred.at(30, 25), Px(kBlue));
  // Each row of the outline and fill is one unbroken run, symmetric in the box.
  for (int32_t y = 10; y < 40; ++y) {
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < 100; ++x)
      if (hundred.at(x, y) != Px(kWhite)) {
        if (first < 0) first = x;
        last = x;
      }
    ASSERT_GE(first, 10) << y;
    EXPECT_EQ(first - 10, 49 - last) << y;
    EXPECT_EQ(hundred.at(first, y), Px(kRed)) << y;
    for (int32_t x = first; x <= last; ++x) ASSERT_NE(hundred.at(x, y), Px(kWhite)) << x << "," << y;
  }
}

TEST(Boxes, TheSwatchBoxKeepsItsLastRowAndColumnAndRoundsItsCorners) {
  NewClearedBitmap(16, 16, kWhite);
  DrawBox(0, 0, 15, 15, 15, 0x000000, kRed, 0);
  const Picture picture = CurrentPicture();
  for (int32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(picture.at(15, i), Px(kWhite)) << i;
    EXPECT_EQ(picture.at(i, 15), Px(kWhite)) << i;
  }
  EXPECT_EQ(picture.at(7, 0), Px(0x000000));
  EXPECT_EQ(picture.at(0, 7), Px(0x000000));
  EXPECT_EQ(picture.at(14, 7), Px(0x000000));
  EXPECT_EQ(picture.at(7, 7), Px(kRed));
  EXPECT_EQ(picture.at(1, 1), Px(kRed));
  // A 2 x 2 corner ellipse: the same shape at all four corners.
  EXPECT_EQ(picture.at(0, 0), picture.at(14, 0));
  EXPECT_EQ(picture.at(0, 0), picture.at(0, 14));
  EXPECT_EQ(picture.at(0, 0), picture.at(14, 14));
}

TEST(Boxes, BoxesReachingOffTheSurfaceAreClippedAndEmptyBoxesPaintNothing) {
  Picture picture = Box(-10, -10, 5, 5, 0, kRed, kBlue);
  EXPECT_EQ(picture.at(0, 0), Px(kBlue));
  EXPECT_EQ(picture.at(4, 2), Px(kRed));
  EXPECT_EQ(picture.at(5, 5), Px(kWhite));
  picture = Box(90, 90, 1e9f, 1e9f, 0, kRed, kBlue);
  EXPECT_EQ(picture.at(90, 99), Px(kRed));
  EXPECT_EQ(picture.at(95, 95), Px(kBlue));
  picture = Box(5, 5, 5, 60, 0, kRed, kBlue);
  EXPECT_EQ(PaintedBounds(picture, Px(kWhite)).left, -1);
}
}  // namespace
