#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "card/random.h"

namespace {
std::vector<int32_t> Draws(RandomSource& source, int count, int32_t lo, int32_t hi) {
  std::vector<int32_t> values;
  for (int i = 0; i < count; ++i) values.push_back(NextInRange(source, lo, hi));
  return values;
}

uint32_t Clock(int h, int m, int s, int ms) { return ((h * 60u + m) * 60u + s) * 1000u + ms; }
}  // namespace

TEST(RandomSource, MidnightSeedsZeroAndDrawsTheKnownSequence) {
  RandomSource source;
  Seed(source, Clock(0, 0, 0, 0) / 1000.0);
  EXPECT_EQ(source.state, 0u);
  EXPECT_EQ(Draws(source, 8, 1, 9), (std::vector<int32_t>{1, 1, 8, 2, 3, 7, 3, 2}));
}

TEST(RandomSource, AfternoonReadingGivesKnownStatesAndDraws) {
  RandomSource source;
  Seed(source, Clock(12, 34, 56, 789) / 1000.0);
  EXPECT_EQ(source.state, 0x4730F0CAu);
  NextInRange(source, 1, 9);
  EXPECT_EQ(source.state, 0x766CDBF3u);
  NextInRange(source, 1, 9);
  EXPECT_EQ(source.state, 0xE92197C0u);
  NextInRange(source, 1, 9);
  EXPECT_EQ(source.state, 0x9DE6F6C1u);

  SeedBits(source, SeedBitsOfClock(Clock(12, 34, 56, 789)));
  EXPECT_EQ(Draws(source, 8, 1, 9), (std::vector<int32_t>{5, 9, 6, 9, 7, 7, 9, 8}));
  SeedBits(source, SeedBitsOfClock(Clock(12, 34, 56, 789)));
  EXPECT_EQ(Draws(source, 3, 1, 99), (std::vector<int32_t>{46, 91, 62}));
}

TEST(RandomSource, LastMillisecondOfTheDayRoundsUpToTheNextDay) {
  RandomSource source;
  SeedBits(source, SeedBitsOfClock(Clock(23, 59, 59, 999)));
  EXPECT_EQ(source.state, 0x47A8C000u);
  EXPECT_EQ(Draws(source, 8, 1, 9), (std::vector<int32_t>{4, 2, 7, 1, 6, 2, 7, 6}));
}

TEST(RandomSource, DrawBeforeAnySeeding) {
  RandomSource source;
  EXPECT_EQ(source.state, 0xFFFFFFFFu);
  EXPECT_EQ(NextInRange(source, 1, 9), 9);
  EXPECT_EQ(source.state, 0xF7F77BFCu);
  // The process-wide source starts the same way.
  EXPECT_EQ(ProcessRandomSource().state, 0xFFFFFFFFu);
}

TEST(RandomSource, BoundsInEitherOrderAndEqualBounds) {
  RandomSource a, b;
  SeedBits(a, 0x12345678u);
  SeedBits(b, 0x12345678u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(NextInRange(a, 1, 9), NextInRange(b, 9, 1));
    EXPECT_EQ(a.state, b.state);
  }
  const uint32_t before = a.state;
  EXPECT_EQ(NextInRange(a, 5, 5), 5);
  EXPECT_NE(a.state, before);
  EXPECT_EQ(a.state, before * 0x08088405u + 1u);
}

TEST(RandomSource, FullSignedRangeUsesEveryStateBitButTheLowest) {
  RandomSource source;
  SeedBits(source, 0xDEADBEEFu);
  for (int i = 0; i < 1000; ++i) {
    const int32_t value = NextInRange(source, INT32_MIN, INT32_MAX);
    const int64_t k = source.state >> 1;
    EXPECT_EQ(int64_t{value}, int64_t{INT32_MIN} + 2 * k);
  }
  // Swapped full range: the same.
  SeedBits(source, 0);
  EXPECT_EQ(NextInRange(source, INT32_MAX, INT32_MIN), INT32_MIN);  // state 1: k = 0
}

TEST(RandomSource, DrawsStayInRangeAndReachBothEnds) {
  RandomSource source;
  SeedBits(source, 42);
  bool seen_lo = false, seen_hi = false;
  for (int i = 0; i < 20000; ++i) {
    const int32_t v = NextInRange(source, -3, 3);
    ASSERT_GE(v, -3);
    ASSERT_LE(v, 3);
    seen_lo |= v == -3;
    seen_hi |= v == 3;
  }
  EXPECT_TRUE(seen_lo && seen_hi);
}

TEST(RandomSource, ReadingsThatRoundAlikeShareASeed) {
  // Before 04:33:04 every millisecond has its own seed; after 18:12:16 up to 8 share one.
  EXPECT_NE(SeedBitsOfClock(Clock(4, 33, 3, 998)), SeedBitsOfClock(Clock(4, 33, 3, 999)));
  EXPECT_EQ(SeedBitsOfClock(Clock(20, 0, 0, 1)), SeedBitsOfClock(Clock(20, 0, 0, 2)));
}

// The seed of every millisecond of the day is the correctly rounded binary32 of ms / 1000.
// Checked exactly: f * 1000 and half an ulp of f times 1000 are exact in double.
TEST(RandomSourceSlow, EveryMillisecondOfTheDaySeedsWithTheCorrectlyRoundedValue) {
  uint32_t failures = 0;
  for (uint32_t ms = 0; ms < kMillisecondsPerDay; ++ms) {
    const uint32_t bits = SeedBitsOfClock(ms);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (ms == 0) {
      failures += bits != 0;
      continue;
    }
    const double scaled = static_cast<double>(f) * 1000.0;  // exact
    const double error = scaled - ms;                       // exact (both < 2^37)
    const double half_ulp_scaled =
        std::ldexp(1.0, std::ilogb(f) - 24) * 1000.0;       // exact
    const bool within = std::fabs(error) < half_ulp_scaled ||
                        (std::fabs(error) == half_ulp_scaled && (bits & 1u) == 0);
    failures += !within;
    if (!within && failures < 5) ADD_FAILURE() << "millisecond " << ms << " seeds " << bits;
  }
  EXPECT_EQ(failures, 0u);
}
