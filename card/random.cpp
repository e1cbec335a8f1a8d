#include "card/random.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kMultiplier = 0x08088405u;  // 134,775,813
constexpr uint32_t kIncrement = 1u;
}  // namespace

RandomSource& ProcessRandomSource() {
  static RandomSource source;
  return source;
}

uint32_t SeedBitsOf(double value) {
  const float rounded = static_cast<float>(value);
  uint32_t bits;
  std::memcpy(&bits, &rounded, sizeof bits);
  return bits;
}

uint32_t SeedBitsOfClock(uint32_t milliseconds) { return SeedBitsOf(milliseconds / 1000.0); }

void Seed(RandomSource& source, double value) { source.state = SeedBitsOf(value); }
void SeedBits(RandomSource& source, uint32_t bits) { source.state = bits; }

int32_t NextInRange(RandomSource& source, int32_t bound1, int32_t bound2) {
  const int64_t lo = std::min(bound1, bound2);
  const int64_t hi = std::max(bound1, bound2);
  const uint64_t count = static_cast<uint64_t>(hi - lo + 1);  // 1 .. 2^32
  source.state = source.state * kMultiplier + kIncrement;
  const uint64_t k = source.state >> 1;                      // upper 31 bits
  return static_cast<int32_t>(lo + static_cast<int64_t>((k * count) >> 31));
}


uint32_t ClockSeedBitsNow() { return SeedBitsOfClock(MillisecondsSinceMidnight()); }
