// PDF sheets: the time, peak memory and size of a PDF of N cards (the run's cards from
// 12:34:56.789 on, as tessarine-cards would give them), each in a child process of its
// own so that its peak memory is its alone; against the BMP batch of as many cards
// (tessarine-cards --count N) on the same disk. Targets: at most the BMP batch's time,
// peak memory under 32 MB and the same at 1,000 and 30,000 cards, at most 2 KB a card.
//
//   [TESSARINE_BENCH_DIR=FOLDER] pdf_bench PATH/TO/tessarine-cards [N ...]
//   pdf_bench --make FILE.pdf N [a4|letter] [TITLE]     (one PDF, no figures)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "card/run_seeds.h"
#include "card/random.h"
#include "card/renderer.h"
#include "sheets/pdf_sheets.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr uint32_t kFirstClock = 45296789;  // 12:34:56.789

bool ToFile(void* context, const unsigned char* data, size_t size) {
  return std::fwrite(data, 1, size, static_cast<FILE*>(context)) == size;
}

int MakePdf(const char* path, int count, Paper paper, const std::string& title) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return 1;
  SheetOptions options;
  options.paper = paper;
  options.title = title;
  options.write = ToFile;
  options.context = out;
  std::string error;
  const SheetsBegun begun_sheets = BeginSheets(options);
  error = begun_sheets.error;
  PdfSheets* sheets = begun_sheets.sheets;
  if (!sheets) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  CardRun run;
  for (int i = 1; i <= count; ++i) {
    SheetCard card;
    card.number = i;
    card.seed_bits = NextRunSeed(run, SeedBitsOfClock(kFirstClock + static_cast<uint32_t>(i) - 1));
    card.layout = PlanCard(card.seed_bits);
    card.colour = kDefaultCardColour;
    if (!(error = AddSheetCard(sheets, card)).empty()) {
      std::fprintf(stderr, "%s\n", error.c_str());
      AbandonSheets(sheets);
      return 1;
    }
  }
  const bool finished = (error = FinishSheets(sheets)).empty();
  if (std::fclose(out) != 0 || !finished) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}

struct Run {
  double seconds = -1;
  long peak_kb = -1;
};

Run Child(const std::vector<std::string>& argv) {
  sync();
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // The figures are this program's only output.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  Run run;
  if (wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peak_kb = usage.ru_maxrss;
  sync();
  return run;
}

long FileBytes(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fclose(f);
  return size;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--make") {
    Paper paper = Paper::kA4;
    if (argc >= 5) {
      const PaperRead read = ParsePaper(argv[4]);
      if (!read.error.empty()) return 2;
      paper = read.paper;
    }
    return MakePdf(argv[2], std::atoi(argv[3]), paper, argc >= 6 ? argv[5] : "");
  }
  if (argc < 2) {
    std::fprintf(stderr, "uso: pdf_bench PATH/TO/tessarine-cards [N ...]\n");
    return 2;
  }
  const char* dir_env = std::getenv("TESSARINE_BENCH_DIR");
  const std::string dir = std::string(dir_env ? dir_env : "/tmp") + "/pdf_bench." +
                          std::to_string(getpid());
  if (std::system(("mkdir -p '" + dir + "'").c_str()) != 0) return 1;
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 30000};
  const std::string self = "/proc/self/exe";
  char exe[4096];
  const ssize_t n = readlink(self.c_str(), exe, sizeof exe - 1);
  if (n <= 0) return 1;
  exe[n] = 0;
  std::printf("%8s %10s %10s %12s %10s %10s %8s\n", "cards", "pdf s", "pdf MB", "bytes/card",
              "bmp s", "bmp MB", "pdf/bmp");
  for (int count : counts) {
    const std::string pdf = dir + "/cards.pdf";
    const Run sheets = Child({exe, "--make", pdf, std::to_string(count)});
    const long bytes = FileBytes(pdf);
    std::remove(pdf.c_str());
    const std::string folder = dir + "/bmp";
    const Run batch = Child({argv[1], "--count", std::to_string(count), "--out", folder});
    if (std::system(("rm -rf '" + folder + "'").c_str()) != 0) return 1;
    if (sheets.seconds < 0 || batch.seconds < 0) {
      std::fprintf(stderr, "a run failed at %d cards\n", count);
      return 1;
    }
    std::printf("%8d %10.2f %10.1f %12.0f %10.2f %10.1f %8.2f\n", count, sheets.seconds,
                sheets.peak_kb / 1024.0, static_cast<double>(bytes) / count, batch.seconds,
                batch.peak_kb / 1024.0, sheets.seconds / batch.seconds);
  }
  std::system(("rm -rf '" + dir + "'").c_str());
  return 0;
}
