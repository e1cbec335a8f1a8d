// Interruptions on POSIX: SIGINT, SIGTERM and SIGHUP, caught by a handler that only
// records the signal and abandons the saves (both lock-free stores).
#include <signal.h>

#include "cli/interrupt.h"
#include "disk/file_system.h"

namespace {
volatile sig_atomic_t g_signal = 0;

void OnInterruption(int signal_number) {
  g_signal = signal_number;
  AbandonSaves();
}
}  // namespace

void CatchInterruptions() {
  struct sigaction action {};
  action.sa_handler = OnInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the writes in progress go on; the save checks after
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

int InterruptionExitCode() { return g_signal == 0 ? 0 : 128 + g_signal; }
