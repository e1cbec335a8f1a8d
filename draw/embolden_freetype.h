// Bold from a light face: when bold is asked of a face whose strokes are regular weight
// (no bold face installed, or a metric stand-in such as Wine's Tahoma Bold, which keeps
// the regular outlines and only widens the advances), its outlines are grown to a bold
// stem width, to the right and evenly up and down so that the ink keeps the place the
// face's own outline has. One rule for the cards' glyphs (hinted outlines in pixels) and
// the PDF sheets' (unhinted outlines in font units), so that both show the same weight.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

struct BoldGrowth {
  FT_Pos stem = 0;             // 26.6 pixels added to vertical stems at the em asked; 0 = none
  bool widen_advance = false;  // the face's advances are regular ones: add the growth to them
};

// The growth for `face` asked for with `weight` (a Windows weight, 700 for bold) at an em
// of `em_pixels`. The face's 'l' is loaded to measure its stem.
BoldGrowth BoldGrowthOf(FT_Face face, int32_t weight, double em_pixels);

// The growth in the face's font units, for outlines loaded unscaled.
FT_Pos GrowthInFontUnits(const BoldGrowth& growth, FT_Face face, double em_pixels);

// Grows the outline by `stem` (in the outline's own units) and the advance with it where
// the growth says so.
void EmboldenOutline(const BoldGrowth& growth, FT_Pos stem, FT_Outline* outline, FT_Pos* advance);
