// The balls of a game come from the system's cryptographic source (getrandom on Linux,
// BCryptGenRandom on Windows), never from the cards' generator: the cards' codes then
// tell nothing about the balls to come.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Fills the bytes from the system's source; "" when filled, else why not, in Spanish.
std::string FillFromSystemSource(void* bytes, size_t size);

struct UniformDraw {
  uint32_t value = 0;  // 0 .. bound - 1
  std::string error;   // "" when drawn
};
// A whole number below bound (1 .. 2^32 - 1), every value equally likely: draws that
// would favour the low values are thrown back.
UniformDraw DrawBelow(uint32_t bound);
