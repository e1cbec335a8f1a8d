// The font table and printing: numbering, placement of the character cell and the
// baseline, the clip band, blending and the line end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/draw.h"
#include "draw/glyphs.h"
#include "tests/draw/draw_test_support.h"

namespace {
constexpr Colour kGreen = 0x00FF00, kCardBlue = 0x3366CC;

// The card font, made before any other font of this test program.
int32_t g_card_font = 0;
class CardFontFirst : public ::testing::Environment {
 public:
  void SetUp() override { g_card_font = NewFont("Tahoma", 40, 1, 0, 0, 0); }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CardFontFirst);

// The platform font behind the card font, asked for directly: what Print must place.
struct CardGlyphs {
  GlyphFont* font = nullptr;
  GlyphFontMetrics metrics{};
};
const CardGlyphs& CardFontGlyphs() {
  static const CardGlyphs glyphs = [] {
    CardGlyphs made;
    GlyphFontRequest request{};
    std::strcpy(request.face, "Tahoma");
    request.height = -53;
    request.weight = 700;
    made.font = OpenGlyphFont(request, &made.metrics);
    return made;
  }();
  return glyphs;
}
Glyph GlyphOf(uint32_t codepoint) {
  Glyph glyph;
  EXPECT_TRUE(RenderGlyph(CardFontGlyphs().font, codepoint, &glyph));
  return glyph;
}

// A white bitmap with the card font selected and the given text colours.
void CardFontBitmap(int32_t width, int32_t height, Colour fore, Colour back) {
  NewClearedBitmap(width, height, kWhite);
  SelectFont(g_card_font);
  SetColours(fore, back);
}

// The line height in force, seen as the row where the next line's opaque cell starts.
int32_t MeasuredLineHeight() {
  Clear(kWhite, 0);  // also puts the position at (0, 0)
  SetColours(kColourUnchanged, kGreen);
  Print("");
  Print("0");
  const Picture picture = CurrentPicture();
  for (int32_t y = 0; y < picture.height; ++y)
    if (picture.at(0, y) == Px(kGreen)) return y;
  return -1;
}

TEST(Fonts, TheCardFontIsNumberFourAndTheSameForEveryRequest) {
  EXPECT_EQ(g_card_font, 4);
  EXPECT_EQ(NewFont("Tahoma", 40, 1, 0, 0, 0), 4);
  EXPECT_EQ(NewFont("Tahoma", 40, 1, 0, 0, 0), 4);
}

TEST(Fonts, IdenticalDescriptionsShareANumberAndDifferentOnesDoNot) {
  const int32_t eight = NewFont("Verdana", 8, 0, 0, 0, 0);
  EXPECT_GT(eight, 4);
  EXPECT_EQ(NewFont("Verdana", 0, 0, 0, 0, 0), eight) << "size 0 means 8 points";
  EXPECT_NE(NewFont("Verdana", 8, 16, 0, 0, 0), eight) << "style 16 asks for the cell height";
  EXPECT_NE(NewFont("Verdana", 8, 1, 0, 0, 0), eight);
  EXPECT_NE(NewFont("Verdana", 8, 2, 0, 0, 0), eight);
  EXPECT_NE(NewFont("Verdana", 8, 0, 1, 0, 0), eight);
  EXPECT_EQ(NewFont("Verdana", 8, 0, 0x100, 0, 0), eight) << "only the low byte of the set";
  EXPECT_NE(NewFont("Verdana", 8, 0, 0, 0, 900), eight);
  const std::string long_name(40, 'a');
  EXPECT_EQ(NewFont(long_name.c_str(), 10, 0, 0, 0, 0),
            NewFont(long_name.substr(0, 31).c_str(), 10, 0, 0, 0, 0));
  EXPECT_NE(NewFont(long_name.substr(0, 30).c_str(), 10, 0, 0, 0, 0),
            NewFont(long_name.substr(0, 31).c_str(), 10, 0, 0, 0, 0));
  // 31 characters of two bytes each in UTF-8 still fit.
  std::string accented;
  for (int i = 0; i < 32; ++i) accented += "\xC3\xA1";
  EXPECT_EQ(NewFont(accented.c_str(), 10, 0, 0, 0, 0),
            NewFont(accented.substr(0, 62).c_str(), 10, 0, 0, 0, 0));
}

TEST(Fonts, SelectFontTakesTheFontsLineHeightAndIgnoresUnknownNumbers) {
  ASSERT_NE(CardFontGlyphs().font, nullptr);
  const GlyphFontMetrics& metrics = CardFontGlyphs().metrics;
  NewClearedBitmap(300, 300, kWhite);
  const int32_t default_height = MeasuredLineHeight();
  EXPECT_GT(default_height, 0);
  SelectFont(g_card_font);
  EXPECT_EQ(MeasuredLineHeight(), metrics.height + metrics.external_leading);
  SelectFont(9999);
  SelectFont(-3);
  EXPECT_EQ(MeasuredLineHeight(), metrics.height + metrics.external_leading);
  SelectFont(0);
  EXPECT_EQ(MeasuredLineHeight(), default_height) << "font 0 is font 1";
  EXPECT_EQ(LastRuntimeError(), 0);
}

TEST(Print, CellTopLeftAtThePositionBaselineAtAscentAndExactBlends) {
  ASSERT_NE(CardFontGlyphs().font, nullptr);
  const int32_t ascent = CardFontGlyphs().metrics.ascent;
  CardFontBitmap(200, 120, kCardBlue, kColourNone);
  SetPos(5, 8);
  Print("07");
  const Picture picture = CurrentPicture();

  // Expected: each glyph's coverage blended onto white at its cell place.
  Picture expected{200, 120, std::vector<uint32_t>(200 * 120, Px(kWhite))};
  int32_t pen = 5;
  int32_t lowest_ink = -1;
  for (uint32_t c : {uint32_t{'0'}, uint32_t{'7'}}) {
    const Glyph glyph = GlyphOf(c);
    for (int32_t y = 0; y < glyph.height; ++y)
      for (int32_t x = 0; x < glyph.width; ++x) {
        const uint8_t coverage = glyph.coverage[size_t(y) * glyph.width + x];
        const int32_t px = pen + glyph.left + x, py = 8 + glyph.top + y;
        expected.pixels[size_t(py) * 200 + px] = BlendPx(Px(kWhite), kCardBlue, coverage);
        if (coverage) lowest_ink = std::max(lowest_ink, py);
      }
    pen += glyph.advance;
  }
  EXPECT_EQ(picture.pixels, expected.pixels);
  // Digits stand on the baseline, ascent rows below the cell top (an anti-aliased bowl
  // may reach one row lower, and a bold grown from a regular face one more).
  EXPECT_GE(lowest_ink, 8 + ascent - 1);
  EXPECT_LE(lowest_ink, 8 + ascent + 1);
}

TEST(Print, TransparentTextLeavesEverythingButBlendsOfTheBackgroundAndFore) {
  CardFontBitmap(120, 90, kCardBlue, kColourNone);
  SetPos(5, 8);
  Print("88");
  const Picture picture = CurrentPicture();
  int32_t ink = 0;
  for (uint32_t p : picture.pixels) {
    ASSERT_TRUE(IsBlendOf(p, Px(kWhite), kCardBlue)) << std::hex << p;
    ink += p != Px(kWhite);
  }
  EXPECT_GT(ink, 200);
}

TEST(Print, AnOpaqueBackFillsTheCharacterCellsFirst) {
  ASSERT_NE(CardFontGlyphs().font, nullptr);
  const int32_t cell_height = CardFontGlyphs().metrics.height;
  const int32_t advance = GlyphOf('0').advance + GlyphOf('7').advance;
  CardFontBitmap(200, 120, kBlack, kGreen);
  SetPos(5, 8);
  Print("07");
  const Picture picture = CurrentPicture();
  EXPECT_EQ(picture.at(5, 8), Px(kGreen));
  EXPECT_EQ(picture.at(5 + advance - 1, 8 + cell_height - 1), Px(kGreen));
  EXPECT_EQ(picture.at(4, 8), Px(kWhite));
  EXPECT_EQ(picture.at(5, 7), Px(kWhite));
  EXPECT_EQ(picture.at(5 + advance, 8), Px(kWhite));
  EXPECT_EQ(picture.at(5, 8 + cell_height), Px(kWhite));
  for (int32_t y = 8; y < 8 + cell_height; ++y)
    for (int32_t x = 5; x < 5 + advance; ++x)
      ASSERT_TRUE(IsBlendOf(picture.at(x, y), Px(kGreen), kBlack)) << x << "," << y;
}

TEST(Print, EmptyTextDrawsNothingAndOnlyEndsTheLine) {
  CardFontBitmap(200, 200, kBlack, kGreen);
  SetPos(40, 8);
  Print("");
  Print(nullptr);
  Picture picture = CurrentPicture();
  for (uint32_t p : picture.pixels) ASSERT_EQ(p, Px(kWhite));
  const GlyphFontMetrics& metrics = CardFontGlyphs().metrics;
  Print("0");  // the third line, from column 0
  picture = CurrentPicture();
  const int32_t top = 8 + 2 * (metrics.height + metrics.external_leading);
  EXPECT_EQ(picture.at(0, top), Px(kGreen));
  EXPECT_EQ(picture.at(0, top - 1), Px(kWhite));
}

TEST(Print, OneTextAdvancesGlyphByGlyphAndTheNextPrintStartsALine) {
  const int32_t advance = GlyphOf('0').advance;
  CardFontBitmap(200, 200, kBlack, kColourNone);
  SetPos(5, 8);
  Print("07");
  const Picture together = CurrentPicture();
  CardFontBitmap(200, 200, kBlack, kColourNone);
  SetPos(5, 8);
  Print("0");
  SetPos(float(5 + advance), 8);
  Print("7");
  EXPECT_EQ(CurrentPicture().pixels, together.pixels);
}

TEST(Print, TextIsCutAtTheRightEdgeAndAtTheTopOfTheSurface) {
  CardFontBitmap(300, 100, kBlack, kColourNone);
  SetPos(2, 2);
  Print("0707");
  const Picture wide = CurrentPicture();
  CardFontBitmap(60, 100, kBlack, kColourNone);
  SetPos(2, 2);
  Print("0707");
  const Picture narrow = CurrentPicture();
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 60; ++x) ASSERT_EQ(narrow.at(x, y), wide.at(x, y)) << x << "," << y;

  // Half off the top: what shows is the lower part of the same text, unmoved.
  CardFontBitmap(200, 200, kBlack, kColourNone);
  SetPos(5, 70);
  Print("88");
  const Picture whole = CurrentPicture();
  CardFontBitmap(200, 200, kBlack, kColourNone);
  SetPos(5, -30);
  Print("88");
  const Picture cut = CurrentPicture();
  bool any = false;
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 200; ++x) {
      ASSERT_EQ(cut.at(x, y), whole.at(x, y + 100)) << x << "," << y;
      any = any || cut.at(x, y) != Px(kWhite);
    }
  EXPECT_TRUE(any);
}

TEST(Print, GlyphsReachingBeyondTheirCellAreClippedToTheBand) {
  ASSERT_NE(CardFontGlyphs().font, nullptr);
  const GlyphFontMetrics& metrics = CardFontGlyphs().metrics;
  const int32_t line = metrics.height + metrics.external_leading;
  // Accented capitals may rise above the cell and bars or hooks reach below it: find one
  // of each in this face.
  const struct {
    uint32_t codepoint;
    const char* text;
  } candidates[] = {{0x0124, u8"\u0124"}, {0x00C5, u8"\u00C5"}, {0x01FA, u8"\u01FA"},
                    {'|', "|"},           {0x0122, u8"\u0122"}, {0x0192, u8"\u0192"},
                    {'(', "("},           {0x00E7, u8"\u00E7"}};
  std::string text;
  bool above = false, below = false;
  for (const auto& candidate : candidates) {
    Glyph glyph;
    if (!RenderGlyph(CardFontGlyphs().font, candidate.codepoint, &glyph)) continue;
    const bool rises = glyph.top < 0, sinks = glyph.top + glyph.height > line;
    if ((rises && !above) || (sinks && !below)) text += candidate.text;
    above = above || rises;
    below = below || sinks;
  }
  if (text.empty()) GTEST_SKIP() << "this face keeps every tried glyph inside its cell";
  std::printf("clipping %s (above the cell: %d, below the line: %d)\n", text.c_str(), above,
              below);
  CardFontBitmap(200, 200, kBlack, kColourNone);
  SetPos(20, 40);
  Print(text.c_str());
  const Picture picture = CurrentPicture();
  int32_t top = 200, bottom = -1;
  for (int32_t y = 0; y < 200; ++y)
    for (int32_t x = 0; x < 200; ++x)
      if (picture.at(x, y) != Px(kWhite)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        ASSERT_GE(x, 20);
      }
  if (above) {
    EXPECT_EQ(top, 40) << "cut at the band's top";
  }
  if (below) {
    EXPECT_EQ(bottom, 40 + line - 1) << "cut at the band's bottom";
  }
}

}  // namespace
