// Interruptions on Windows: Ctrl-C and Ctrl-Break in the console, caught by a handler
// (run on a thread of its own) that records them and abandons the saves.
#include <windows.h>

#include <atomic>

#include "cli/interrupt.h"
#include "disk/file_system.h"

namespace {
constexpr int kInterruptedExitCode = 130;  // as a shell reports Ctrl-C
std::atomic<int> g_exit_code{0};

BOOL WINAPI OnInterruption(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  g_exit_code.store(kInterruptedExitCode);
  AbandonSaves();
  return TRUE;
}
}  // namespace

void CatchInterruptions() { SetConsoleCtrlHandler(OnInterruption, TRUE); }

int InterruptionExitCode() { return g_exit_code.load(); }
