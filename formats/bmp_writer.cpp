// Save target image: the current drawing target's pixels as an uncompressed 24-bit
// Windows bitmap. The headers are laid out byte by byte in little-endian order, so the
// file is the same whatever the machine; the pixels are turned bottom-up and into
// blue-green-red in one pass, and the whole file goes to disk in a single write through
// ReplaceFileWith, which puts it in place only once every byte is written.
#include <cstdint>
#include <memory>

#include "draw/draw.h"
#include "formats/bmp_rows.h"
#include "formats/bmp_writer.h"

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
static_assert(kFileHeaderBytes + kInfoHeaderBytes == kBitmapHeaderBytes, "headers are packed");
constexpr uint16_t kBitmapSignature = 0x4D42;  // "BM" read as a little-endian word
constexpr uint16_t kOnePlane = 1;
constexpr uint16_t kBitsPerPixel = 24;
constexpr uint32_t kUncompressed = 0;  // BI_RGB

void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

// Byte by byte, so the file is the same on any machine; on a little-endian one the
// compiler makes this one store.
void Put32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
  at[2] = static_cast<uint8_t>(value >> 16);
  at[3] = static_cast<uint8_t>(value >> 24);
}

// BITMAPFILEHEADER followed by BITMAPINFOHEADER, packed.
void WriteHeaders(uint8_t* out, int32_t width, int32_t height, uint32_t file_bytes) {
  uint8_t* file = out;
  Put16(file + 0, kBitmapSignature);                     // bfType
  Put32(file + 2, file_bytes);                           // bfSize
  Put16(file + 6, 0);                                    // bfReserved1
  Put16(file + 8, 0);                                    // bfReserved2
  Put32(file + 10, kBitmapHeaderBytes);                  // bfOffBits
  uint8_t* info = out + kFileHeaderBytes;
  Put32(info + 0, kInfoHeaderBytes);                     // biSize
  Put32(info + 4, static_cast<uint32_t>(width));         // biWidth
  Put32(info + 8, static_cast<uint32_t>(height));        // biHeight: positive, bottom-up
  Put16(info + 12, kOnePlane);                           // biPlanes
  Put16(info + 14, kBitsPerPixel);                       // biBitCount
  Put32(info + 16, kUncompressed);                       // biCompression
  Put32(info + 20, 0);                                   // biSizeImage (may be 0 for BI_RGB)
  Put32(info + 24, 0);                                   // biXPelsPerMeter
  Put32(info + 28, 0);                                   // biYPelsPerMeter
  Put32(info + 32, 0);                                   // biClrUsed
  Put32(info + 36, 0);                                   // biClrImportant
}

}  // namespace

// Four pixels make three whole little-endian words: plain word stores.
void QuadRowPlain(const uint32_t* source, int32_t quads, uint8_t* out) {
  for (int32_t quad = 0; quad < quads; ++quad) {
    const uint32_t p0 = source[0], p1 = source[1], p2 = source[2], p3 = source[3];
    Put32(out + 0, (p0 & 0xFFFFFFu) | p1 << 24);             // B0 G0 R0 B1
    Put32(out + 4, ((p1 >> 8) & 0xFFFFu) | p2 << 16);        // G1 R1 B2 G2
    Put32(out + 8, ((p2 >> 16) & 0xFFu) | p3 << 8);          // R2 B3 G3 R3
    source += 4;
    out += 12;
  }
}

namespace {

// Rows bottom-up; each 0xAARRGGBB pixel becomes the bytes BB GG RR; the row's padding
// bytes are zero. `out` has room for row_bytes x height bytes.
void ConvertPixels(const PixelView& view, int32_t row_bytes, uint8_t* out) {
  static const QuadRow quad_row = FastestQuadRow();
  // The last whole group of a row is left to the plain loop (see bmp_rows.h).
  const int32_t fast_quads = view.width / 4 > 0 ? view.width / 4 - 1 : 0;
  const int32_t padding = row_bytes - view.width * 3;
  for (int32_t y = view.height - 1; y >= 0; --y) {
    const uint32_t* source = view.pixels + static_cast<size_t>(y) * view.stride;
    quad_row(source, fast_quads, out);
    source += 4 * fast_quads;
    out += 12 * fast_quads;
    const int32_t plain_quads = (view.width - 4 * fast_quads) / 4;
    QuadRowPlain(source, plain_quads, out);
    source += 4 * plain_quads;
    out += 12 * plain_quads;
    for (int32_t x = 4 * (fast_quads + plain_quads); x < view.width; ++x) {
      const uint32_t pixel = *source++;
      out[0] = static_cast<uint8_t>(pixel);
      out[1] = static_cast<uint8_t>(pixel >> 8);
      out[2] = static_cast<uint8_t>(pixel >> 16);
      out += 3;
    }
    for (int32_t i = 0; i < padding; ++i) *out++ = 0;
  }
}

// The largest image whose file length still fits bfSize.
bool FitsInFile(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > (INT32_MAX - 31) / 24) return false;
  return BitmapFileBytes(width, height) <= INT32_MAX;
}

// A batch saves thousands of pictures of one size, so the buffer of a card-sized file is
// kept for the next call (fresh memory would cost a page fault per 4 KB every time); a
// larger one is given back at once, so memory stays flat whatever is saved.
constexpr size_t kKeptBufferBytes = 1u << 20;
thread_local EncodedBitmap t_encoded;

}  // namespace

bool EncodeTargetImage(EncodedBitmap* encoded) {
  // Held until the copy is taken; drawing may go on while the bytes go to disk.
  const TargetPixelsLock target;
  const PixelView& view = target.view;
  if (!target.held || view.pixels == nullptr || view.stride < view.width ||
      !FitsInFile(view.width, view.height))
    return false;
  const size_t file_bytes = static_cast<size_t>(BitmapFileBytes(view.width, view.height));
  if (encoded->capacity < file_bytes) {
    encoded->bytes.reset(new (std::nothrow) uint8_t[file_bytes]);
    encoded->capacity = encoded->bytes ? file_bytes : 0;
  }
  if (!encoded->bytes) return false;
  encoded->size = file_bytes;
  WriteHeaders(encoded->bytes.get(), view.width, view.height, static_cast<uint32_t>(file_bytes));
  ConvertPixels(view, BitmapRowBytes(view.width), encoded->bytes.get() + kBitmapHeaderBytes);
  return true;
}

SaveError WriteEncodedBitmap(const std::string& file_name, const EncodedBitmap& encoded) {
  if (file_name.empty() || !encoded.bytes) return SaveError::kOther;
  const ByteSpan whole{encoded.bytes.get(), encoded.size};
  return ReplaceFileWith(file_name, &whole, 1);
}

SaveError SaveTargetImage(const std::string& file_name) {
  if (file_name.empty()) return SaveError::kOther;
  const SaveError saved =
      EncodeTargetImage(&t_encoded) ? WriteEncodedBitmap(file_name, t_encoded) : SaveError::kOther;
  if (t_encoded.capacity > kKeptBufferBytes) t_encoded = EncodedBitmap{};
  return saved;
}
