// Batch throughput: times `tessarine-cards --count N` against writing the same N files
// of 521,578 bytes with nothing drawn, in one run, and prints the ratio (target: at most
// 1.25). Also prints the peak memory of runs of 500 and 5,000 cards (target: under 64 MB,
// and no growth with the count).
//
//   batch_bench PATH/TO/tessarine-cards [N]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: %s PATH/TO/tessarine-cards [N]\n", argv[0]);
    return 2;
  }
  const std::string program = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
  char pattern[] = "/tmp/tessarine-batch-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string root = pattern;
  const std::string cards = root + "/cards", plain = root + "/plain";
  if (mkdir(plain.c_str(), 0755) != 0) return 1;

  // Warm the page cache and the program once so neither side pays a first-run cost.
  RunCards(program, 10, root + "/warm");
  std::vector<char> bytes(521578, '\x7f');

  const auto plain_start = Clock::now();
  if (!WriteFiles(plain, count, bytes)) return 1;
  const double plain_seconds = Seconds(plain_start);

  const auto cards_start = Clock::now();
  if (RunCards(program, count, cards) < 0) return 1;
  const double cards_seconds = Seconds(cards_start);

  std::printf("%d files, nothing drawn: %.3f s (%.3f ms a file)\n", count, plain_seconds,
              1000 * plain_seconds / count);
  std::printf("%d cards, tessarine-cards: %.3f s (%.3f ms a card)\n", count, cards_seconds,
              1000 * cards_seconds / count);
  std::printf("ratio: %.3f (target at most 1.25)\n", cards_seconds / plain_seconds);

  const long small = RunCards(program, 500, root + "/m500");
  const long large = RunCards(program, 5000, root + "/m5000");
  std::printf("peak memory: 500 cards %.1f MB, 5000 cards %.1f MB (target under 64 MB, flat)\n",
              small / 1024.0, large / 1024.0);
  std::system(("rm -rf '" + root + "'").c_str());
  return 0;
}
