// Hexadecimal digits as the program writes them (upper case) and reads them (either case).
#pragma once
#include <cstdint>
#include <string>

// 0 to 15 for a digit of either case, -1 for anything else (whatever the locale).
int HexDigitValue(char c);
inline bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

// The low `digits` digits of value, most significant first, in upper case: 0x4A, 4 -> "004A".
void AppendHexDigits(std::string* out, uint32_t value, int digits);
std::string HexDigits(uint32_t value, int digits);
