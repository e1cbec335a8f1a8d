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
