// The cards' rule for bold asked of a face whose strokes are regular weight, apart from
// any platform: the stem of 'l' measured as a share of the em, brought to a bold one when
// lighter than any bold face's; a synthetic growth for a face with no 'l' to measure that
// does not call itself bold. draw/embolden_freetype.cpp applies it to FreeType outlines,
// draw/glyph_outline_gdi.cpp to GDI's, with draw/embolden_outline.h.
#pragma once
#include <cstdint>

// Stem of 'l' as a share of the em: regular sans faces have about 0.09, bold ones 0.14
// to 0.18. Below the first a face is too light for bold; it is brought to the second.
constexpr double kLightestBoldStem = 0.115;
constexpr double kSyntheticBoldStem = 0.16;
// The weight (OS/2 usWeightClass, LOGFONT lfWeight) from which a face or a request is bold.
constexpr int32_t kBoldRuleWeight = 600;
// FreeType's own synthetic bold grows by the em over this.
constexpr double kSyntheticBoldDivisor = 24;
// Horizontal strokes grow by this share of what vertical stems grow by, as in real bolds.
constexpr int kVerticalShare = 2;

// The growth of vertical stems, in 1/64 pixels at an em of `em_pixels`, for a face whose
// 'l' is `stem_share` of the em wide (0: no 'l' to measure) asked for with `weight`.
long BoldStemGrowth(int32_t weight, double stem_share, bool bold_face, double em_pixels);
// That growth in font units, for outlines worked unscaled.
long BoldGrowthInFontUnits(long stem_growth, double units_per_em, double em_pixels);
