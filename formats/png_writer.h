// PNG cards: a picture's pixels as a lossless 8-bit RGB PNG file in memory, the same
// bytes from the Linux and the Windows build. Cards are flat colours with rows that
// repeat, which a deflate stream made for them (formats/png_deflate.h) keeps small
// (about 30 KB) and cheap (bench/png_bench measures it). The file's framing is written
// here, as libpng wrote it before; zlib gives only the checksums.
#pragma once
#include <cstdint>
#include <vector>

#include "draw/draw.h"

// The pixels (0xFFRRGGBB, top-down rows, draw/draw.h) as the bytes of a PNG file in
// *png, replacing what it held; its memory is kept from call to call. False when the
// view is empty or malformed, or memory runs out.
bool EncodePng(const PixelView& pixels, std::vector<uint8_t>* png);
