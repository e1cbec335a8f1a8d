// The caller's window while a thousand phones follow the game: each ball drawn through the
// window (the command, its refresh with the snapshot published, and a whole repaint at
// 1920 x 1080) timed with the page off and then on with the phones connected, against
// 16 ms, one frame at 60 Hz; and how long each ball then takes to reach every phone.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   page_window_bench [PHONES [BALLS]]
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/page_phones.h"
#include "bingo/qt/bingo_window.h"
#include "card/layout.h"
#include "formats/card_list.h"
#include "files/card_files.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kFrameMs = 16.0;
constexpr double kReachMs = 200.0;

// The caller goes on past every winner without a question, so the balls keep coming.
struct CallerWindow : BingoWindow {
  using BingoWindow::BingoWindow;
  bool Ask(const std::string&, bool) override { return true; }
};

// Each ball a draw, a refresh and a repaint, timed; `after_ball` is told when it began.
std::vector<double> TimeBalls(BingoWindow* window, QImage* frame, int balls,
                              const std::function<void(Clock::time_point)>& after_ball) {
  std::vector<double> ms;
  for (int ball = 0; ball < balls; ++ball) {
    const Clock::time_point start = Clock::now();
    window->Run(BingoCommand::kDraw);
    window->render(frame);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    after_ball(start);
  }
  return ms;
}

void Report(const char* what, const std::vector<double>& ms) {
  std::printf("%-46s median %6.2f ms, 90 %% %6.2f ms, slowest %6.2f ms (target < %.0f ms: %s)\n", what,
              Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 1.0), kFrameMs,
              Percentile(ms, 1.0) < kFrameMs ? "met" : "MISSED");
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int phone_count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int balls = argc > 2 ? std::atoi(argv[2]) : 40;
  QTemporaryDir folder;
  std::vector<ListLine> list;
  for (int card = 1; card <= 300; ++card)
    list.push_back(ListLineOf(CardFileName(card, ".bmp"), 0x4730F0CAu + 7919u * static_cast<uint32_t>(card)));
  const std::string list_path = folder.filePath("cartones.csv").toStdString();
  const std::string bytes = CardListBytes(list);
  std::FILE* file = std::fopen(list_path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  CallerWindow window(folder.filePath("datos"));
  window.resize(1920, 1080);
  window.show();
  QApplication::processEvents();
  if (!window.Open().isEmpty() || !window.StartGame(QString::fromStdString(list_path), "").isEmpty()) return 1;
  QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);
  Report("page off: a ball drawn, refreshed, repainted", TimeBalls(&window, &frame, balls, [](Clock::time_point) {}));

  window.findChild<QCheckBox*>("pagina")->click();
  const QString address = window.findChild<QLabel*>("direccion_pagina")->text();
  const int port = address.section(':', -1).remove('/').toInt();
  if (port == 0) return std::fprintf(stderr, "the page did not start\n"), 1;
  Phones phones = ConnectPhones(port, phone_count);
  if (!AwaitAll(&phones, 1, Clock::now(), 60)) return std::fprintf(stderr, "not every phone connected\n"), 1;
  uint64_t newest = phones.seen[0];
  std::vector<double> reached;
  const std::vector<double> with_phones = TimeBalls(&window, &frame, balls, [&](Clock::time_point drawn) {
    ++newest;
    if (!AwaitAll(&phones, newest, drawn, 10)) std::exit(std::fprintf(stderr, "a ball was lost\n") > 0);
    reached.push_back(Percentile(phones.arrived_ms, 1.0));
  });
  char what[64];
  std::snprintf(what, sizeof what, "page on, %d phones: the same", phone_count);
  Report(what, with_phones);
  std::printf("each ball on every phone, from its draw: median %.1f ms, slowest %.1f ms (target < %.0f ms)\n",
              Percentile(reached, 0.5), Percentile(reached, 1.0), kReachMs);
  ClosePhones(&phones);
  return 0;
}
