// The texts printed on the sheets.
#include <cstdio>

#include "card/card_code.h"
#include "card/series_code.h"
#include "sheets/pdf_sheets.h"

const char* const kBoardHeading = "Tablero del cantor";

std::string SheetCardLabel(int32_t number, uint32_t seed_bits) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(number));
  return std::string("Cartón ") + digits + " · código " + CardCode(seed_bits);
}

std::string SheetCardLabelOf(const SheetCard& card) {
  if (card.type != CardType::kSeries90) return SheetCardLabel(card.number, card.seed_bits);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(card.number));
  return std::string("Cartón ") + digits + " · serie " + std::to_string(card.series_number) +
         " · código " + SeriesCode(card.seed_bits, card.place);
}
