// The image data of an 8-bit RGB PNG (every row as filter byte 0 and its RGB bytes) as a
// zlib stream, made for pictures like the cards: a row equal to the row above costs a few
// back-references, and within a row a run of one colour or a stretch equal to the row
// above is one back-reference. Everything else is a literal. One block of deflate's fixed
// codes, so no code tables are built or sent.
// zlib's own deflate has to look at every byte of the 521,504 the card's rows make, and
// its cheapest settings cost about four times as much on these pictures; the stream made
// here is about a quarter larger than zlib level 1 makes of the same rows, still about 17 x
// smaller than the bitmap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "draw/draw.h"

// The rows of the pixels (0xFFRRGGBB; width, height and stride already checked) as a
// complete zlib stream in the first *length bytes of *stream. The vector only grows, to
// room for the worst case, so that a buffer kept from call to call is never cleared.
// False when memory runs out.
bool DeflateRgbRows(const PixelView& pixels, std::vector<uint8_t>* stream, size_t* length);
