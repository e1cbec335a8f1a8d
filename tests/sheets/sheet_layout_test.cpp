#include <gtest/gtest.h>

#include "tests/support/took.h"

#include <cmath>

#include "sheets/sheet_layout.h"

namespace {
constexpr double kTenMillimetres = 10 * 72 / 25.4;

void ExpectInside(const SheetLayout& l, const SheetRect& r, const char* what) {
  EXPECT_GE(r.x, kTenMillimetres) << what;
  EXPECT_GE(r.y, kTenMillimetres) << what;
  EXPECT_LE(r.right(), l.page_width - kTenMillimetres) << what;
  EXPECT_LE(r.bottom(), l.page_height - kTenMillimetres) << what;
  EXPECT_GT(r.width, 0) << what;
  EXPECT_GT(r.height, 0) << what;
}
}  // namespace

TEST(SheetLayout, PortraitA4AndLetter) {
  const SheetLayout a4 = LayoutSheets(Paper::kA4);
  EXPECT_NEAR(a4.page_width, 595.276, 0.001);
  EXPECT_NEAR(a4.page_height, 841.890, 0.001);
  const SheetLayout letter = LayoutSheets(Paper::kLetter);
  EXPECT_EQ(letter.page_width, 612);
  EXPECT_EQ(letter.page_height, 792);
}

TEST(SheetLayout, FourCardsAtOneScaleWithinMarginsOfAtLeastTenMillimetres) {
  for (Paper paper : {Paper::kA4, Paper::kLetter}) {
    const SheetLayout l = LayoutSheets(paper);
    EXPECT_GE(l.margin, kTenMillimetres);
    ExpectInside(l, l.title, "title");
    for (int i = 0; i < kCardsPerPage; ++i) {
      ExpectInside(l, l.card[i], "card");
      ExpectInside(l, l.label[i], "label");
      // The cells keep their proportions: the card is 720 x 240 card pixels at one scale.
      EXPECT_NEAR(l.card[i].width, 720 * l.card_scale, 1e-9);
      EXPECT_NEAR(l.card[i].height, 240 * l.card_scale, 1e-9);
      EXPECT_GE(l.card[i].y, l.title.bottom());
      EXPECT_GE(l.label[i].y, l.card[i].bottom()) << "label under its card";
      EXPECT_NEAR(l.card[i].x + l.card[i].width / 2, l.page_width / 2, 1e-9) << "centred";
      // The bars: under the card, clear of the next cut mark, on whole modules.
      ExpectInside(l, l.barcode[i], "barcode");
      EXPECT_GE(l.barcode[i].y, l.card[i].bottom());
      if (i + 1 < kCardsPerPage) {
        EXPECT_LT(l.barcode[i].bottom(), l.cut_y[i] - 2);
      }
      EXPECT_NEAR(std::fmod(l.barcode[i].y / kBarcodeModule + 0.5, 1.0), 0.5, 1e-6);
      if (i > 0) {
        EXPECT_GT(l.cut_y[i - 1], l.label[i - 1].bottom()) << "cut below the card before";
        EXPECT_LT(l.cut_y[i - 1], l.card[i].y) << "and above the next";
      }
    }
    // Large enough to play on: a cell at least 15 mm wide.
    EXPECT_GE(80 * l.card_scale, 15 * 72 / 25.4);
    ExpectInside(l, l.board_heading, "board heading");
    ExpectInside(l, l.board, "board");
    EXPECT_DOUBLE_EQ(l.board.width, l.board.height);
    EXPECT_GE(l.board.y, l.board_heading.bottom());
  }
}

TEST(SheetLayout, PaperNames) {
  Paper paper = Paper::kLetter;
  std::string error;
  EXPECT_TRUE(Took(ParsePaper("a4"), &PaperRead::paper, &paper, &error));
  EXPECT_EQ(paper, Paper::kA4);
  EXPECT_TRUE(Took(ParsePaper("Letter"), &PaperRead::paper, &paper, &error));
  EXPECT_EQ(paper, Paper::kLetter);
  EXPECT_TRUE(Took(ParsePaper("A4"), &PaperRead::paper, &paper, &error));
  EXPECT_EQ(paper, Paper::kA4);
  for (const char* bad : {"", "a5", "carta", " a4", "a4 "}) {
    paper = Paper::kLetter;
    EXPECT_FALSE(Took(ParsePaper(bad), &PaperRead::paper, &paper, &error)) << bad;
    EXPECT_EQ(paper, Paper::kLetter);
    EXPECT_NE(error.find(std::string("\"") + bad + "\""), std::string::npos) << error;
    EXPECT_NE(error.find("a4 o letter"), std::string::npos) << error;
  }
}

TEST(SheetLayout, ASeriesPageSidewaysHoldsSixCartonesApartWithinTheMargins) {
  for (Paper paper : {Paper::kA4, Paper::kLetter}) {
    const SheetLayout upright = LayoutSheets(paper);
    const SheetLayout l = LayoutSeriesSheets(paper);
    EXPECT_EQ(l.page_width, upright.page_height);
    EXPECT_EQ(l.page_height, upright.page_width);
    EXPECT_EQ(l.cards_per_page, 6);
    // At the margins to a rounding error, and those at least 10 mm.
    EXPECT_GE(l.margin, kTenMillimetres);
    for (int i = 0; i < 6; ++i) {
      for (const SheetRect& r : {l.card[i], l.barcode[i]}) {
        EXPECT_GE(r.x, l.margin - 1e-9) << i;
        EXPECT_LE(r.right(), l.page_width - l.margin + 1e-9) << i;
        EXPECT_LE(r.bottom(), l.page_height - l.margin + 1e-9) << i;
      }
      EXPECT_GE(l.card[i].y, l.title.bottom());
      EXPECT_NEAR(l.card[i].width, 720 * l.card_scale, 1e-9);
      EXPECT_GE(l.label[i].y, l.card[i].bottom());
      // No two cartones, labels or bars overlap.
      for (int j = 0; j < i; ++j) {
        const SheetRect& a = l.card[i];
        const SheetRect& b = l.card[j];
        const bool apart = a.x >= b.right() || b.x >= a.right() ||
                           a.y >= l.barcode[j].bottom() || b.y >= l.barcode[i].bottom();
        EXPECT_TRUE(apart) << i << " and " << j;
      }
    }
    // Columns either side of the vertical cut, rows between the horizontal ones.
    EXPECT_LT(l.card[0].right(), l.cut_x);
    EXPECT_GT(l.card[1].x, l.cut_x);
    EXPECT_GT(l.cut_y[1], l.barcode[0].bottom());
    EXPECT_LT(l.cut_y[1], l.card[2].y);
    EXPECT_EQ(l.cut_y[0], 0) << "no cut across the page between the two of a row";
  }
}
