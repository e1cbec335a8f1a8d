// What durable saves cost: a batch of N cards through MakeCardFiles with every file and
// the folder flushed (as the programs save), the same batch with the flushing turned off,
// and a floor of N plain writes of a card-sized file that also flush each file (and the
// folder once), side by side in alternating rounds. Prints the medians, the durable
// batch against the floor (target: at most 1.25) and what the flushing adds to the batch.
//
//   [TESSARINE_BENCH_DIR=FOLDER] durable_bench [N] [ROUNDS]   (default /tmp, 200, 5)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "card/renderer.h"
#include "draw/draw.h"
#include "files/batch_card.h"
#include "formats/bmp_writer.h"
#include "disk/file_system.h"
#include "disk/folder_lock.h"

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string FreshFolder(const std::string& base, const char* kind, int round) {
  const std::string folder = base + "/durable-bench-" + kind + "-" + std::to_string(round) +
                             "-" + std::to_string(::getpid());
  ::mkdir(folder.c_str(), 0755);
  return folder;
}

void RemoveFolder(const std::string& folder) {
  std::system(("rm -rf '" + folder + "'").c_str());
  ::sync();  // the next side starts on a settled disk
}

// The batch as tessarine-cards runs it: the folder locked, the cards drawn and saved.
double TimeBatch(uint32_t picture, const std::string& folder, int count, bool flushed) {
  SetSavesFlushed(flushed);
  const Clock::time_point start = Clock::now();
  FolderLock lock;
  LockFolder(folder, &lock);
  CardFilesRequest request;
  request.picture = picture;
  request.count = count;
  request.folder = folder;
  CardFilesFailure failure;
  const int32_t saved = MakeCardFiles(request, &failure);
  UnlockFolder(&lock);
  const double seconds = Seconds(start);
  SetSavesFlushed(true);
  if (saved != count) {
    std::fprintf(stderr, "durable_bench: %s could not be saved\n", failure.path.c_str());
    std::exit(1);
  }
  return seconds;
}

// Plain writes of the same bytes, each file flushed before the next, the folder once.
double TimeFloor(const std::string& folder, int count, const std::vector<char>& bytes) {
  const Clock::time_point start = Clock::now();
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/%04d.bmp", i);
    const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 &&
                    ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                    ::fdatasync(fd) == 0;
    if (fd < 0 || ::close(fd) != 0 || !ok) {
      std::fprintf(stderr, "durable_bench: plain write failed\n");
      std::exit(1);
    }
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  ::fsync(fd);
  ::close(fd);
  return Seconds(start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 200;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const char* base_variable = std::getenv("TESSARINE_BENCH_DIR");
  const std::string base = base_variable ? base_variable : "/tmp";
  if (count < 1 || count > 30000 || rounds < 1) {
    std::fprintf(stderr, "usage: durable_bench [N 1..30000] [ROUNDS]\n");
    return 2;
  }
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  const std::vector<char> bytes(static_cast<size_t>(BitmapFileBytes(kPictureWidth, kPictureHeight)),
                                '\x5a');

  std::vector<double> durable, unflushed, floor;
  for (int round = 0; round < rounds; ++round) {
    std::string folder = FreshFolder(base, "durable", round);
    durable.push_back(TimeBatch(picture, folder, count, true));
    RemoveFolder(folder);
    folder = FreshFolder(base, "floor", round);
    floor.push_back(TimeFloor(folder, count, bytes));
    RemoveFolder(folder);
    folder = FreshFolder(base, "unflushed", round);
    unflushed.push_back(TimeBatch(picture, folder, count, false));
    RemoveFolder(folder);
  }
  const double d = Median(durable), f = Median(floor), u = Median(unflushed);
  std::printf("%d cards in %s, median of %d rounds\n", count, base.c_str(), rounds);
  std::printf("  durable batch            %8.3f s  %7.2f ms a card\n", d, 1000 * d / count);
  std::printf("  floor: flushed writes    %8.3f s  %7.2f ms a file\n", f, 1000 * f / count);
  std::printf("  batch without flushing   %8.3f s  %7.2f ms a card\n", u, 1000 * u / count);
  std::printf("  durable / floor          %8.2f x  (target: at most 1.25)\n", d / f);
  std::printf("  flushing costs           %8.2f x  the batch without it (+%.2f ms a card)\n",
              d / u, 1000 * (d - u) / count);
  return 0;
}
