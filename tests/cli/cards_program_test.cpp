// tessarine-cards run as a user runs it: its output, its exit codes, the files it writes.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "card/layout.h"
#include "cards_runner.h"
#include "disk/folder_lock.h"

namespace {
class CardsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessarine-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  // Standard output goes to `out`, a file or a device such as /dev/full.
  Result Run(const std::string& args, const std::string& out = "") {
    return RunCardsIn(dir_, args, "", out);
  }

  long FileSize(const std::string& path) {
    struct stat info {};
    return stat((dir_ + "/" + path).c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
  }

  std::string dir_;
};

std::string LayoutText(const CardLayout& layout) {
  std::string text;
  for (const auto& row : layout.cell) {
    for (int column = 0; column < kCardColumns; ++column) {
      char field[4];
      std::snprintf(field, sizeof field, row[column] ? "%02d" : "--", row[column]);
      text += (column ? " " : "") + std::string(field);
    }
    text += "\n";
  }
  return text;
}
}  // namespace

TEST_F(CardsProgram, LayoutPrintsTheCardOfTheGivenTime) {
  for (const char* time : {"00:00:00.000", "12:34:56.789", "23:59:59.999", "04:33:04.001"}) {
    const Result r = Run(std::string("--layout --time ") + time);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const int h = std::atoi(time), m = std::atoi(time + 3), s = std::atoi(time + 6),
              ms = std::atoi(time + 9);
    const uint32_t clock = ((h * 60 + m) * 60 + s) * 1000 + ms;
    EXPECT_EQ(r.out, LayoutText(PlanCard(SeedBitsOfClock(clock)))) << time;
  }
  // The clock now: three lines of nine fields.
  const Result now = Run("--layout");
  ASSERT_EQ(now.exit_code, 0);
  EXPECT_EQ(now.out.size(), 3u * (9 * 3));
}

TEST_F(CardsProgram, BadInputIsRefusedWithAMessageAndCodeTwo) {
  for (const char* args : {"--bogus", "--time", "--time 24:00:00.000", "--time 12:60:00.000",
                           "--time 12:00:60.000", "--time 12:00:00.1000", "--time 12:00:00.000x",
                           "--time 12:34:56.00000000000000009", "--time 12:34:56.78",
                           "--time ''", "--count 0", "--count 30001", "--count 5x",
                           "--count ''", "--colour 12345", "--colour ZZZZZZ", "--out ''",
                           "--layout --out x"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_EQ(r.err.rfind("tessarine-cards: ", 0), 0u) << args << ": " << r.err;
    EXPECT_EQ(FileSize("muchas"), -1) << args << " made a folder";
  }
}

TEST_F(CardsProgram, HelpPrintsTheUsage) {
  const Result r = Run("--help");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find("--count N"), std::string::npos);
  EXPECT_NE(r.out.find("--layout"), std::string::npos);
}

TEST_F(CardsProgram, WritesNumberedCardFilesIntoTheFolder) {
  const Result r = Run("--count 3 --time 12:34:56.789");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  for (const char* name : {"muchas/0001.bmp", "muchas/0002.bmp", "muchas/0003.bmp"})
    EXPECT_EQ(FileSize(name), 521578) << name;
  EXPECT_EQ(FileSize("muchas/0004.bmp"), -1);
  EXPECT_NE(ReadAll(dir_ + "/muchas/0001.bmp"), ReadAll(dir_ + "/muchas/0002.bmp"));
  EXPECT_NE(ReadAll(dir_ + "/muchas/0002.bmp"), ReadAll(dir_ + "/muchas/0003.bmp"));

  // The same time and colour give the same first card; --out names the folder.
  ASSERT_EQ(Run("--time 12:34:56.789 --out again").exit_code, 0);
  EXPECT_EQ(ReadAll(dir_ + "/again/0001.bmp"), ReadAll(dir_ + "/muchas/0001.bmp"));
}

TEST_F(CardsProgram, ColourPaintsTheBlankCells) {
  ASSERT_EQ(Run("--colour 3366CC --time 00:00:00.000").exit_code, 0);
  const std::string file = ReadAll(dir_ + "/muchas/0001.bmp");
  ASSERT_EQ(file.size(), 521578u);
  // At midnight row 1 column 1 is blank: its centre (40, 40) is in the card colour.
  const size_t row_bytes = 2164, at = 54 + row_bytes * (240 - 40) + 3 * 40;
  EXPECT_EQ(static_cast<unsigned char>(file[at]), 0xCC);      // blue
  EXPECT_EQ(static_cast<unsigned char>(file[at + 1]), 0x66);  // green
  EXPECT_EQ(static_cast<unsigned char>(file[at + 2]), 0x33);  // red
}

TEST_F(CardsProgram, AFileThatCannotBeWrittenStopsTheRun) {
  // A folder where the third file's name is taken by a folder: it cannot be replaced.
  ASSERT_EQ(mkdir((dir_ + "/muchas").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir_ + "/muchas/0003.bmp").c_str(), 0755), 0);
  const Result r = Run("--count 5");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no se pudo guardar muchas/0003.bmp (no es un archivo normal); 2 cartones"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(FileSize("muchas/0001.bmp"), 521578);
  EXPECT_EQ(FileSize("muchas/0002.bmp"), 521578);
  EXPECT_EQ(FileSize("muchas/0004.bmp"), -1);
}

// The failure line says why, where the system said it.
TEST_F(CardsProgram, AFailedRunSaysWhyTheFileCouldNotBeSaved) {
  Result r = Run("--out missing/muchas");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("missing/muchas/0001.bmp (carpeta inexistente)"), std::string::npos)
      << r.err;
  EXPECT_EQ(FileSize("missing"), -1);

  ASSERT_EQ(mkdir((dir_ + "/locked").c_str(), 0755), 0);
  if (std::system(("chattr +i '" + dir_ + "/locked' 2>/dev/null").c_str()) == 0) {
    r = Run("--out locked");
    std::system(("chattr -i '" + dir_ + "/locked'").c_str());
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("locked/0001.bmp (sin permiso)"), std::string::npos) << r.err;
  } else {
    std::printf("no immutable folder here (chattr refused): no-permission case not run\n");
  }

  ASSERT_EQ(mkdir((dir_ + "/full").c_str(), 0755), 0);
  const std::string mount = "mount -t tmpfs -o size=600k tessarine-full '" + dir_ + "/full'";
  if (std::system((mount + " 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: full-disk case not run";
  r = Run("--count 3 --out full");  // room for one card, not two
  std::system(("umount '" + dir_ + "/full'").c_str());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("full/0002.bmp (disco lleno); 1 cartones guardados antes"),
            std::string::npos)
      << r.err;
}

// A run killed in the middle of a save leaves its hidden temporary; the next run into
// the folder takes it away, but not one a running process is still writing.
TEST_F(CardsProgram, ARunSweepsTheTemporariesOfKilledRuns) {
  ASSERT_EQ(mkdir((dir_ + "/muchas").c_str(), 0755), 0);
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  int status = 0;
  ASSERT_EQ(waitpid(ended, &status, 0), ended);
  const std::string stale = "muchas/.0912.bmp." + std::to_string(ended) + ".911.tmp";
  const std::string writing = "muchas/.0913.bmp." + std::to_string(getpid()) + ".4.tmp";
  for (const std::string& name : {stale, writing, std::string("muchas/notes.txt")}) {
    std::ofstream file(dir_ + "/" + name, std::ios::binary);
    file << std::string(1000, 'x');
  }
  const Result r = Run("--count 2");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(FileSize(stale), -1);
  EXPECT_EQ(FileSize(writing), 1000);
  EXPECT_EQ(FileSize("muchas/notes.txt"), 1000);
  EXPECT_EQ(FileSize("muchas/0002.bmp"), 521578);
}

// On a terminal a long run shows its progress on stderr; piped, it stays quiet.
TEST_F(CardsProgram, ALongRunOnATerminalShowsItsProgress) {
  if (std::system("command -v script >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no script(1) here to give the program a terminal";
  const std::string command = "cd '" + dir_ + "' && script -qec \"'" TESSARINE_CARDS_EXE
                              "' --count 150 --out term\" /dev/null >'" + dir_ + "/.tty' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string shown = ReadAll(dir_ + "/.tty");
  EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
  EXPECT_NE(shown.find("150/150"), std::string::npos) << shown;
  EXPECT_EQ(FileSize("term/0150.bmp"), 521578);

  const Result piped = Run("--count 150 --out piped");
  ASSERT_EQ(piped.exit_code, 0);
  EXPECT_EQ(piped.err.find('%'), std::string::npos) << piped.err;
}

// ---- Output that fails -----------------------------------------------------------

TEST_F(CardsProgram, OutputThatCannotBeWrittenIsAnError) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  for (const char* args : {"--layout", "--layout --time 12:00:00.000", "--help", "--count 2"}) {
    const Result r = Run(args, "/dev/full");
    EXPECT_EQ(r.exit_code, 1) << args;
    EXPECT_NE(r.err.find("tessarine-cards: no se pudo escribir la salida"), std::string::npos)
        << args << ": " << r.err;
  }
  // The cards themselves were made; only the report could not be given.
  EXPECT_EQ(FileSize("muchas/0002.bmp"), 521578);
}

// ---- One batch at a time in a folder --------------------------------------------------

std::vector<std::string> Entries(const std::string& folder) { return SortedEntries(folder); }

TEST_F(CardsProgram, AFolderAnotherBatchHoldsIsRefusedAtOnce) {
  ASSERT_EQ(mkdir((dir_ + "/muchas").c_str(), 0755), 0);
  FolderLock other;
  ASSERT_EQ(LockFolder(dir_ + "/muchas", &other), FolderLockResult::kLocked);
  const Result r = Run("--count 3");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("tessarine-cards: La carpeta muchas está en uso por otra tanda ..."),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(Entries(dir_ + "/muchas"), std::vector<std::string>{FolderLockName()});
  UnlockFolder(&other);

  const Result after = Run("--count 2");
  ASSERT_EQ(after.exit_code, 0) << after.err;
  EXPECT_EQ(Entries(dir_ + "/muchas"), (std::vector<std::string>{"0001.bmp", "0002.bmp"}))
      << "the lock file goes with its batch";
}

// A second run into the folder of a run still at work is refused and writes nothing, so
// the folder never holds cards of both.
TEST_F(CardsProgram, ASecondRunIntoTheFolderOfARunAtWorkIsRefused) {
  const pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    execl(TESSARINE_CARDS_EXE, TESSARINE_CARDS_EXE, "--count", "30000", "--colour", "0000FF",
          "--out", (dir_ + "/muchas").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (access((dir_ + "/muchas/0002.bmp").c_str(), F_OK) != 0 &&
         std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const Result second = Run("--count 5 --colour FF0000");
  kill(first, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(first, &status, 0), first);
  EXPECT_EQ(second.exit_code, 1);
  EXPECT_NE(second.err.find("La carpeta muchas está en uso por otra tanda"), std::string::npos)
      << second.err;
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 143) << "the first run went on to its end";
  // Every card is the first run's: blue in its blank cells and borders, no red at all.
  const std::vector<std::string> names = Entries(dir_ + "/muchas");
  ASSERT_GE(names.size(), 2u);
  for (const std::string& name : names) {
    const std::string file = ReadAll(dir_ + "/muchas/" + name);
    ASSERT_EQ(file.size(), 521578u) << name;
    size_t blue = 0, red = 0;
    for (size_t row = 0; row < 241; ++row) {
      for (size_t x = 0; x < 721; ++x) {
        const size_t at = 54 + row * 2164 + x * 3;  // blue, green, red
        const auto b = static_cast<unsigned char>(file[at]);
        const auto g = static_cast<unsigned char>(file[at + 1]);
        const auto r = static_cast<unsigned char>(file[at + 2]);
        blue += b == 0xFF && g == 0 && r == 0;
        red += b == 0 && g == 0 && r == 0xFF;
      }
    }
    EXPECT_GT(blue, 0u) << name;
    EXPECT_EQ(red, 0u) << name << " is a card of the second run";
  }
}

// ---- Interrupted --------------------------------------------------------------------

// A long run stopped by a signal once a few cards are saved: the cards saved so far are
// whole, nothing else is left (no temporary, no lock file), and the exit code tells the
// signal.
TEST_F(CardsProgram, AnInterruptedRunKeepsWhatItSavedAndSaysSo) {
  const struct {
    int signal_number;
    int exit_code;
  } cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
  for (const auto& c : cases) {
    const std::string out = dir_ + "/run" + std::to_string(c.signal_number);
    const std::string err = dir_ + "/.err" + std::to_string(c.signal_number);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, 2);
      execl(TESSARINE_CARDS_EXE, TESSARINE_CARDS_EXE, "--count", "30000", "--out", out.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    // Stopped once its third card is in place.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (access((out + "/0003.bmp").c_str(), F_OK) != 0 &&
           std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(kill(child, c.signal_number), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), c.exit_code) << c.signal_number;
    const std::string said = ReadAll(err);
    int saved = -1;
    const size_t at = said.find("tessarine-cards: interrumpido: ");
    ASSERT_NE(at, std::string::npos) << said;
    ASSERT_EQ(std::sscanf(said.c_str() + at, "tessarine-cards: interrumpido: %d cartones guardados",
                          &saved),
              1)
        << said;
    EXPECT_GE(saved, 3);
    EXPECT_LT(saved, 30000);
    std::vector<std::string> expected;
    for (int i = 1; i <= saved; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "%04d.bmp", i);
      expected.push_back(name);
      EXPECT_EQ(FileSize("run" + std::to_string(c.signal_number) + "/" + name), 521578) << name;
    }
    EXPECT_EQ(Entries(out), expected) << "only the cards it says it saved";
  }
}
