// The emboldening rule shared by the cards' glyphs and the PDF sheets, on faces of known
// weight: a regular face asked for bold grows to a bold stem, a bold face and a regular
// request are left alone, and the grown outline keeps its left edge and grows evenly up
// and down.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <string>

#include "draw/embolden_freetype.h"

namespace {
constexpr const char* kRegularFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr double kCardEm = 53;  // the card numbers' em in pixels
constexpr double kBoldStem = 0.16;

class Embolden : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&library_), 0); }
  void TearDown() override {
    for (FT_Face face : {regular_, bold_})
      if (face) FT_Done_Face(face);
    FT_Done_FreeType(library_);
  }
  FT_Face Open(const char* path, FT_Face* face) {
    if (FT_New_Face(library_, path, 0, face) != 0) *face = nullptr;
    return *face;
  }
  // The unscaled outline box of a character.
  FT_BBox BoxOf(FT_Face face, char c) {
    FT_BBox box{};
    EXPECT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_NO_SCALE), 0);
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    return box;
  }

  FT_Library library_ = nullptr;
  FT_Face regular_ = nullptr, bold_ = nullptr;
};

TEST_F(Embolden, OnlyALightFaceAskedForBoldGrows) {
  if (!Open(kRegularFile, &regular_) || !Open(kBoldFile, &bold_))
    GTEST_SKIP() << "DejaVu Sans (fonts-dejavu-core) is not installed";
  const BoldGrowth asked_regular = BoldGrowthOf(regular_, 400, kCardEm);
  EXPECT_EQ(asked_regular.stem, 0);
  EXPECT_FALSE(asked_regular.widen_advance);

  const BoldGrowth bold_face = BoldGrowthOf(bold_, 700, kCardEm);
  EXPECT_EQ(bold_face.stem, 0) << "a bold face is drawn as it is";
  EXPECT_FALSE(bold_face.widen_advance) << "a bold face's advances are bold ones already";

  // DejaVu Sans's 'l' is a regular stem: grown to a bold one, within a 64th of a pixel.
  const FT_BBox l = BoxOf(regular_, 'l');
  const double stem = double(l.xMax - l.xMin) / regular_->units_per_EM;
  ASSERT_LT(stem, 0.115);
  const BoldGrowth light = BoldGrowthOf(regular_, 700, kCardEm);
  EXPECT_NEAR(stem + light.stem / 64.0 / kCardEm, kBoldStem, 1 / 64.0 / kCardEm);
  EXPECT_TRUE(light.widen_advance);
  // The same growth in font units, as print uses it, within half a unit.
  const FT_Pos units = GrowthInFontUnits(light, regular_, kCardEm);
  EXPECT_NEAR(double(units) / regular_->units_per_EM, light.stem / 64.0 / kCardEm,
              0.5 / regular_->units_per_EM);
}

TEST_F(Embolden, TheOutlineKeepsItsLeftEdgeAndGrowsEvenlyUpAndDown) {
  if (!Open(kRegularFile, &regular_)) GTEST_SKIP() << "DejaVu Sans is not installed";
  const BoldGrowth growth = BoldGrowthOf(regular_, 700, kCardEm);
  const FT_Pos stem = GrowthInFontUnits(growth, regular_, kCardEm);
  ASSERT_GT(stem, 0);
  const FT_BBox before = BoxOf(regular_, 'l');
  FT_Pos advance = regular_->glyph->metrics.horiAdvance;
  const FT_Pos plain_advance = advance;
  EmboldenOutline(growth, stem, &regular_->glyph->outline, &advance);
  FT_BBox after;
  FT_Outline_Get_CBox(&regular_->glyph->outline, &after);
  EXPECT_NEAR(after.xMin, before.xMin, 1);
  EXPECT_NEAR(after.xMax - after.xMin, before.xMax - before.xMin + stem, 2);
  const double up = after.yMax - before.yMax, down = before.yMin - after.yMin;
  EXPECT_NEAR(up + down, stem / 2.0, 2) << "horizontal strokes grow by half the stem growth";
  EXPECT_NEAR(up, down, 1.5);
  EXPECT_EQ(advance, plain_advance + stem);

  // Without widening the advance stays; with no growth nothing moves.
  BoldGrowth narrow = growth;
  narrow.widen_advance = false;
  BoxOf(regular_, 'l');
  advance = plain_advance;
  EmboldenOutline(narrow, stem, &regular_->glyph->outline, &advance);
  EXPECT_EQ(advance, plain_advance);
  BoxOf(regular_, 'l');
  EmboldenOutline(growth, 0, &regular_->glyph->outline, &advance);
  FT_BBox untouched;
  FT_Outline_Get_CBox(&regular_->glyph->outline, &untouched);
  EXPECT_EQ(untouched.xMax, before.xMax);
  EXPECT_EQ(untouched.yMin, before.yMin);
  EXPECT_EQ(advance, plain_advance);
}
}  // namespace
