// The bitmap writer's row conversion: groups of four 0xAARRGGBB pixels turned into 12
// bytes BB GG RR each. A plain loop everywhere; a byte shuffle where the processor has
// one, chosen by CMake as the platform pairs are (bmp_rows_x86.cpp, bmp_rows_plain.cpp).
#pragma once
#include <cstdint>

using QuadRow = void (*)(const uint32_t* source, int32_t quads, uint8_t* out);

void QuadRowPlain(const uint32_t* source, int32_t quads, uint8_t* out);
// The fastest conversion this processor has. It may write 4 bytes past its last group,
// so a caller leaves a row's last group to QuadRowPlain.
QuadRow FastestQuadRow();
