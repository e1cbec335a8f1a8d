// The outputs of tessarine-cards measured through the program itself, on every folder
// given (by default /dev/shm, a tmpfs, and /tmp, the root disk), durable as the program
// always is:
//   - a PNG batch of N cards (--png) against the BMP batch of the same cards (the same
//     --time), over alternating rounds: median times, their ratio and spread, and the
//     bytes a card (targets: no slower, files at least 10 x smaller);
//   - the PDF of M cards alone (--no-files --pdf) against the BMP batch of the same M
//     cards: time ratio, peak memory at 1,000 and at M cards, bytes a card (targets: at
//     most 1 x, under 32 MB and flat, at most 2 KB a card);
//   - --check of a list of M cards (made by --no-files --list) against 60 called
//     numbers: the median of a few runs (target: under 0.5 s).
//
//   [TESSARINE_BENCH_DIR=FOLDER[:FOLDER...]] outputs_bench PATH/TO/tessarine-cards [N] [ROUNDS] [M]
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
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
const char* const kTime = "12:34:56.789";

struct Run {
  double seconds = -1;
  long peak_kb = -1;
};

std::string NumberedPath(const std::string& folder, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/%04d.bmp", i);
  return folder + name;
}

// One run of the program in a child, the disk settled before and after so that the
// write-back of one run does not land on the next. With a `drain` folder, its card files
// are removed as soon as they are complete (the next one exists), so that 30,000 cards
// need not fit in a tmpfs's memory at once.
Run Cards(const std::string& program, std::vector<std::string> args,
          const std::string& drain = "") {
  args.insert(args.begin(), program);
  sync();
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  Run run;
  pid_t ended = 0;
  for (int next = 1; !drain.empty() && ended == 0;) {
    ended = wait4(child, &status, WNOHANG, &usage);
    while (access(NumberedPath(drain, next + 1).c_str(), F_OK) == 0)
      unlink(NumberedPath(drain, next++).c_str());
    if (ended == 0) usleep(2000);
  }
  if (ended == 0) ended = wait4(child, &status, 0, &usage);
  if (ended < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peak_kb = usage.ru_maxrss;
  sync();
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

long Bytes(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

long FolderBytes(const std::string& folder, int count, const char* extension) {
  long total = 0;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d%s", i, extension);
    const long bytes = Bytes(folder + name);
    if (bytes < 0) return -1;
    total += bytes;
  }
  return total;
}

void Remove(const std::string& path) { std::system(("rm -rf '" + path + "'").c_str()); }

bool IsTmpfs(const std::string& folder) {
  struct statfs info {};
  return statfs(folder.c_str(), &info) == 0 && info.f_type == TMPFS_MAGIC;
}

bool PngAgainstBmp(const std::string& program, const std::string& root, int count, int rounds) {
  const std::string n = std::to_string(count);
  std::vector<double> bmp, png, ratios;
  long bmp_bytes = 0, png_bytes = 0;
  Cards(program, {"--count", "10", "--out", root + "/warm"});
  Remove(root + "/warm");
  for (int round = 0; round < rounds; ++round) {
    const std::string b = root + "/bmp", p = root + "/png";
    Run rb, rp;
    // Alternate which goes first: the file system is slower after a large write.
    if (round % 2 == 0) {
      rb = Cards(program, {"--count", n, "--time", kTime, "--out", b});
      rp = Cards(program, {"--count", n, "--time", kTime, "--out", p, "--png"});
    } else {
      rp = Cards(program, {"--count", n, "--time", kTime, "--out", p, "--png"});
      rb = Cards(program, {"--count", n, "--time", kTime, "--out", b});
    }
    if (rb.seconds < 0 || rp.seconds < 0) return false;
    bmp_bytes = FolderBytes(b, count, ".bmp");
    png_bytes = FolderBytes(p, count, ".png");
    Remove(b);
    Remove(p);
    std::printf("round %d: %d cards BMP %.3f s, PNG %.3f s, PNG/BMP %.3f\n", round + 1, count,
                rb.seconds, rp.seconds, rp.seconds / rb.seconds);
    std::fflush(stdout);
    bmp.push_back(rb.seconds);
    png.push_back(rp.seconds);
    ratios.push_back(rp.seconds / rb.seconds);
  }
  std::printf("PNG batch: BMP %.3f ms a card, PNG %.3f ms a card; PNG/BMP %.3f (median of %d, "
              "spread %.3f to %.3f; target at most 1)\n",
              1000 * Median(bmp) / count, 1000 * Median(png) / count, Median(ratios), rounds,
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("PNG files: %.0f bytes a card against %.0f, %.1f x smaller (target at least 10)\n",
              static_cast<double>(png_bytes) / count, static_cast<double>(bmp_bytes) / count,
              static_cast<double>(bmp_bytes) / png_bytes);
  return true;
}

bool PdfAgainstBmp(const std::string& program, const std::string& root, int count) {
  // On a tmpfs the files of a long batch are removed as they come (the removal is part of
  // its time there).
  const bool drain = IsTmpfs(root);
  for (int cards : {1000, count}) {
    const std::string n = std::to_string(cards);
    const std::string pdf = root + "/cards.pdf";
    const Run sheets =
        Cards(program, {"--count", n, "--time", kTime, "--no-files", "--pdf", pdf});
    const long bytes = Bytes(pdf);
    Remove(pdf);
    const Run batch = Cards(program, {"--count", n, "--time", kTime, "--out", root + "/bmp"},
                            drain && cards > 1000 ? root + "/bmp" : "");
    Remove(root + "/bmp");
    if (sheets.seconds < 0 || batch.seconds < 0) return false;
    std::printf("PDF of %d cards: %.2f s against the BMP batch's %.2f s, PDF/BMP %.2f (target "
                "at most 1); peak %.1f MB (BMP batch %.1f MB; target under 32); %.0f bytes a "
                "card (target at most 2,048)\n",
                cards, sheets.seconds, batch.seconds, sheets.seconds / batch.seconds,
                sheets.peak_kb / 1024.0, batch.peak_kb / 1024.0,
                static_cast<double>(bytes) / cards);
    std::fflush(stdout);
  }
  return true;
}

bool Check(const std::string& program, const std::string& root, int count) {
  const std::string list = root + "/cards.csv";
  if (Cards(program, {"--count", std::to_string(count), "--time", kTime, "--no-files",
                      "--list", list})
          .seconds < 0)
    return false;
  std::vector<int> numbers(99);
  std::iota(numbers.begin(), numbers.end(), 1);
  std::shuffle(numbers.begin(), numbers.end(), std::mt19937(60));
  std::string called;
  for (int i = 0; i < 60; ++i) called += std::to_string(numbers[i]) + " ";
  std::vector<double> times;
  for (int round = 0; round < 7; ++round) {
    const Run run = Cards(program, {"--check", list, "--called", called});
    if (run.seconds < 0) return false;
    times.push_back(run.seconds);
  }
  Remove(list);
  std::printf("--check of %d cards against 60 numbers: %.1f ms (median of 7; target under "
              "500)\n",
              count, 1000 * Median(times));
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: %s PATH/TO/tessarine-cards [N] [RONDAS] [M]\n", argv[0]);
    return 2;
  }
  const std::string program = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
  const int large = argc > 4 ? std::atoi(argv[4]) : 30000;
  if (count <= 0 || rounds <= 0 || large <= 0) return 2;
  const char* given = std::getenv("TESSARINE_BENCH_DIR");
  std::stringstream folders(given && *given ? given : "/dev/shm:/tmp");
  for (std::string base; std::getline(folders, base, ':');) {
    if (base.empty()) continue;
    std::string pattern = base + "/tessarine-outputs-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) return 1;
    const std::string root = pattern;
    std::printf("== %s (%s)\n", base.c_str(), IsTmpfs(root) ? "tmpfs" : "disk");
    std::fflush(stdout);
    const bool ok = PngAgainstBmp(program, root, count, rounds) &&
                    PdfAgainstBmp(program, root, large) && Check(program, root, large);
    Remove(root);
    if (!ok) {
      std::fprintf(stderr, "a run of %s failed in %s\n", program.c_str(), base.c_str());
      return 1;
    }
  }
  return 0;
}
