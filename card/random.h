// The random number source of the cards: a 32-bit linear congruential generator
// seeded from the local time of day. Every rule is exact to the bit, so one clock
// reading always gives one sequence of draws and with it one card.
#pragma once
#include <cstdint>

struct RandomSource {
  uint32_t state = 0xFFFFFFFFu;  // before any seeding
};

// The one source of the process; the card generator is its only user.
RandomSource& ProcessRandomSource();

// The state becomes the bits of the value rounded to binary32 (ties to even).
void Seed(RandomSource& source, double value);
void SeedBits(RandomSource& source, uint32_t bits);

// A whole number between the two bounds (either order), both included.
// Advances the state exactly once; never rejects a draw.
int32_t NextInRange(RandomSource& source, int32_t bound1, int32_t bound2);

// Local time of day: whole milliseconds since midnight, 0 .. 86,399,999.
uint32_t MillisecondsSinceMidnight();

// The binary32 bits a value seeds with.
uint32_t SeedBitsOf(double value);
// The seed bits of a clock reading in milliseconds since midnight.
uint32_t SeedBitsOfClock(uint32_t milliseconds);
// The seed bits of the clock now.
uint32_t ClockSeedBitsNow();

constexpr uint32_t kMillisecondsPerDay = 86400000u;
