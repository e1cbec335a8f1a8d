#include "card/run_seeds.h"


namespace {
uint64_t Fingerprint(const CardLayout& layout) {
  uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a
  for (const auto& row : layout.cell)
    for (uint8_t value : row) hash = (hash ^ value) * 0x100000001b3ull;
  return hash;
}
}  // namespace

uint32_t NextRunSeed(CardRun& run, uint32_t clock_seed_bits,
                     CardLayout (*plan)(uint32_t seed_bits)) {
  // Positive binary32 values order like their bits, so "above" is a plain comparison.
  uint32_t seed = (!run.started || clock_seed_bits > run.last_seed_bits) ? clock_seed_bits
                                                                         : run.last_seed_bits + 1;
  while (!run.seen.insert(Fingerprint(plan(seed))).second) ++seed;
  run.started = true;
  run.last_seed_bits = seed;
  return seed;
}

uint32_t StartSeedBits(const RunStart& start) {
  if (start.has_code) return start.code_bits;
  return start.has_time ? SeedBitsOfClock(start.time_ms) : ClockSeedBitsNow();
}

uint32_t NextSeedOfRun(CardRun& run, const RunStart& start, uint32_t clock_seed_bits_now) {
  const bool fixed = start.has_code || start.has_time;
  if (!run.started) return NextRunSeed(run, fixed ? StartSeedBits(start) : clock_seed_bits_now);
  // The last seed is not above itself, so the rule takes the one after it.
  return NextRunSeed(run, fixed ? run.last_seed_bits : clock_seed_bits_now);
}
