// PNG encoder cost: cards drawn by the renderer in grey and in a few colours, each encoded
// as PNG and as the bitmap file the batch writes, in memory. Prints, per colour, the time
// of one PNG encoding and its size (target: at least 10 x smaller than the 521,578-byte
// bitmap, and no dearer than writing that bitmap, 0.3 to 0.5 ms on tmpfs, so that a PNG
// batch keeps the pace of a bitmap batch), then the bitmap encoding for comparison. The
// encoder's CPU time is printed beside its wall time: on a machine shared with other work
// the wall time measures the others as much as the encoder.
//
//   png_bench [CARDS PER COLOUR] [ROUNDS]
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "card/renderer.h"
#include "draw/draw.h"
#include "formats/bmp_writer.h"
#include "formats/png_writer.h"

namespace {
using Clock = std::chrono::steady_clock;

// Grey (the default), colours whose channels differ, and black.
constexpr Colour kColours[] = {kDefaultCardColour, 0x2040E0, 0x10A040, 0x0080FF, 0x000000};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MsSince(Clock::time_point start, int count) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / count;
}

double ThreadCpuMs() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

bool DrawCards(uint32_t picture, Colour colour, int cards,
               std::vector<std::vector<uint32_t>>* drawn) {
  g_card_colour = colour;
  for (int i = 0; i < cards; ++i) {
    ShowCard(picture, 0, 0x4730F0CAu + static_cast<uint32_t>(i) * 977u);
    SelectTarget(picture, 0, 0);
    PixelView view;
    if (!LockCurrentTargetPixels(&view)) return false;
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < view.height; ++y)
      pixels.insert(pixels.end(), view.pixels + static_cast<size_t>(y) * view.stride,
                    view.pixels + static_cast<size_t>(y) * view.stride + view.width);
    UnlockDrawing();
    drawn->push_back(std::move(pixels));
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  const int cards = argc > 1 ? std::atoi(argv[1]) : 100;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (cards < 1 || rounds < 1) return 2;
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  const double bmp_bytes = static_cast<double>(BitmapFileBytes(kPictureWidth, kPictureHeight));
  std::printf("cards %d a colour, rounds %d (median)\n", cards, rounds);

  std::vector<uint8_t> png;
  EncodedBitmap bitmap;
  std::vector<double> bmp_ms;
  for (const Colour colour : kColours) {
    std::vector<std::vector<uint32_t>> drawn;
    if (!DrawCards(picture, colour, cards, &drawn)) return 1;
    std::vector<double> png_ms, png_cpu_ms;
    size_t png_bytes = 0;
    for (int round = 0; round < rounds; ++round) {
      // Alternating sides, so that a busy moment of the machine falls on both.
      auto start = Clock::now();
      const double cpu_start = ThreadCpuMs();
      png_bytes = 0;
      for (const auto& pixels : drawn) {
        const PixelView view{kPictureWidth, kPictureHeight, kPictureWidth, pixels.data()};
        if (!EncodePng(view, &png)) return 1;
        png_bytes += png.size();
      }
      png_ms.push_back(MsSince(start, cards));
      png_cpu_ms.push_back((ThreadCpuMs() - cpu_start) / cards);
      // The bitmap encoder reads the current target: the last card, every time.
      start = Clock::now();
      for (int i = 0; i < cards; ++i)
        if (!EncodeTargetImage(&bitmap)) return 1;
      bmp_ms.push_back(MsSince(start, cards));
    }
    const double per_card = static_cast<double>(png_bytes) / cards;
    std::printf("png %06X  %.3f ms a card (%.3f ms CPU), %6.0f bytes a card, %.1f x smaller "
                "(target: 10)\n",
                static_cast<unsigned>(colour), Median(png_ms), Median(png_cpu_ms), per_card,
                bmp_bytes / per_card);
  }
  std::printf("bmp encode   %.3f ms a card, %.0f bytes a card\n", Median(bmp_ms), bmp_bytes);
  return 0;
}
