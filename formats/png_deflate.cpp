// A zlib stream (RFC 1950) holding one deflate block with the fixed codes (RFC 1951,
// 3.2.6), found greedily: at each byte the longer of a repeat of the pixel before (distance
// 3) and a repeat of the row above (distance one row) is taken when it is at least
// deflate's shortest match, else the byte is a literal. The checksum is zlib's adler32,
// combined per row so that a repeated row is not summed again.
#include "formats/png_deflate.h"

#include <zlib.h>

#include <cstring>
#include <new>

namespace {
constexpr int kBytesPerPixel = 3;
constexpr size_t kShortestMatch = 3;
constexpr size_t kLongestMatch = 258;
constexpr size_t kFarthestDistance = 32768;
constexpr uint32_t kEndOfBlock = 256;
// CMF: deflate with a 32 KB window; FLG: the fastest-compression level, check bits so that
// CMF * 256 + FLG is a multiple of 31.
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};

// A code ready to be written: Huffman code bit-reversed (deflate sends it from the top
// bit) with any extra bits above it, and the number of bits in all.
struct Code {
  uint32_t bits = 0;
  uint32_t length = 0;
};

uint32_t Reversed(uint32_t code, uint32_t length) {
  uint32_t out = 0;
  for (uint32_t i = 0; i < length; ++i) out |= ((code >> i) & 1u) << (length - 1 - i);
  return out;
}

// The fixed literal/length code of a symbol 0..287.
Code FixedLiteral(uint32_t symbol) {
  if (symbol < 144) return {Reversed(0x30 + symbol, 8), 8};
  if (symbol < 256) return {Reversed(0x190 + symbol - 144, 9), 9};
  if (symbol < 280) return {Reversed(symbol - 256, 7), 7};
  return {Reversed(0xC0 + symbol - 280, 8), 8};
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                        33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

struct Tables {
  Code literal[256];
  Code length[kLongestMatch + 1];  // by match length, kShortestMatch and up
  Code end;
};

Tables MakeTables() {
  Tables t;
  for (uint32_t v = 0; v < 256; ++v) t.literal[v] = FixedLiteral(v);
  t.end = FixedLiteral(kEndOfBlock);
  for (size_t n = kShortestMatch; n <= kLongestMatch; ++n) {
    int i = 28;
    while (kLengthBase[i] > n) --i;
    const Code code = FixedLiteral(257 + static_cast<uint32_t>(i));
    t.length[n] = {code.bits | static_cast<uint32_t>(n - kLengthBase[i]) << code.length,
                   code.length + kLengthExtra[i]};
  }
  return t;
}

const Tables& FixedTables() {
  static const Tables tables = MakeTables();
  return tables;
}

// The fixed distance code (five bits) and its extra bits for a distance 1..32768.
Code DistanceCode(size_t distance) {
  int i = 29;
  while (kDistanceBase[i] > distance) --i;
  return {Reversed(static_cast<uint32_t>(i), 5) | static_cast<uint32_t>(distance - kDistanceBase[i]) << 5,
          5u + kDistanceExtra[i]};
}

// Bits from the lowest up, as deflate packs them. The buffer is sized beforehand for the
// worst case, so writing never checks for room.
struct BitWriter {
  uint8_t* out;
  uint64_t pending = 0;
  uint32_t count = 0;
};

inline void Put(BitWriter* w, Code code) {
  w->pending |= uint64_t{code.bits} << w->count;
  w->count += code.length;
  if (w->count >= 32) {
    for (int i = 0; i < 4; ++i) *w->out++ = static_cast<uint8_t>(w->pending >> (8 * i));
    w->pending >>= 32;
    w->count -= 32;
  }
}

void FlushBits(BitWriter* w) {
  while (w->count > 0) {
    *w->out++ = static_cast<uint8_t>(w->pending);
    w->pending >>= 8;
    w->count = w->count > 8 ? w->count - 8 : 0;
  }
}

// A repeat of `length` bytes from `distance` back, as matches of at most 258 bytes; a tail
// too short for a match of its own is taken off the match before it.
void PutRepeat(BitWriter* w, const Tables& t, Code distance, size_t length) {
  while (length >= kShortestMatch) {
    size_t n = length < kLongestMatch ? length : kLongestMatch;
    if (length - n > 0 && length - n < kShortestMatch) n = length - kShortestMatch;
    Put(w, t.length[n]);
    Put(w, distance);
    length -= n;
  }
}

// How many bytes from the start the two agree, eight at a time.
size_t SameBytes(const uint8_t* a, const uint8_t* b, size_t most) {
  size_t n = 0;
  while (n + sizeof(uint64_t) <= most) {
    uint64_t x, y;
    std::memcpy(&x, a + n, sizeof x);
    std::memcpy(&y, b + n, sizeof y);
    if (x != y) return n + static_cast<size_t>(__builtin_ctzll(x ^ y) / 8);
    n += sizeof x;
  }
  while (n < most && a[n] == b[n]) ++n;
  return n;
}

// One row (filter byte first), against the row above when there is one within reach.
void PutRow(BitWriter* w, const Tables& t, const uint8_t* row, const uint8_t* above,
            size_t row_bytes, Code pixel_back, Code row_back) {
  size_t i = 0;
  while (i < row_bytes) {
    const size_t left = row_bytes - i;
    const size_t up = above ? SameBytes(row + i, above + i, left) : 0;
    const size_t run = i >= kBytesPerPixel ? SameBytes(row + i, row + i - kBytesPerPixel, left) : 0;
    if (up >= kShortestMatch && up > run) {
      PutRepeat(w, t, row_back, up);
      i += up;
    } else if (run >= kShortestMatch) {
      PutRepeat(w, t, pixel_back, run);
      i += run;
    } else {
      Put(w, t.literal[row[i]]);
      ++i;
    }
  }
}

// 0xFFRRGGBB words as R, G, B bytes: each pixel stored as four bytes (R, G, B, 0), the
// next one written over the zero. `out` has one byte of room past the row.
void ToRgb(const uint32_t* source, int32_t width, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t rgb0 = __builtin_bswap32(source[x]) >> 8;  // bytes R, G, B, 0
    std::memcpy(out, &rgb0, sizeof rgb0);
    out += kBytesPerPixel;
  }
}
}  // namespace

bool DeflateRgbRows(const PixelView& pixels, std::vector<uint8_t>* stream, size_t* length) {
  const size_t row_bytes = 1 + static_cast<size_t>(pixels.width) * kBytesPerPixel;
  const size_t raw_bytes = row_bytes * static_cast<size_t>(pixels.height);
  // Literals take at most 9 bits a byte and matches fewer; then the block's ends.
  const size_t most = sizeof kZlibHeader + raw_bytes + raw_bytes / 8 + 16;
  thread_local std::vector<uint8_t> rows;
  try {
    if (stream->size() < most) stream->resize(most);
    rows.resize(2 * (row_bytes + 1));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const Tables& t = FixedTables();
  const bool above_in_reach = row_bytes <= kFarthestDistance;
  const Code pixel_back = DistanceCode(kBytesPerPixel);
  const Code row_back = above_in_reach ? DistanceCode(row_bytes) : Code{};

  std::memcpy(stream->data(), kZlibHeader, sizeof kZlibHeader);
  BitWriter w{stream->data() + sizeof kZlibHeader};
  Put(&w, {0x3, 3});  // the last block, fixed codes

  uint8_t* row = rows.data();
  uint8_t* above = rows.data() + row_bytes + 1;
  uLong checksum = adler32(0, nullptr, 0);
  uLong row_checksum = 0;
  const size_t source_bytes = static_cast<size_t>(pixels.width) * sizeof(uint32_t);
  for (int32_t y = 0; y < pixels.height; ++y) {
    const uint32_t* source = pixels.pixels + static_cast<size_t>(y) * pixels.stride;
    if (y > 0 && above_in_reach && std::memcmp(source, source - pixels.stride, source_bytes) == 0) {
      // The row above again: its bytes and checksum are those already at hand.
      PutRepeat(&w, t, row_back, row_bytes);
    } else {
      row[0] = 0;  // filter: none
      ToRgb(source, pixels.width, row + 1);
      PutRow(&w, t, row, y > 0 && above_in_reach ? above : nullptr, row_bytes, pixel_back,
             row_back);
      row_checksum = adler32(adler32(0, nullptr, 0), row, static_cast<uInt>(row_bytes));
      std::swap(row, above);
    }
    checksum = adler32_combine(checksum, row_checksum, static_cast<z_off_t>(row_bytes));
  }
  Put(&w, t.end);
  FlushBits(&w);
  for (int shift = 24; shift >= 0; shift -= 8) *w.out++ = static_cast<uint8_t>(checksum >> shift);
  *length = static_cast<size_t>(w.out - stream->data());
  return true;
}
