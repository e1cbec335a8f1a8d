// The list of a run of `count` cards seeded from clock readings after `first_clock_ms`,
// as a run writes it: what the list benchmarks read.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "card/run_seeds.h"
#include "card/random.h"
#include "formats/card_list.h"

inline std::vector<ListLine> MadeList(int count, uint32_t first_clock_ms) {
  CardRun run;
  std::vector<ListLine> lines;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d.bmp", i);
    lines.push_back(ListLineOf(
        name, NextRunSeed(run, SeedBitsOfClock(first_clock_ms + static_cast<uint32_t>(i)))));
  }
  return lines;
}
