// tessarine-cards --verify-draw: a game's record checked against its own key and
// commitment. Exit 0 when the draw is the key's, 1 when something does not match, 2 when
// the record cannot be checked (no key yet, or not a record).
#pragma once
#include "cli/options.h"

int VerifyDraw(const CliOptions& options);
