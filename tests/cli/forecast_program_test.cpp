// tessarine-cards --forecast, run as a user runs it: its figures for one card against the
// exact chances worked out here, and its refusals, each with a message and exit code 2.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

#include "cards_runner.h"

namespace {
class ForecastProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessarine-forecast-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_EQ(
        RunCardsIn(dir_, "--count 40 --no-files --list cartones.csv --time 20:14:00.000").exit_code,
        0);
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string dir_;
};

double Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0));
}

// The smallest ball count by which one card's chance of the prize reaches `share`.
int ExactPoint(bool bingo, double share) {
  for (int k = 1; k <= 99; ++k) {
    const double all = Choose(k, 15) / Choose(99, 15);
    const double line = 3 * Choose(k, 5) / Choose(99, 5) - 3 * Choose(k, 10) / Choose(99, 10) + all;
    if ((bingo ? all : line) >= share) return k;
  }
  return 99;
}

TEST_F(ForecastProgram, OneCardGivesTheExactFigures) {
  const Result run = RunCardsIn(dir_, "--forecast cartones.csv --in-play 7");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::regex prize(
      "  (primera línea|bingo): mediana ([0-9]+) bolas \\(del 10 al 90 %: de ([0-9]+) a "
      "([0-9]+)\\)");
  std::smatch m;
  std::string rest = run.out;
  EXPECT_EQ(rest.rfind("Pronóstico de 10000 partidas con 1 cartón en juego:\n", 0), 0u) << rest;
  int found = 0;
  while (std::regex_search(rest, m, prize)) {
    const bool bingo = m[1] == "bingo";
    EXPECT_NEAR(std::stoi(m[2]), ExactPoint(bingo, 0.5), 1) << m[0];
    EXPECT_NEAR(std::stoi(m[3]), ExactPoint(bingo, 0.1), 1) << m[0];
    EXPECT_NEAR(std::stoi(m[4]), ExactPoint(bingo, 0.9), 1) << m[0];
    ++found;
    rest = m.suffix();
  }
  EXPECT_EQ(found, 2) << run.out;
  EXPECT_NE(run.out.find("la línea, 0,0 % de las partidas; el bingo, 0,0 % de las partidas\n"),
            std::string::npos)
      << "one card never ties";
}

TEST_F(ForecastProgram, MoreCardsWinSoonerAndSometimesTogether) {
  const Result few = RunCardsIn(dir_, "--forecast cartones.csv --in-play 1-2");
  const Result all = RunCardsIn(dir_, "--forecast cartones.csv");
  ASSERT_EQ(all.exit_code, 0) << all.err;
  ASSERT_NE(all.out.find("con 40 cartones en juego"), std::string::npos) << all.out;
  ASSERT_NE(few.out.find("con 2 cartones en juego"), std::string::npos) << few.out;
  const std::regex bingo("bingo: mediana ([0-9]+) bolas");
  std::smatch a, b;
  ASSERT_TRUE(std::regex_search(all.out, a, bingo));
  ASSERT_TRUE(std::regex_search(few.out, b, bingo));
  EXPECT_LT(std::stoi(a[1]), std::stoi(b[1]));
  EXPECT_EQ(all.out.find("la línea, 0,0 %"), std::string::npos) << "40 cards tie for the line";
}

TEST_F(ForecastProgram, RefusalsSayWhyWithCodeTwo) {
  std::ofstream(dir_ + "/otra.csv") << "nombre,apellido\r\nAna,Pérez\r\n";
  struct Case {
    std::string args, message;
  } cases[] = {
      {"--forecast otra.csv", "no es una lista de cartones de Tessarine"},
      {"--forecast falta.csv", "falta.csv: no existe"},
      {"--forecast cartones.csv --in-play 1-250,300-320",
       "--in-play: el cartón 250 no está en la lista (tiene 40 cartones)"},
      {"--forecast cartones.csv --in-play 9-3", "el rango 9-3 va al revés"},
      {"--forecast cartones.csv --in-play x", "\"x\" no es un número de cartón ni un rango"},
      {"--forecast cartones.csv --count 3",
       "--forecast simula partidas con una lista: no admite --count"},
      {"--in-play 1-3", "--in-play solo vale con --forecast"},
  };
  for (const Case& c : cases) {
    const Result run = RunCardsIn(dir_, c.args);
    EXPECT_EQ(run.exit_code, 2) << c.args;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.args;
  }
}
}  // namespace
