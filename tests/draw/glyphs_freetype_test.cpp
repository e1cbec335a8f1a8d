// The bold stand-in for Tahoma Bold (Wine's tahomabd.ttf keeps the regular outlines, so
// the glyph source emboldens them): its digits must ink where the face's own outlines do
// (top, bottom and left within a pixel; the growth goes right) and still be bold. The
// face's own outlines are rendered here straight from the chosen file with FreeType.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "draw/glyphs.h"
#include "draw/glyphs_freetype.h"

namespace {
// lfHeight of the card's numbers: 40 points at 96 dpi.
constexpr int32_t kCardHeight = -53;
constexpr const char* kStandInFile = "/usr/share/wine/fonts/tahomabd.ttf";
// Stems of bold sans faces, as a share of the em; a regular one is below the first.
constexpr double kBoldStemLeast = 0.14;
constexpr double kBoldStemMost = 0.18;
constexpr double kRegularStemMost = 0.115;

// Where a glyph inks, in character-cell pixels; bottom and right are one past the ink.
struct InkBox {
  int32_t top = 0, bottom = 0, left = 0, right = 0;
};

bool InkOf(const Glyph& glyph, InkBox* box) {
  bool any = false;
  for (int32_t y = 0; y < glyph.height; ++y)
    for (int32_t x = 0; x < glyph.width; ++x) {
      if (glyph.coverage[size_t(y) * glyph.width + x] == 0) continue;
      const int32_t cx = glyph.left + x, cy = glyph.top + y;
      if (!any) *box = InkBox{cy, cy + 1, cx, cx + 1};
      any = true;
      box->top = std::min(box->top, cy);
      box->bottom = std::max(box->bottom, cy + 1);
      box->left = std::min(box->left, cx);
      box->right = std::max(box->right, cx + 1);
    }
  return any;
}

// Inked width, in pixels, of the row halfway down the ink: the stem of a '1'.
double MiddleRowInk(const Glyph& glyph, const InkBox& box) {
  const int32_t row = (box.top + box.bottom) / 2 - glyph.top;
  double ink = 0;
  for (int32_t x = 0; x < glyph.width; ++x)
    ink += glyph.coverage[size_t(row) * glyph.width + x] / 255.0;
  return ink;
}

class BoldStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    GlyphFontRequest request{};
    std::strcpy(request.face, "Tahoma");
    request.height = kCardHeight;
    request.weight = 700;
    font_ = OpenGlyphFont(request, &metrics_);
    ASSERT_NE(font_, nullptr);
    const GlyphFaceFile file = FaceFileOf(font_);
    if (file.path != kStandInFile)
      GTEST_SKIP() << "\"Tahoma\" bold is " << file.path << ", not Wine's stand-in";
    ASSERT_EQ(FT_Init_FreeType(&library_), 0);
    ASSERT_EQ(FT_New_Face(library_, file.path.c_str(), file.index, &face_), 0);
    ASSERT_EQ(FT_Set_Pixel_Sizes(face_, 0, -kCardHeight), 0);
  }
  void TearDown() override {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
    CloseGlyphFont(font_);
  }

  // How much wider the bold stand-in draws the stem of '1' than the face's own outline;
  // 0 when either has no ink.
  double StemGrowth() {
    const Glyph plain_one = PlainGlyph('1'), bold_one = BoldGlyph('1');
    InkBox plain_one_box, bold_one_box;
    if (!InkOf(plain_one, &plain_one_box) || !InkOf(bold_one, &bold_one_box)) return 0;
    return MiddleRowInk(bold_one, bold_one_box) - MiddleRowInk(plain_one, plain_one_box);
  }

  // The face's own outline, hinted and smoothed as the glyph source does, unemboldened.
  Glyph PlainGlyph(uint32_t codepoint) {
    Glyph glyph;
    EXPECT_EQ(FT_Load_Char(face_, codepoint, FT_LOAD_NO_AUTOHINT | FT_LOAD_RENDER), 0);
    const FT_GlyphSlot slot = face_->glyph;
    EXPECT_EQ(slot->bitmap.pixel_mode, FT_PIXEL_MODE_GRAY);
    glyph.left = slot->bitmap_left;
    glyph.top = metrics_.ascent - slot->bitmap_top;
    glyph.width = static_cast<int32_t>(slot->bitmap.width);
    glyph.height = static_cast<int32_t>(slot->bitmap.rows);
    glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    for (int32_t y = 0; y < glyph.height; ++y) {
      const unsigned char* row = slot->bitmap.buffer + ptrdiff_t(y) * slot->bitmap.pitch;
      glyph.coverage.insert(glyph.coverage.end(), row, row + glyph.width);
    }
    return glyph;
  }
  // Where GDI inks the face's own outline of a character, in character-cell pixels. GDI
  // runs a face's own hinting instructions and nothing else; Wine's stand-in has none, so
  // the outline is the plain one scaled to the em (lfHeight -53: 53 pixels), its baseline
  // tmAscent rows below the cell top (usWinAscent scaled to the em, rounded), and a pixel
  // inked where the outline reaches into it. (Wine's own GDI auto-hints such a face with
  // FreeType and so draws the 0, 8 and 9 a row higher than this.)
  InkBox GdiPlacement(uint32_t codepoint) {
    const auto* maxp =
        static_cast<const TT_MaxProfile*>(FT_Get_Sfnt_Table(face_, FT_SFNT_MAXP));
    EXPECT_TRUE(maxp && maxp->maxSizeOfInstructions == 0) << "GDI would hint by its instructions";
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    EXPECT_NE(os2, nullptr);
    const int32_t ascent =
        os2 ? int32_t(std::lround(double(os2->usWinAscent) * Em() / face_->units_per_EM)) : 0;
    EXPECT_EQ(metrics_.ascent, ascent);
    EXPECT_EQ(FT_Load_Char(face_, codepoint, FT_LOAD_NO_HINTING), 0);
    FT_BBox box{};  // the curves' own extent, not their control points'
    EXPECT_EQ(FT_Outline_Get_BBox(&face_->glyph->outline, &box), 0);
    const auto floor_px = [](FT_Pos v) { return int32_t(std::floor(v / 64.0)); };
    const auto ceil_px = [](FT_Pos v) { return int32_t(std::ceil(v / 64.0)); };
    return InkBox{ascent - ceil_px(box.yMax), ascent - floor_px(box.yMin), floor_px(box.xMin),
                  ceil_px(box.xMax)};
  }
  Glyph BoldGlyph(uint32_t codepoint) {
    Glyph glyph;
    EXPECT_TRUE(RenderGlyph(font_, codepoint, &glyph));
    return glyph;
  }
  double Em() const { return -kCardHeight; }

  GlyphFont* font_ = nullptr;
  GlyphFontMetrics metrics_{};
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

TEST_F(BoldStandIn, StemsAreBoldWhereTheFaceIsRegular) {
  const Glyph plain = PlainGlyph('1'), bold = BoldGlyph('1');
  InkBox plain_box, bold_box;
  ASSERT_TRUE(InkOf(plain, &plain_box));
  ASSERT_TRUE(InkOf(bold, &bold_box));
  const double plain_stem = MiddleRowInk(plain, plain_box) / Em();
  const double bold_stem = MiddleRowInk(bold, bold_box) / Em();
  ASSERT_LT(plain_stem, kRegularStemMost) << "the stand-in's own strokes are regular";
  EXPECT_GE(bold_stem, kBoldStemLeast);
  EXPECT_LE(bold_stem, kBoldStemMost);
}

// Inked box of every digit at the card's size against the face's own outline: the
// emboldening may add at most a pixel above, below and to the left; the rest of the
// stem growth goes to the right.
TEST_F(BoldStandIn, DigitsInkWhereTheFacesOwnOutlinesDo) {
  const double growth = StemGrowth();
  ASSERT_GT(growth, 1.0) << "the stems are emboldened";

  for (uint32_t c = '0'; c <= '9'; ++c) {
    SCOPED_TRACE(std::string("digit ") + char(c));
    const Glyph plain = PlainGlyph(c), bold = BoldGlyph(c);
    InkBox p, b;
    ASSERT_TRUE(InkOf(plain, &p));
    ASSERT_TRUE(InkOf(bold, &b));
    EXPECT_LE(std::abs(b.top - p.top), 1) << "top " << b.top << " against " << p.top;
    EXPECT_LE(std::abs(b.bottom - p.bottom), 1) << "bottom " << b.bottom << " against " << p.bottom;
    EXPECT_LE(std::abs(b.left - p.left), 1) << "left " << b.left << " against " << p.left;
    EXPECT_LE(std::abs(b.right - p.right - growth), 1.0)
        << "right " << b.right << " against " << p.right << " grown by " << growth;
    // The stand-in's advances are already the bold ones.
    EXPECT_EQ(bold.advance, plain.advance);
  }
}

// Every digit of the card's numbers within a pixel of where GDI puts the same face's
// outline, on all sides but the right, where the emboldening's growth goes. Any coverage
// counts as ink: on a dark card even the faintest shows.
TEST_F(BoldStandIn, DigitsInkWithinAPixelOfWhereGdiPlacesTheOutline) {
  const double growth = StemGrowth();
  ASSERT_GT(growth, 1.0) << "the stems are emboldened";

  for (uint32_t c = '0'; c <= '9'; ++c) {
    SCOPED_TRACE(std::string("digit ") + char(c));
    const InkBox gdi = GdiPlacement(c);
    InkBox b;
    ASSERT_TRUE(InkOf(BoldGlyph(c), &b));
    EXPECT_LE(std::abs(b.top - gdi.top), 1) << "top " << b.top << " against " << gdi.top;
    EXPECT_LE(std::abs(b.bottom - gdi.bottom), 1)
        << "bottom " << b.bottom << " against " << gdi.bottom;
    EXPECT_LE(std::abs(b.left - gdi.left), 1) << "left " << b.left << " against " << gdi.left;
    EXPECT_GE(b.right, gdi.right - 1) << "right " << b.right << " against " << gdi.right;
    EXPECT_LE(b.right, gdi.right + std::ceil(growth) + 1)
        << "right " << b.right << " against " << gdi.right << " grown by " << growth;
  }
}
}  // namespace
