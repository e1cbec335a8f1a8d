#include "text/hex.h"

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendHexDigits(std::string* out, uint32_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) *out += kDigits[(value >> shift) & 0xF];
}

std::string HexDigits(uint32_t value, int digits) {
  std::string text;
  AppendHexDigits(&text, value, digits);
  return text;
}
