// Reading UTF-8 one character at a time. Malformed bytes read as U+FFFD, one byte each,
// so that any text draws something and the reader always moves on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// The length of the byte-order mark that spreadsheets and editors may put before a
// UTF-8 file's text: 3 where there is one, else 0.
size_t ByteOrderMarkLength(const std::string& text);

// The character at `text` (not at its terminating zero); `text` moves past it.
uint32_t NextCodepoint(const char*& text);
