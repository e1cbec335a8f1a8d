// The rules of the 90-ball cartón and its series, checked on layouts read from outside
// (a list, a typed card): "" when they hold, else the first fault in Spanish, such as
// "la fila 2 tiene 6 números" or "el 47 está dos veces en la serie".
#pragma once
#include <string>

#include "card/layout.h"
#include "card/series.h"

// Rows of 5, each number in its column's range, every column 1 to 3 numbers ascending.
std::string CheckSeriesCard(const CardLayout& layout);
// Every cartón as above, and no number twice across the six (so 1..90 each once).
std::string CheckSeries(const CardSeries& series);
