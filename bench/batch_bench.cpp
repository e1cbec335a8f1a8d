// Batch throughput: times `tessarine-cards --count N` against writing the same N files
// of 521,578 bytes with nothing drawn, side by side in one run, over alternating rounds,
// each into a fresh folder, on every folder given (by default /dev/shm, a tmpfs, and
// /tmp, the root disk), and prints per disk the median ratio and its spread (targets: at
// most 1.5 on tmpfs, 1.25 on a disk). Then the Qt window batch (qt/window_batch_bench
// beside this program, when it was built) against the same cards made without a window
// (target: at most 1.25), and the peak memory of runs of 500 and 30,000 cards, whose
// files are removed as they appear (target: under 64 MB, flat).
//
//   [TESSARINE_BENCH_DIR=FOLDER[:FOLDER...]] batch_bench PATH/TO/tessarine-cards [N] [ROUNDS]
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

pid_t StartCards(const std::string& program, int count, const std::string& out) {
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    const std::string n = std::to_string(count);
    execl(program.c_str(), program.c_str(), "--count", n.c_str(), "--out", out.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

// Waits for the program; returns its peak resident memory in KB, or -1.
long WaitCards(pid_t child, int options = 0) {
  int status = 0;
  rusage usage{};
  const pid_t ended = wait4(child, &status, options, &usage);
  if (ended == 0) return 0;  // still running (WNOHANG)
  if (ended < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

long RunCards(const std::string& program, int count, const std::string& out) {
  return WaitCards(StartCards(program, count, out));
}

std::string NumberedPath(const std::string& folder, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/%04d.bmp", i);
  return folder + name;
}

// Peak memory of a long run whose files are removed as soon as they are complete, so
// that 30,000 cards do not need 15.6 GB of disk; -1 on failure.
long PeakOfLongRun(const std::string& program, int count, const std::string& out) {
  const pid_t child = StartCards(program, count, out);
  int next = 1;
  for (;;) {
    const long peak = WaitCards(child, WNOHANG);
    // A file is complete once the one after it exists (they are written in order).
    while (next < count && access(NumberedPath(out, next + 1).c_str(), F_OK) == 0)
      unlink(NumberedPath(out, next++).c_str());
    if (peak != 0) {
      std::system(("rm -rf '" + out + "'").c_str());
      return peak;
    }
    usleep(2000);
  }
}

bool WriteFiles(const std::string& folder, int count, const std::vector<char>& bytes) {
  for (int i = 1; i <= count; ++i) {
    const int fd = open(NumberedPath(folder, i).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
bool IsTmpfs(const std::string& folder) {
  struct statfs info {};
  return statfs(folder.c_str(), &info) == 0 && info.f_type == TMPFS_MAGIC;
}

// The rounds on one disk; false when a run failed.
bool CompareOnDisk(const std::string& program, const std::string& base, int count, int rounds) {
  std::string pattern = base + "/tessarine-batch-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return false;
  const std::string root = pattern;
  const bool tmpfs = IsTmpfs(root);
  const double target = tmpfs ? 1.5 : 1.25;
  const std::vector<char> bytes(521578, '\x7f');
  std::printf("== %s (%s)\n", base.c_str(), tmpfs ? "tmpfs" : "disk");

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
    if (p <= 0 || c <= 0) return false;
    std::printf("round %d: %d files, nothing drawn %.3f s; %d cards %.3f s; ratio %.3f\n",
                round + 1, count, p, count, c, c / p);
    std::fflush(stdout);
    plain.push_back(p);
    cards.push_back(c);
    ratios.push_back(c / p);
    std::system(("rm -rf '" + root + "/plain" + tag + "' '" + root + "/cards" + tag + "'").c_str());
  }
  std::printf("median: nothing drawn %.3f ms a file, tessarine-cards %.3f ms a card\n",
              1000 * Median(plain) / count, 1000 * Median(cards) / count);
  std::printf("ratio: %.3f (median of %d rounds, spread %.3f to %.3f; target at most %.2f)\n",
              Median(ratios), rounds, *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()), target);
  std::system(("rm -rf '" + root + "'").c_str());
  return true;
}

std::vector<std::string> BenchFolders() {
  const char* given = std::getenv("TESSARINE_BENCH_DIR");
  std::stringstream list(given && *given ? given : "/dev/shm:/tmp");
  std::vector<std::string> folders;
  for (std::string folder; std::getline(list, folder, ':');)
    if (!folder.empty()) folders.push_back(folder);
  return folders;
}

// The window batch bench built beside this program, or "".
std::string WindowBench(const char* self) {
  const std::string path = self;
  const size_t slash = path.rfind('/');
  const std::string beside =
      (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) +
      "/qt/window_batch_bench";
  return access(beside.c_str(), X_OK) == 0 ? beside : std::string();
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
  if (count <= 0 || rounds <= 0) return 2;
  const std::vector<std::string> folders = BenchFolders();
  if (folders.empty()) return 2;
  for (const std::string& folder : folders)
    if (!CompareOnDisk(program, folder, count, rounds)) return 1;

  const std::string window_bench = WindowBench(argv[0]);
  if (!window_bench.empty()) {
    std::printf("== the Qt window batch (offscreen), in %s\n", folders[0].c_str());
    std::fflush(stdout);
    const std::string command = "TESSARINE_BENCH_DIR='" + folders[0] + "' '" + window_bench +
                                "' " + std::to_string(count) + " " + std::to_string(rounds);
    if (std::system(command.c_str()) != 0) return 1;
  }

  std::string pattern = folders[0] + "/tessarine-memory-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return 1;
  const std::string root = pattern;
  const long small = PeakOfLongRun(program, 500, root + "/m500");
  const long large = PeakOfLongRun(program, 30000, root + "/m30000");
  std::system(("rm -rf '" + root + "'").c_str());
  if (small < 0 || large < 0) return 1;
  std::printf("peak memory: 500 cards %.1f MB, 30000 cards %.1f MB (target under 64 MB, flat)\n",
              small / 1024.0, large / 1024.0);
  return 0;
}
