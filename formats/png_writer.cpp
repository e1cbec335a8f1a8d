// The PNG file around the image data: signature, IHDR, the zlib stream of the rows cut
// into IDAT chunks, IEND; each chunk's length and type, then its data and the CRC-32
// of type and data (zlib's crc32). Nothing optional is written (no gamma, colour space,
// text or time), so the same pixels always make the same bytes.
#include "formats/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "formats/png_deflate.h"

namespace {
constexpr int kMostSide = 1 << 20;
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The image data is cut into IDAT chunks of this size, a usual one for PNG writers.
constexpr size_t kChunkBytes = 1 << 18;
// A chunk's length, type and CRC around its data.
constexpr size_t kChunkFramingBytes = 12;
constexpr size_t kHeaderBytes = 13;
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRgb = 2;
constexpr uint8_t kCompressionDeflate = 0;
constexpr uint8_t kFilterMethodAdaptive = 0;
constexpr uint8_t kNotInterlaced = 0;

uint8_t* PutBigEndian32(uint8_t* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) *out++ = static_cast<uint8_t>(value >> shift);
  return out;
}

// One chunk at `out`; returns the end of what it wrote.
uint8_t* PutChunk(uint8_t* out, const char (&type)[5], const uint8_t* data, size_t length) {
  out = PutBigEndian32(out, static_cast<uint32_t>(length));
  uint8_t* const typed = out;
  std::memcpy(out, type, 4);
  out += 4;
  if (length > 0) std::memcpy(out, data, length);
  out += length;
  const uLong crc = crc32(crc32(0, nullptr, 0), typed, static_cast<uInt>(4 + length));
  return PutBigEndian32(out, static_cast<uint32_t>(crc));
}

uint8_t* PutHeader(uint8_t* out, const PixelView& view) {
  uint8_t header[kHeaderBytes];
  uint8_t* field = PutBigEndian32(header, static_cast<uint32_t>(view.width));
  field = PutBigEndian32(field, static_cast<uint32_t>(view.height));
  *field++ = kBitDepth;
  *field++ = kColourTypeRgb;
  *field++ = kCompressionDeflate;
  *field++ = kFilterMethodAdaptive;
  *field++ = kNotInterlaced;
  return PutChunk(out, "IHDR", header, kHeaderBytes);
}

size_t FileBytes(size_t stream_bytes) {
  const size_t data_chunks = (stream_bytes + kChunkBytes - 1) / kChunkBytes;
  return sizeof kSignature + kChunkFramingBytes + kHeaderBytes +
         data_chunks * kChunkFramingBytes + stream_bytes + kChunkFramingBytes;
}
}  // namespace

bool EncodePng(const PixelView& pixels, std::vector<uint8_t>* png) {
  png->clear();
  if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0 ||
      pixels.width > kMostSide || pixels.height > kMostSide || pixels.stride < pixels.width)
    return false;
  // The zlib stream, kept for the next card like the output buffer.
  thread_local std::vector<uint8_t> stream;
  size_t length = 0;
  if (!DeflateRgbRows(pixels, &stream, &length)) return false;
  try {
    png->resize(FileBytes(length));
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint8_t* out = png->data();
  std::memcpy(out, kSignature, sizeof kSignature);
  out = PutHeader(out + sizeof kSignature, pixels);
  for (size_t at = 0; at < length; at += kChunkBytes)
    out = PutChunk(out, "IDAT", stream.data() + at, std::min(kChunkBytes, length - at));
  PutChunk(out, "IEND", nullptr, 0);
  return true;
}
