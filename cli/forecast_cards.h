// tessarine-cards --forecast: games simulated with the cards in play of a list.
#pragma once
#include "cli/options.h"

int PrintForecast(const CliOptions& options);
