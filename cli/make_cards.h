// tessarine-cards making cards: the run of runs/card_run.h, with its messages on the
// terminal, a progress bar, and Ctrl-C, SIGTERM and SIGHUP stopping it after the card
// in hand.
#pragma once
#include "cli/options.h"

// The process's exit code: 0, kFailedExit, kBadInputExit, or that of an interruption.
int MakeCards(const CliOptions& options);
