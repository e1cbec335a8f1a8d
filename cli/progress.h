// A progress bar on stderr for long runs, drawn only when stderr is a terminal.
#pragma once
#include <cstdint>

struct Progress {
  bool shown = false;
  int32_t total = 0;
  int32_t last_percent = -1;
};

Progress StartProgress(int32_t total);
void UpdateProgress(Progress* progress, int32_t done);
void EndProgress(Progress* progress);
