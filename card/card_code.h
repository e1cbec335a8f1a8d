// Card codes: a card is fixed by the 32 bits of the seed it was made from, so those bits,
// written as 8 upper-case hexadecimal digits, name it and make it again. Also the one
// text form of a card's row, shared by the printed layout and the list of a run's cards.
#pragma once
#include <cstdint>
#include <string>

#include "card/layout.h"

constexpr size_t kCardCodeLength = 8;

// "4730F0CA" for the seed of 12:34:56.789.
std::string CardCode(uint32_t seed_bits);

// Exactly 8 hexadecimal digits, either case, nothing around them; else a Spanish message
// naming the text (and seed_bits 0).
struct CardCodeRead {
  uint32_t seed_bits = 0;
  std::string error;
};
CardCodeRead ParseCardCode(const std::string& text);

// Row 0..2 of a card as nine fields separated by one blank: a number as two digits
// ("07"), a blank cell as "--".
std::string LayoutRowText(const CardLayout& layout, int row);
