// Reading UTF-8 one character at a time. Malformed bytes read as U+FFFD, one byte each,
// so that any text draws something and the reader always moves on.
#pragma once
#include <cstdint>

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// The character at `text` (not at its terminating zero); `text` moves past it.
uint32_t NextCodepoint(const char*& text);
