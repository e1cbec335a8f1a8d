// Batch throughput: times `tessarine-cards --count N` against writing the same N files
// of 521,578 bytes with nothing drawn, in one run, over a few alternating rounds, and
// prints the median ratio (target: at most 1.25). Also prints the peak memory of runs of
// 500 and 5,000 cards (target: under 64 MB, and no growth with the count).
//
//   [TESSARINE_BENCH_DIR=FOLDER] batch_bench PATH/TO/tessarine-cards [N] [ROUNDS]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Runs the program; returns its peak resident memory in KB, or -1.
long RunCards(const std::string& program, int count, const std::string& out) {
  const pid_t child = fork();
  if (child == 0) {
    const std::string n = std::to_string(count);
    execl(program.c_str(), program.c_str(), "--count", n.c_str(), "--out", out.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

bool WriteFiles(const std::string& folder, int count, const std::vector<char>& bytes) {
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d.bmp", i);
    const int fd = open((folder + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (close(fd) != 0 || !ok) return false;
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Times one side into a fresh folder, with the disk settled before and after, so that the
// write-back of one side does not land on the other.
double TimedCards(const std::string& program, int count, const std::string& folder) {
  sync();
  const auto start = Clock::now();
  if (RunCards(program, count, folder) < 0) return -1;
  const double seconds = Seconds(start);
  sync();
  return seconds;
}

double TimedPlain(int count, const std::string& folder, const std::vector<char>& bytes) {
  if (mkdir(folder.c_str(), 0755) != 0) return -1;
  sync();
  const auto start = Clock::now();
  if (!WriteFiles(folder, count, bytes)) return -1;
  const double seconds = Seconds(start);
  sync();
  return seconds;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: %s PATH/TO/tessarine-cards [N] [RONDAS]\n", argv[0]);
    return 2;
  }
  const std::string program = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
  // TESSARINE_BENCH_DIR chooses the disk (default /tmp).
  const char* base = std::getenv("TESSARINE_BENCH_DIR");
  std::string pattern = std::string(base ? base : "/tmp") + "/tessarine-batch-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return 1;
  const std::string root = pattern;
  const std::vector<char> bytes(521578, '\x7f');

  // Warm the program and the page cache once so neither side pays a first-run cost.
  RunCards(program, 10, root + "/warm");
  std::vector<double> plain, cards, ratios;
  for (int round = 0; round < rounds; ++round) {
    const std::string tag = std::to_string(round);
    double p, c;
    // Alternate which side goes first: the file system is slower for whoever follows a
    // large write or delete.
    if (round % 2 == 0) {
      p = TimedPlain(count, root + "/plain" + tag, bytes);
      c = TimedCards(program, count, root + "/cards" + tag);
    } else {
      c = TimedCards(program, count, root + "/cards" + tag);
      p = TimedPlain(count, root + "/plain" + tag, bytes);
    }
    if (p <= 0 || c <= 0) return 1;
    std::printf("round %d: %d files, nothing drawn %.3f s; %d cards %.3f s; ratio %.3f\n",
                round + 1, count, p, count, c, c / p);
    plain.push_back(p);
    cards.push_back(c);
    ratios.push_back(c / p);
    std::system(("rm -rf '" + root + "/plain" + tag + "' '" + root + "/cards" + tag + "'").c_str());
  }
  std::printf("median: nothing drawn %.3f ms a file, tessarine-cards %.3f ms a card\n",
              1000 * Median(plain) / count, 1000 * Median(cards) / count);
  std::printf("ratio: %.3f (median of the rounds; target at most 1.25)\n", Median(ratios));

  const long small = RunCards(program, 500, root + "/m500");
  const long large = RunCards(program, 5000, root + "/m5000");
  std::printf("peak memory: 500 cards %.1f MB, 5000 cards %.1f MB (target under 64 MB, flat)\n",
              small / 1024.0, large / 1024.0);
  std::system(("rm -rf '" + root + "'").c_str());
  return 0;
}
