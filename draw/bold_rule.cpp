// The bold rule's arithmetic (see bold_rule.h), shared by both platforms' outlines.
#include "draw/bold_rule.h"

#include <cmath>

long BoldStemGrowth(int32_t weight, double stem_share, bool bold_face, double em_pixels) {
  if (weight < kBoldRuleWeight) return 0;
  if (stem_share > 0 && stem_share < kLightestBoldStem)
    return std::lround((kSyntheticBoldStem - stem_share) * em_pixels * 64);
  if (stem_share == 0 && !bold_face) return std::lround(em_pixels * 64 / kSyntheticBoldDivisor);
  return 0;
}

long BoldGrowthInFontUnits(long stem_growth, double units_per_em, double em_pixels) {
  return std::lround(static_cast<double>(stem_growth) * units_per_em / (em_pixels * 64));
}
