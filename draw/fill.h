// Filling a run of pixels with a solid or hatched brush, as a GDI brush would: hatch
// patterns are 8 x 8 and anchored at the surface's origin.
#pragma once
#include <cstdint>

constexpr int32_t kFillSolid = 0;
constexpr int32_t kHatchStyles = 6;  // fill styles 1..6

struct Brush {
  uint32_t pixel;       // 0xFFRRGGBB
  int32_t style;        // 0 solid, 1..6 the hatch patterns
  uint32_t gap_pixel;   // between hatch lines, when gaps_opaque
  bool gaps_opaque;
};

// A fill style outside 0..6 counts as solid.
inline int32_t CheckedFillStyle(int32_t style) {
  return style >= 0 && style <= kHatchStyles ? style : kFillSolid;
}

// Paints columns [x0, x1) of row y; `row` points at the row's first pixel.
void FillSpan(uint32_t* row, int32_t y, int32_t x0, int32_t x1, const Brush& brush);
