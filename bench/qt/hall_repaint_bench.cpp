// The hall's screen repainted whole at 1920 x 1080 mid-game: 40 balls called, the línea
// given (its line staying) and the banner of a bingo across it, rendered into the backing
// store's kind of image as a paint event draws it. Prints the median and the spread of N
// repaints against one frame at 60 Hz, 16 ms. With a file name, saves the last picture
// there (the README's docs/hall.png). Runs on Qt's offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
//
//   hall_repaint_bench [N] [PICTURE.png]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bingo/qt/hall_window.h"

namespace {
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr double kTargetMs = 16.0;

HallScreen MidGame() {
  HallScreen hall;
  hall.has_game = true;
  const int balls[] = {47, 12, 80, 3, 66, 29, 91, 54, 8, 35, 71, 19, 42, 88, 60, 5, 23, 77, 50, 14,
                       99, 31, 68, 2, 45, 83, 16, 57, 39, 74, 10, 26, 63, 95, 48, 7, 33, 86, 21, 58};
  for (int ball : balls) hall.called[static_cast<size_t>(ball)] = true;
  hall.balls = 40;
  hall.last = 58;
  hall.recent = {58, 21, 86, 33, 7};
  hall.prize = "Se juega: bingo";
  hall.given = {"Línea: cartón 0123"};
  return hall;
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
  HallScreen hall = MidGame();
  const HallPaint paint = HallPaintOf(kScreenWidth, kScreenHeight, hall.highest_ball);
  QImage image(kScreenWidth, kScreenHeight, QImage::Format_ARGB32_Premultiplied);
  for (const bool banner : {false, true}) {
    hall.banner = banner ? "¡BINGO! Cartones 0045 y 0217" : "";
    std::vector<double> ms;
    for (int round = 0; round < rounds; ++round) {
      const auto start = std::chrono::steady_clock::now();
      QPainter painter(&image);
      PaintHallScreen(&painter, paint, hall);
      painter.end();
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("hall screen, 1920 x 1080%-16s median %6.2f ms, 10-90 %% %6.2f-%6.2f ms (target < %.0f ms: %s)\n",
                banner ? ", with banner:" : ":", median, ms[ms.size() / 10], ms[ms.size() * 9 / 10], kTargetMs,
                median < kTargetMs ? "met" : "MISSED");
  }
  hall.banner = "";
  if (argc > 2) {
    QPainter painter(&image);
    PaintHallScreen(&painter, paint, hall);
    painter.end();
    if (!image.save(argv[2])) return 1;
  }
  return 0;
}
