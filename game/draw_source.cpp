// Unbiased draws over the system's source: of the 2^32 values of a draw, the top
// 2^32 mod bound would land on low values once more than on the others, so they are
// drawn again.
#include "game/draw_source.h"

UniformDraw DrawBelow(uint32_t bound) {
  UniformDraw draw;
  if (bound == 0) {
    draw.error = "no hay de dónde sacar: ningún valor posible";
    return draw;
  }
  const uint32_t rejected = static_cast<uint32_t>(0x100000000ull % bound);
  for (;;) {
    uint32_t bits = 0;
    draw.error = FillFromSystemSource(&bits, sizeof bits);
    if (!draw.error.empty()) return draw;
    if (bits >= rejected) {
      draw.value = (bits - rejected) % bound;
      return draw;
    }
  }
}
