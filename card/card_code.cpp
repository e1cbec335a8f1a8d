// Card codes and the text of a card's row.
#include "card/card_code.h"

#include "text/hex.h"
#include "text/quoted_text.h"

namespace {
constexpr const char* kBlankField = "--";
}  // namespace

std::string CardCode(uint32_t seed_bits) {
  return HexDigits(seed_bits, static_cast<int>(kCardCodeLength));
}

CardCodeRead ParseCardCode(const std::string& text) {
  CardCodeRead read;
  bool ok = text.size() == kCardCodeLength;
  uint32_t bits = 0;
  for (size_t i = 0; ok && i < text.size(); ++i) {
    const int value = HexDigitValue(text[i]);
    ok = value >= 0;
    bits = bits << 4 | static_cast<uint32_t>(value);
  }
  if (ok)
    read.seed_bits = bits;
  else
    read.error = "código de cartón mal escrito: " + QuotedText(text) +
                 " (se esperan ocho cifras hexadecimales, por ejemplo 4730F0CA)";
  return read;
}

std::string LayoutRowText(const CardLayout& layout, int row) {
  std::string text;
  text.reserve(kCardColumns * 3);
  for (int column = 0; column < kCardColumns; ++column) {
    if (column > 0) text += ' ';
    const int number = layout.cell[row][column];
    if (number == 0) {
      text += kBlankField;
    } else {
      text += static_cast<char>('0' + number / 10);
      text += static_cast<char>('0' + number % 10);
    }
  }
  return text;
}
