// Batch throughput through the window: N cards made, shown on the main window's picture
// control (repainted at once, as in the program) and saved, timed against writing the
// same N files of 521,578 bytes with nothing drawn, and the ratio (target: at most 2).
// The same cards made on a 721 x 241 bitmap instead show what the window itself costs.
// Each side runs three times, alternating, and the best time of each counts: the file
// system's own pace varies far more from one run to the next than the program's does.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   window_batch_bench [N]
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

#include "card/card_run.h"
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

double Best(double best, double seconds) {
  return seconds < 0 || best < 0 ? -1 : std::min(best, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  char pattern[] = "/tmp/tessarine-window-batch-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string root = pattern;
  const std::string warm = root + "/warm";
  if (mkdir(warm.c_str(), 0755) != 0) return 1;

  g_card_colour = kDefaultCardColour;
  const uint32_t window = ShownMainWindow();
  const uint32_t bitmap = NewBitmap(kPictureWidth, kPictureHeight);
  // The first card makes the font; neither side should pay a first-run cost.
  if (!MakeCards(window, warm, 10)) return 1;
  const std::vector<char> bytes(kCardFileBytes, '\x7f');

  double plain = 1e9, through_window = 1e9, on_bitmap = 1e9;
  for (int round = 0; round < 3; ++round) {
    plain = Best(plain, Timed(root + "/plain", [&](const std::string& folder) {
                   return WriteFiles(folder, count, bytes);
                 }));
    through_window = Best(through_window, Timed(root + "/cards", [&](const std::string& folder) {
                            return MakeCards(window, folder, count);
                          }));
    on_bitmap = Best(on_bitmap, Timed(root + "/bitmap", [&](const std::string& folder) {
                       return MakeCards(bitmap, folder, count);
                     }));
  }
  if (plain < 0 || through_window < 0 || on_bitmap < 0) return 1;

  std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
  std::printf("%d files, nothing drawn: %.3f s (%.3f ms a file)\n", count, plain,
              1000 * plain / count);
  std::printf("%d cards through the window: %.3f s (%.3f ms a card)\n", count, through_window,
              1000 * through_window / count);
  std::printf("%d cards on a bitmap, no window: %.3f s (%.3f ms a card)\n", count, on_bitmap,
              1000 * on_bitmap / count);
  std::printf("ratio: %.3f (target at most 2)\n", through_window / plain);
  EndDialogWindow(window, 0);
  std::system(("rm -rf '" + root + "'").c_str());
  return 0;
}
