// Batch throughput through the window: N cards made, shown on the main window's picture
// control (repainted at once, as in the program) and saved, against the same cards made
// on a 721 x 241 bitmap as tessarine-cards makes them (target: at most 1.25), and against
// writing the same N files of 521,578 bytes with nothing drawn. The three sides take
// turns in every round, in a rotating order, each into a fresh folder; the medians of
// the rounds and their spread are printed. Runs on Qt's offscreen platform unless
// QT_QPA_PLATFORM says otherwise; the files go to TESSARINE_BENCH_DIR (default /tmp).
//
//   [TESSARINE_BENCH_DIR=FOLDER] window_batch_bench [N] [ROUNDS]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell.h"
#include "card/run_seeds.h"
#include "card/random.h"
#include "card/renderer.h"
#include "draw/draw.h"
#include "files/batch_card.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kCardFileBytes = 521578;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string NumberedPath(const std::string& folder, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/%04d.bmp", i);
  return folder + name;
}

bool WriteFiles(const std::string& folder, int count, const std::vector<char>& bytes) {
  for (int i = 1; i <= count; ++i) {
    const int fd = open(NumberedPath(folder, i).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (close(fd) != 0 || !ok) return false;
  }
  return true;
}

// The program's main window, shown, with its white picture: what a batch draws on.
uint32_t ShownMainWindow() {
  const uint32_t window =
      CreateDialogWindow(UNITS_PIXELS, 0, "Tessarine", 105, 94, 739, 280, WS_MINIMIZEBOX, 0);
  AddControl(kPictureControlKind, window, IDC_CARD_VIEW, "", 8, 8, kPictureWidth,
             kPictureHeight, WS_CHILD | WS_VISIBLE, 0, nullptr);
  SelectTarget(window, IDC_CARD_VIEW, 0);
  SetColours(0x000000, 0xFFFFFF);
  Clear(kColourDefault, 0);
  QWidget* widget = FindWindowRecord(window)->widget;
  widget->show();
  // Only an exposed window repaints: wait for it, as the user's screen would be there.
  const auto start = Clock::now();
  while (!widget->windowHandle()->isExposed() && Seconds(start) < 5)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return window;
}

// As "Muchas" makes them.
bool MakeCards(uint32_t picture, const std::string& folder, int count) {
  CardFilesRequest request;
  request.picture = picture;
  request.picture_control = IDC_CARD_VIEW;
  request.count = count;
  request.folder = folder;
  CardFilesFailure failure;
  return MakeCardFiles(request, &failure) == count;
}

// Seconds of one timed step in a fresh folder; negative if it failed.
template <typename Step>
double Timed(const std::string& folder, Step step) {
  std::system(("rm -rf '" + folder + "'").c_str());
  if (mkdir(folder.c_str(), 0755) != 0) return -1;
  const auto start = Clock::now();
  if (!step(folder)) return -1;
  return Seconds(start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintRatio(const char* what, const std::vector<double>& ratios, const char* target) {
  std::printf("%s: %.3f (median, spread %.3f to %.3f%s)\n", what, Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()), target);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (count <= 0 || rounds <= 0) return 2;
  const char* base = std::getenv("TESSARINE_BENCH_DIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/tessarine-window-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return 1;
  const std::string root = pattern;
  const std::string warm = root + "/warm";
  if (mkdir(warm.c_str(), 0755) != 0) return 1;

  g_card_colour = kDefaultCardColour;
  const uint32_t window = ShownMainWindow();
  const uint32_t bitmap = NewBitmap(kPictureWidth, kPictureHeight);
  // The first card makes the font; neither side should pay a first-run cost.
  if (!MakeCards(window, warm, 10)) return 1;
  const std::vector<char> bytes(kCardFileBytes, '\x7f');

  std::vector<double> plain, through_window, on_bitmap, window_to_bitmap, window_to_plain;
  for (int round = 0; round < rounds; ++round) {
    const std::string tag = std::to_string(round);
    double seconds[3];
    for (int turn = 0; turn < 3; ++turn) {
      const int side = (turn + round) % 3;
      const std::string folder = root + "/side" + std::to_string(side) + "-" + tag;
      if (side == 0)
        seconds[0] =
            Timed(folder, [&](const std::string& f) { return WriteFiles(f, count, bytes); });
      else
        seconds[side] = Timed(folder, [&](const std::string& f) {
          return MakeCards(side == 1 ? window : bitmap, f, count);
        });
      std::system(("rm -rf '" + folder + "'").c_str());
      if (seconds[side] < 0) return 1;
    }
    std::printf("round %d: nothing drawn %.3f s; through the window %.3f s; on a bitmap %.3f s\n",
                round + 1, seconds[0], seconds[1], seconds[2]);
    std::fflush(stdout);
    plain.push_back(seconds[0]);
    through_window.push_back(seconds[1]);
    on_bitmap.push_back(seconds[2]);
    window_to_bitmap.push_back(seconds[1] / seconds[2]);
    window_to_plain.push_back(seconds[1] / seconds[0]);
  }

  std::printf("platform: %s, %d cards a side\n", qPrintable(QGuiApplication::platformName()),
              count);
  std::printf("median: nothing drawn %.3f ms a file, through the window %.3f ms a card, "
              "on a bitmap %.3f ms a card\n",
              1000 * Median(plain) / count, 1000 * Median(through_window) / count,
              1000 * Median(on_bitmap) / count);
  PrintRatio("window / bitmap (as tessarine-cards)", window_to_bitmap, "; target at most 1.25");
  PrintRatio("window / nothing drawn", window_to_plain, "");
  EndDialogWindow(window, 0);
  std::system(("rm -rf '" + root + "'").c_str());
  return 0;
}
