// Ctrl-C, SIGTERM and SIGHUP during a run of tessarine-cards: caught, so that the run
// stops after the file in flight (whose temporary is removed) with every file saved so
// far whole, instead of dying mid-save. One small file per platform.
#pragma once

// From now on an interruption abandons the saves (AbandonSaves) instead of ending the
// process.
void CatchInterruptions();
// 0 while no interruption came; else the exit code it calls for (130 for Ctrl-C, 143 for
// SIGTERM, 129 for SIGHUP: 128 and the signal's number).
int InterruptionExitCode();
