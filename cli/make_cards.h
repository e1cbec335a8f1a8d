// A run of tessarine-cards that makes cards: the card files (BMP or PNG) of a folder,
// and beside them the list of the run's cards and its print-ready sheets, both holding
// exactly the cards whose files are on the disk.
#pragma once
#include "cli/options.h"

// The process's exit code: 0, kFailedExit, or that of an interruption.
int MakeCards(const CliOptions& options);
