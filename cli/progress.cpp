// The progress bar of long runs: one line on stderr, redrawn only when the percentage
// moves, and only on a terminal (a pipe or a log file gets no bar).
#include "cli/progress.h"

#include <cstdio>

#include "cli/terminal.h"

namespace {
constexpr int32_t kShownFrom = 100;  // shorter runs end before a bar would help
constexpr int kBarWidth = 40;
}  // namespace

Progress StartProgress(int32_t total) {
  Progress progress;
  progress.total = total;
  progress.shown = total >= kShownFrom && ErrorStreamIsTerminal();
  return progress;
}

void UpdateProgress(Progress* progress, int32_t done) {
  if (!progress->shown) return;
  const int32_t percent = static_cast<int32_t>(int64_t{done} * 100 / progress->total);
  if (percent == progress->last_percent) return;
  progress->last_percent = percent;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%  %d/%d", bar, percent, done, progress->total);
  std::fflush(stderr);
}

void EndProgress(Progress* progress) {
  if (progress->shown && progress->last_percent >= 0) std::fputc('\n', stderr);
  progress->shown = false;
}
