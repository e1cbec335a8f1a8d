// The last run-time error code. Failures in the drawing layer are silent: the code is
// kept for whoever wants to look, and only the fatal range ends the process.
#include <atomic>
#include <cstdlib>

#include "draw/draw.h"

namespace {
constexpr int32_t kFirstFatalError = 241;
constexpr int kFatalExitCode = 255;
std::atomic<int32_t> g_last_error{0};
}  // namespace

int32_t LastRuntimeError() { return g_last_error.load(); }
void ClearRuntimeError() { g_last_error.store(0); }

void RecordRuntimeError(int32_t code) {
  if (code >= kFirstFatalError) std::_Exit(kFatalExitCode);
  g_last_error.store(code);
}
