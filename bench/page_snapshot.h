// The snapshot the page's benchmarks publish: the size of a real one in the middle of a
// game (40 balls, five recent, a prize), numbered. Both builds: the Windows program's
// server is measured too (bench/win32/page_serve.cpp, driven by page_wine_bench).
#pragma once
#include <cstdint>
#include <memory>

#include "bingo/page_state.h"

std::shared_ptr<const PageState> BenchSnapshot(uint64_t number);
