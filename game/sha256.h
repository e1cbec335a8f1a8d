// SHA-256 (FIPS 180-4) of bytes in memory, for naming a card list in the record of a
// game, for telling, when a game is restored, that its list is the same file, and under
// the HMAC of the checkable draw.
#pragma once
#include <array>
#include <cstddef>
#include <string>

using Sha256Digest = std::array<unsigned char, 32>;
Sha256Digest Sha256Of(const std::string& bytes);

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::string& bytes);
// Bytes as lower-case hexadecimal digits, two a byte.
std::string HexText(const unsigned char* bytes, size_t size);
