// Save target image: the current drawing target's pixels as an uncompressed 24-bit
// Windows bitmap. The headers are laid out byte by byte in little-endian order, so the
// file is the same whatever the machine; the pixels are turned bottom-up and into
// blue-green-red in one pass, and the whole file goes to disk in a single write through
// ReplaceFileWith, which puts it in place only once every byte is written.
#include <cstdint>
#include <cstring>
#include <memory>

#include "draw/draw.h"
#include "files/bmp_writer.h"
#include "files/file_system.h"

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

// Rows bottom-up; each 0xAARRGGBB pixel becomes the bytes BB GG RR; the row's padding
// bytes are zero. `out` has room for row_bytes x height bytes.
void ConvertPixels(const PixelView& view, int32_t row_bytes, uint8_t* out) {
  const int32_t padding = row_bytes - view.width * 3;
  for (int32_t y = view.height - 1; y >= 0; --y) {
    const uint32_t* source = view.pixels + static_cast<size_t>(y) * view.stride;
    const uint32_t* const end = source + view.width;
    while (source != end) {
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

}  // namespace

bool SaveTargetImage(const std::string& file_name) {
  if (file_name.empty()) return false;
  PixelView view;
  if (!LockCurrentTargetPixels(&view)) return false;
  if (view.pixels == nullptr || view.stride < view.width || !FitsInFile(view.width, view.height)) {
    UnlockDrawing();
    return false;
  }
  const int32_t row_bytes = BitmapRowBytes(view.width);
  const size_t file_bytes = static_cast<size_t>(BitmapFileBytes(view.width, view.height));
  // One buffer, made and freed within the call, so that nothing piles up over a batch.
  std::unique_ptr<uint8_t[]> file(new (std::nothrow) uint8_t[file_bytes]);
  if (!file) {
    UnlockDrawing();
    return false;
  }
  WriteHeaders(file.get(), view.width, view.height, static_cast<uint32_t>(file_bytes));
  ConvertPixels(view, row_bytes, file.get() + kBitmapHeaderBytes);
  // The copy is taken: drawing may go on while the bytes go to disk.
  UnlockDrawing();

  const ByteSpan whole{file.get(), file_bytes};
  return ReplaceFileWith(file_name, &whole, 1);
}
