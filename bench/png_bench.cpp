// PNG encoder cost: cards drawn by the renderer (grey and coloured), each encoded as PNG and as the bitmap
// file the batch writes, in memory. Prints the time of one encoding of each and their
// sizes (target: PNG at least 10 x smaller than the 521,578-byte bitmap, and cheap
// enough to run on the batch's second thread while the next card is drawn).
//
//   png_bench [CARDS] [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "card/renderer.h"
#include "draw/draw.h"
#include "files/bmp_writer.h"
#include "files/png_encoder.h"

namespace {
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  const int cards = argc > 1 ? std::atoi(argv[1]) : 200;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (cards < 1 || rounds < 1) return 2;
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  std::vector<std::vector<uint32_t>> drawn;
  for (int i = 0; i < cards; ++i) {
    // Grey and coloured cards in turn.
    g_card_colour = i % 2 ? Colour{0x2040E0} : kDefaultCardColour;
    ShowNewCardFromSeed(picture, 0x4730F0CAu + static_cast<uint32_t>(i) * 977u);
    SelectTarget(picture, IDC_CARD_VIEW, 0);
    PixelView view;
    if (!LockCurrentTargetPixels(&view)) return 1;
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < view.height; ++y)
      pixels.insert(pixels.end(), view.pixels + static_cast<size_t>(y) * view.stride,
                    view.pixels + static_cast<size_t>(y) * view.stride + view.width);
    UnlockDrawing();
    drawn.push_back(std::move(pixels));
  }

  std::vector<double> png_ms, bmp_ms;
  size_t png_bytes = 0;
  std::vector<uint8_t> png;
  EncodedBitmap bitmap;
  for (int round = 0; round < rounds; ++round) {
    // Alternating sides, so that a busy moment of the machine falls on both.
    auto start = Clock::now();
    png_bytes = 0;
    for (const auto& pixels : drawn) {
      const PixelView view{kPictureWidth, kPictureHeight, kPictureWidth, pixels.data()};
      if (!EncodePng(view, &png)) return 1;
      png_bytes += png.size();
    }
    png_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                     cards);
    // The bitmap encoder reads the current target: the last card, every time.
    start = Clock::now();
    for (int i = 0; i < cards; ++i)
      if (!EncodeTargetImage(&bitmap)) return 1;
    bmp_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                     cards);
  }
  const double bmp_bytes = static_cast<double>(BitmapFileBytes(kPictureWidth, kPictureHeight));
  std::printf("cards %d, rounds %d (median)\n", cards, rounds);
  std::printf("png encode   %.3f ms a card, %.0f bytes a card\n", Median(png_ms),
              static_cast<double>(png_bytes) / cards);
  std::printf("bmp encode   %.3f ms a card, %.0f bytes a card\n", Median(bmp_ms), bmp_bytes);
  std::printf("png is %.1f x smaller (target: at least 10)\n",
              bmp_bytes / (static_cast<double>(png_bytes) / cards));
  return 0;
}
