// A run of tessarine-cards that checks a claimed win: the cards of a list (or the one
// card of a code) against the numbers called, the winners printed best first.
#pragma once
#include "cli/options.h"

// 0 when the check was made and printed; kBadInputExit for a list, a card or called
// numbers that are not good, with a message naming what is wrong.
int CheckCards(const CliOptions& options);
