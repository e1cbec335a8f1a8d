// The platform-free outline emboldening (GDI's outlines go through it) against FreeType's
// own, on the cards' face and on DejaVu: the same points within a font unit, for the
// cards' growth and for a heavy one. And the FreeType outlines of the sheets: digits
// present, a snowman absent, the bold digits grown by the rule.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <string>

#include "draw/embolden_freetype.h"
#include "draw/embolden_outline.h"
#include "draw/glyph_outline.h"

namespace {
constexpr const char* kFaces[] = {"/usr/share/wine/fonts/tahomabd.ttf",
                                  "/usr/share/wine/fonts/tahoma.ttf",
                                  "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
constexpr double kCardEm = 53;

OutlineContours ContoursOf(const FT_Outline& outline) {
  OutlineContours contours;
  int first = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    std::vector<OutlinePoint> points;
    for (int i = first; i <= outline.contours[c]; ++i)
      points.push_back({double(outline.points[i].x), double(outline.points[i].y)});
    contours.push_back(points);
    first = outline.contours[c] + 1;
  }
  return contours;
}
}  // namespace

TEST(EmboldenContours, MovesEveryPointAsFreeTypeDoes) {
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  int compared = 0;
  for (const char* path : kFaces) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) continue;
    for (FT_Pos stem : {FT_Pos{80}, FT_Pos{143}, FT_Pos{300}})
      for (char c : std::string("0123456789lBgO&%")) {
        SCOPED_TRACE(std::string(path) + " '" + c + "' growth " + std::to_string(stem));
        ASSERT_EQ(FT_Load_Char(face, FT_ULong(c), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
        FT_Outline& outline = face->glyph->outline;
        OutlineContours ours = ContoursOf(outline);
        EmboldenContours(&ours, double(stem));
        BoldGrowth growth;
        growth.stem = stem;
        FT_Pos advance = 0;
        EmboldenOutline(growth, stem, &outline, &advance);
        const OutlineContours theirs = ContoursOf(outline);
        ASSERT_EQ(ours.size(), theirs.size());
        for (size_t k = 0; k < ours.size(); ++k)
          for (size_t i = 0; i < ours[k].size(); ++i) {
            EXPECT_NEAR(ours[k][i].x, theirs[k][i].x, 1.0) << k << ' ' << i;
            EXPECT_NEAR(ours[k][i].y, theirs[k][i].y, 1.0) << k << ' ' << i;
            ++compared;
          }
      }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  EXPECT_GT(compared, 1000);
}

TEST(GlyphOutline, TheSheetsFaceHasItsCharactersAndNoOthers) {
  const OpenedOutlineFace regular = OpenOutlineFace("Tahoma", 400, kCardEm);
  const OpenedOutlineFace bold = OpenOutlineFace("Tahoma", 700, kCardEm);
  ASSERT_NE(regular.face, nullptr) << regular.error;
  ASSERT_NE(bold.face, nullptr) << bold.error;
  EXPECT_GT(bold.metrics.units_per_em, 0);
  EXPECT_GT(bold.metrics.ascent, bold.metrics.units_per_em / 2);
  for (uint32_t c : {uint32_t('0'), uint32_t('8'), 0xF3u, 0xF1u, 0xB7u, 0x20ACu}) {
    const GlyphOutline outline = OutlineOf(bold.face, c);
    EXPECT_TRUE(outline.present) << c;
    EXPECT_GT(outline.advance, 0) << c;
    EXPECT_FALSE(outline.verbs.empty()) << c;
    EXPECT_EQ(outline.verbs.front(), OutlineVerb::kMove) << c;
    EXPECT_EQ(outline.verbs.back(), OutlineVerb::kClose) << c;
  }
  EXPECT_FALSE(OutlineOf(bold.face, 0x2603).present);
  const GlyphOutline space = OutlineOf(regular.face, ' ');
  EXPECT_TRUE(space.present);
  EXPECT_TRUE(space.verbs.empty());
  CloseOutlineFace(regular.face);
  CloseOutlineFace(bold.face);
}
