// Linux side of the Windows PNG check: a card bitmap that tessarine-cards.exe saved,
// encoded by the Linux build's PNG writer, so that the .exe's own PNG of the same card
// can be compared byte for byte (the two platforms' glyph pixels differ, so the Linux
// program's card of the same code is not the same picture).
//
//   png_of_bitmap CARD.bmp CARD.png
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "formats/png_writer.h"

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "uso: png_of_bitmap CARTON.bmp CARTON.png\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> bmp{std::istreambuf_iterator<char>(in), {}};
  // A 24-bit bottom-up bitmap with the 54-byte headers, as the program writes.
  if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M' || bmp[28] != 24) {
    std::fprintf(stderr, "%s no es un mapa de bits de 24 bits\n", argv[1]);
    return 1;
  }
  const int32_t width = static_cast<int32_t>(Le32(bmp, 18));
  const int32_t height = static_cast<int32_t>(Le32(bmp, 22));
  const size_t row_bytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t data_at = Le32(bmp, 10);
  if (width <= 0 || height <= 0 || data_at + row_bytes * height > bmp.size()) {
    std::fprintf(stderr, "%s: tamaño imposible\n", argv[1]);
    return 1;
  }
  std::vector<uint32_t> pixels;
  for (int32_t y = height - 1; y >= 0; --y)
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* bgr = &bmp[data_at + static_cast<size_t>(y) * row_bytes + 3 * x];
      pixels.push_back(0xFF000000u | uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0]);
    }
  std::vector<uint8_t> png;
  if (!EncodePng(PixelView{width, height, width, pixels.data()}, &png)) return 1;
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return out ? 0 : 1;
}
