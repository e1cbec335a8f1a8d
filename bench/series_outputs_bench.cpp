// Series cartones against today's cards through tessarine-cards itself: 5,000 series
// (30,000 cartones) with --list --pdf --no-files against 30,000 cards with the same
// outputs, in alternating rounds, each run in a fresh folder (by default on /dev/shm, a
// tmpfs; TESSARINE_BENCH_DIR chooses another). Prints each kind's median time and spread
// and the median of the rounds' ratios (target: at most 1 x). Prints, never fails.
//
//   [TESSARINE_BENCH_DIR=FOLDER] series_outputs_bench PATH/TO/tessarine-cards [SERIES] [ROUNDS]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// The run's wall time in seconds, or -1 when it failed; in a folder of its own, removed.
double TimedRun(const std::string& program, const std::string& base, std::vector<std::string> args) {
  std::string folder = base + "/series-bench-XXXXXX";
  if (mkdtemp(&folder[0]) == nullptr) return -1;
  args.insert(args.begin(), program);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stdout)) _exit(127);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::system(("rm -rf '" + folder + "'").c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintFigures(const char* what, const std::vector<double>& seconds) {
  std::printf("%-44s mediana %.3f s  (de %.3f a %.3f s, %zu rondas)\n", what, Median(seconds),
              *std::min_element(seconds.begin(), seconds.end()),
              *std::max_element(seconds.begin(), seconds.end()), seconds.size());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: %s PATH/TO/tessarine-cards [SERIES] [ROUNDS]\n", argv[0]);
    return 2;
  }
  // Each run starts in its own folder: the program is named from the root.
  char* resolved = realpath(argv[1], nullptr);
  const std::string program = resolved ? resolved : argv[1];
  std::free(resolved);
  const int series = argc > 2 ? std::atoi(argv[2]) : 5000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
  const char* dir = std::getenv("TESSARINE_BENCH_DIR");
  const std::string base = dir ? dir : "/dev/shm";
  const std::string cards = std::to_string(series * 6);
  const std::vector<std::string> outputs = {"--time", "12:34:56.789", "--list", "l.csv",
                                            "--pdf", "h.pdf", "--no-files"};
  std::vector<std::string> plain = {"--count", cards}, of_series = {"--series", std::to_string(series)};
  plain.insert(plain.end(), outputs.begin(), outputs.end());
  of_series.insert(of_series.end(), outputs.begin(), outputs.end());
  std::vector<double> plain_seconds, series_seconds, ratios;
  for (int round = 0; round < rounds; ++round) {
    // Alternating which goes first, so that neither always runs on a warmer machine.
    const bool series_first = round % 2 == 1;
    const double a = TimedRun(program, base, series_first ? of_series : plain);
    const double b = TimedRun(program, base, series_first ? plain : of_series);
    const double p = series_first ? b : a, s = series_first ? a : b;
    if (p < 0 || s < 0) {
      std::fprintf(stderr, "una ejecución de %s falló en %s\n", program.c_str(), base.c_str());
      return 1;
    }
    plain_seconds.push_back(p);
    series_seconds.push_back(s);
    ratios.push_back(s / p);
  }
  std::printf("En %s, --list --pdf --no-files:\n", base.c_str());
  PrintFigures(("cartones de 1 a 99 (--count " + cards + ")").c_str(), plain_seconds);
  PrintFigures(("series de 90 (--series " + std::to_string(series) + ")").c_str(), series_seconds);
  std::printf("series / cartones: mediana %.3f x (de %.3f a %.3f); objetivo: como mucho 1 x\n",
              Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  return 0;
}
