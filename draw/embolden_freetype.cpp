// The emboldening rule: the stem of 'l' measured as a share of the em, brought to a bold
// one when lighter than any bold face's; FreeType's own synthetic growth for a face with
// no 'l' to measure that does not call itself bold.
#include "draw/embolden_freetype.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>

#include "draw/bold_rule.h"

namespace {
// The stem width of 'l' as a share of the em, or 0 when the face has no plain 'l'.
double StemShare(FT_Face face) {
  if (FT_Load_Char(face, 'l', FT_LOAD_NO_SCALE) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return 0;
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  return double(box.xMax - box.xMin) / face->units_per_EM;
}

bool IsBoldFace(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  return (face->style_flags & FT_STYLE_FLAG_BOLD) ||
         (os2 && os2->version != 0xFFFF && os2->usWeightClass >= kBoldRuleWeight);
}
}  // namespace

BoldGrowth BoldGrowthOf(FT_Face face, int32_t weight, double em_pixels) {
  BoldGrowth growth;
  if (weight < kBoldRuleWeight) return growth;
  growth.stem = BoldStemGrowth(weight, StemShare(face), IsBoldFace(face), em_pixels);
  growth.widen_advance = !IsBoldFace(face);
  return growth;
}

FT_Pos GrowthInFontUnits(const BoldGrowth& growth, FT_Face face, double em_pixels) {
  const double units = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  return BoldGrowthInFontUnits(growth.stem, units, em_pixels);
}

void EmboldenOutline(const BoldGrowth& growth, FT_Pos stem, FT_Outline* outline, FT_Pos* advance) {
  if (stem <= 0) return;
  // FreeType keeps the left and bottom edges and grows the outline right and up. The
  // glyph must stand where the face puts it: left edge kept, growth to the right (into
  // the widened advance, if any), and moved down by half the vertical growth so that
  // the top and bottom move out evenly instead of lifting the glyph off its place.
  const FT_Pos y = stem / kVerticalShare;
  FT_Outline_EmboldenXY(outline, stem, y);
  FT_Outline_Translate(outline, 0, -(y / 2));
  if (growth.widen_advance) *advance += stem;
}
