// The row conversion on x86: one SSSE3 byte shuffle a group, where the processor has it
// (every x86 of the last 15 years), else the plain loop.
#include <immintrin.h>

#include "formats/bmp_rows.h"

namespace {
// Each store writes 16 bytes of which 12 count; the next group overwrites the rest.
__attribute__((target("ssse3"))) void QuadRowShuffled(const uint32_t* source, int32_t quads,
                                                      uint8_t* out) {
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  for (int32_t quad = 0; quad < quads; ++quad) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pixels, order));
    source += 4;
    out += 12;
  }
}
}  // namespace

QuadRow FastestQuadRow() {
  return __builtin_cpu_supports("ssse3") ? QuadRowShuffled : QuadRowPlain;
}
