// SHA-256 (FIPS 180-4) of bytes in memory, for naming a card list in the record of a
// game and for telling, when a game is restored, that its list is the same file.
#pragma once
#include <string>

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::string& bytes);
