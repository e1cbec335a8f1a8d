// Google Benchmark figures for the two steps of every saved card: drawing it and
// writing its file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "card/run_seeds.h"
#include "card/layout.h"
#include "card/renderer.h"
#include "formats/bmp_writer.h"

namespace {
void BM_PlanCard(benchmark::State& state) {
  uint32_t seed = SeedBitsOfClock(45296789);
  for (auto _ : state) benchmark::DoNotOptimize(PlanCard(seed++));
}
BENCHMARK(BM_PlanCard);

void BM_DrawCard(benchmark::State& state) {
  const uint32_t image = NewBitmap(kCardImageWidth, kCardImageHeight);
  SelectTarget(image, 0, 0);
  Clear(0xFFFFFF, 0);
  uint32_t seed = SeedBitsOfClock(45296789);
  for (auto _ : state) DrawCard(image, seed++);
  SelectTarget(image, 0, 0);
  EndBitmap();
}
BENCHMARK(BM_DrawCard);

// The whole card as a batch makes it: new image, drawing, copy onto the picture.
void BM_ShowNewCard(benchmark::State& state) {
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  uint32_t seed = SeedBitsOfClock(45296789);
  for (auto _ : state) ShowCard(picture, 0, seed++);
}
BENCHMARK(BM_ShowNewCard);

void BM_SaveTargetImage(benchmark::State& state) {
  char folder[] = "/tmp/tessarine-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(folder) + "/card.bmp";
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  ShowCard(picture, 0, SeedBitsOfClock(0));
  SelectTarget(picture, 0, 0);
  for (auto _ : state) benchmark::DoNotOptimize(SaveTargetImage(path));
  state.SetBytesProcessed(state.iterations() * 521578);
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
}
BENCHMARK(BM_SaveTargetImage);
}  // namespace

BENCHMARK_MAIN();
