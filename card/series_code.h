// Codes of 90-ball cartones: six upper-case hexadecimal digits of the series seed, a
// hyphen and the cartón's place in its series, "4730F0-3". Eight characters, short to
// read aloud and to print as Code 128, and never taken for a 1-99 card's code (eight
// hexadecimal digits, no hyphen).
#pragma once
#include <cstdint>
#include <string>

#include "card/layout.h"
#include "card/series.h"

constexpr size_t kSeriesCodeLength = 8;

// "4730F0-3" for place 3 of series 0x4730F0. The seed's low 24 bits; place 1..6.
std::string SeriesCode(uint32_t series_seed, int place);

// A typed or scanned code: blanks around it and lower case are taken. On a fault,
// `error` says why in Spanish and the other fields are 0.
struct SeriesCodeRead {
  uint32_t series_seed = 0;
  int place = 0;
  std::string error;
};
SeriesCodeRead ReadSeriesCode(const std::string& text);

// The one cartón a code names, made again from its series.
struct SeriesCardFound {
  uint32_t series_seed = 0;
  int place = 0;
  CardLayout layout{};
  std::string error;
};
SeriesCardFound SeriesCard(const std::string& code);
