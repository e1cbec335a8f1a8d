// How fair the checkable draw is, over many games each with its own key: a chi-squared
// statistic and its p-value for the first ball of every game (98 degrees of freedom) and
// for the table of which number comes out at which place among the 99 (98 x 98 degrees).
// A fair draw gives p-values spread over 0..1; a p-value under 0.001 twice running would
// point at a bias. Also the time a ball takes to draw. Figures, never a test.
//
//   draw_bench [GAMES]      (default 20000)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "card/layout.h"
#include "formats/card_list.h"
#include "game/game.h"

namespace {
// The regularized upper incomplete gamma Q(a, x): the series below a + 1, Lentz's
// continued fraction above (Numerical Recipes, 6.2).
double UpperGamma(double a, double x) {
  const double front = std::exp(-x + a * std::log(x) - std::lgamma(a));
  if (x < a + 1) {
    double term = 1 / a, sum = term;
    for (int n = 1; n < 100000 && term > sum * 1e-15; ++n) sum += term *= x / (a + n);
    return 1 - sum * front;
  }
  double b = x + 1 - a, c = 1e300, d = 1 / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    d = std::fabs(d) < 1e-300 ? 1e-300 : d;
    c = b + an / c;
    c = std::fabs(c) < 1e-300 ? 1e-300 : c;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < 1e-15) break;
  }
  return h * front;
}

void Report(const char* what, const std::vector<long>& counts, double expected, double freedom) {
  double chi2 = 0;
  for (long count : counts) chi2 += (count - expected) * (count - expected) / expected;
  std::printf("%-46s chi2 = %10.1f  (%5.0f grados de libertad)  p = %.4f\n", what, chi2, freedom,
              UpperGamma(freedom / 2, chi2 / 2));
}
}  // namespace

int main(int argc, char** argv) {
  const long games = argc > 1 ? std::atol(argv[1]) : 20000;
  const std::vector<ListLine> list = {ListLineOf("0001.bmp", 0x4730F0CA)};
  std::vector<long> first(kHighestNumber, 0), place(kHighestNumber * kHighestNumber, 0);
  const auto begin = std::chrono::steady_clock::now();
  for (long g = 0; g < games; ++g) {
    Game game = NewGame(list, "", PrizePlan::kLineThenBingo, "l.csv", "", 1733775240000 + g).game;
    for (int at = 0; at < kHighestNumber; ++at) {
      const BallDraw ball = DrawBall(game);
      if (!ball.error.empty() || !PlayEvent(&game, CallEvent(ball.number, 0, true)).empty()) {
        std::fprintf(stderr, "draw_bench: %s\n", ball.error.c_str());
        return 1;
      }
      if (at == 0) ++first[ball.number - 1];
      ++place[static_cast<size_t>(at * kHighestNumber + ball.number - 1)];
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::printf("%ld partidas de 99 bolas, cada una con su clave\n", games);
  Report("primera bola de cada partida:", first, games / 99.0, 98);
  Report("número por lugar de salida (99 x 99):", place, games / 99.0, 98.0 * 98);
  std::printf("%.2f µs por bola (con la clave de cada partida)\n",
              seconds * 1e6 / (static_cast<double>(games) * kHighestNumber));
  return 0;
}
