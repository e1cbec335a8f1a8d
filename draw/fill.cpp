// Solid and hatched spans. Solid spans are one std::fill_n; hatches go pixel by pixel,
// which is fine because the program itself only ever fills solid.
#include "draw/fill.h"

#include <algorithm>

namespace {
// One byte a row, bit 0x80 the leftmost column: HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
// HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS.
constexpr uint8_t kHatches[kHatchStyles][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},
};
}  // namespace

void FillSpan(uint32_t* row, int32_t y, int32_t x0, int32_t x1, const Brush& brush) {
  if (x1 <= x0) return;
  if (brush.style == kFillSolid) {
    std::fill_n(row + x0, x1 - x0, brush.pixel);
    return;
  }
  const uint8_t bits = kHatches[brush.style - 1][y & 7];
  for (int32_t x = x0; x < x1; ++x) {
    if (bits & (0x80u >> (x & 7)))
      row[x] = brush.pixel;
    else if (brush.gaps_opaque)
      row[x] = brush.gap_pixel;
  }
}
