// tessarine-cards run as a user runs it: its output, its exit codes, the files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "card/layout.h"

namespace {
struct Result {
  int exit_code;
  std::string out;
  std::string err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CardsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessarine-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  Result Run(const std::string& args) {
    const std::string command = "cd '" + dir_ + "' && '" TESSARINE_CARDS_EXE "' " + args +
                                " >'" + dir_ + "/.out' 2>'" + dir_ + "/.err'";
    const int status = std::system(command.c_str());
    Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir_ + "/.out"),
                  ReadAll(dir_ + "/.err")};
    std::remove((dir_ + "/.out").c_str());
    std::remove((dir_ + "/.err").c_str());
    return result;
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
