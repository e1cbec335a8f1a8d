// PNG cards: a picture's pixels as a lossless 8-bit RGB PNG file in memory. Cards are
// flat colours with rows that repeat, which a deflate stream made for them keeps small
// (about 30 KB) and cheap (about 0.4 ms a card; see files/png_encoder_libpng.cpp).
// The Windows build has no libpng: there PngEncoderAvailable() is false and nothing is
// encoded.
#pragma once
#include <cstdint>
#include <vector>

#include "draw/draw.h"

// Said when a PNG is asked of a build that cannot make one.
constexpr const char* kPngUnavailable =
    "los cartones PNG no están disponibles en esta versión del programa";

bool PngEncoderAvailable();

// The pixels (0xFFRRGGBB, top-down rows, draw/draw.h) as the bytes of a PNG file in
// *png, replacing what it held; its memory is kept from call to call. False when the
// view is empty or malformed, memory runs out, or this build has no encoder.
bool EncodePng(const PixelView& pixels, std::vector<uint8_t>* png);
