// Checking a claimed win: a list of 30,000 cards (its bytes made beforehand, as
// --list writes them) read and validated against every card's code, 60 called numbers
// parsed, every card checked and the winners put in order. Prints the median time of the
// whole and of each step (target: the whole under 0.5 s).
//
//   check_bench [CARDS] [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/made_list.h"
#include "card/called_numbers.h"
#include "card/run_seeds.h"
#include "card/random.h"
#include "card/win_check.h"
#include "formats/card_list.h"

namespace {
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
  const int cards = argc > 1 ? std::atoi(argv[1]) : 30000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  if (cards < 1 || rounds < 1) return 2;
  const std::vector<ListLine> lines = MadeList(cards, 45296789u);
  const std::string list = CardListBytes(lines);
  std::vector<int> numbers(99);
  std::iota(numbers.begin(), numbers.end(), 1);
  std::shuffle(numbers.begin(), numbers.end(), std::mt19937(60));
  std::string called_text;
  for (int i = 0; i < 60; ++i) called_text += std::to_string(numbers[i]) + (i % 2 ? "," : " ");

  std::vector<double> whole, read, parse, check;
  size_t winners_found = 0;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    const CardListParse parsed = ParseCardList(list);
    if (!parsed.error.empty()) {
      std::fprintf(stderr, "%s\n", parsed.error.c_str());
      return 1;
    }
    const std::vector<ListLine>& cards_read = parsed.lines;
    const double read_done = Since(start);
    const CalledRead called_read = ParseCalledNumbers(called_text, CalledSource::kArgument);
    if (!called_read.error.empty()) return 1;
    const CalledNumbers& called = called_read.called;
    const double parse_done = Since(start);
    std::vector<CardWin> winners;
    for (size_t i = 0; i < cards_read.size(); ++i) {
      const WinVerdict verdict = CheckCard(cards_read[i].layout, called);
      if (verdict.kind != PrizeKind::kNothing) winners.push_back({i, verdict});
    }
    OrderWinners(&winners);
    const double all = Since(start);
    winners_found = winners.size();
    whole.push_back(all);
    read.push_back(read_done);
    parse.push_back(parse_done - read_done);
    check.push_back(all - parse_done);
  }
  std::printf("%d cards (%zu bytes of list), 60 numbers called, %zu winners, %d rounds\n", cards,
              list.size(), winners_found, rounds);
  std::printf("read + validate list  %8.1f ms\n", Median(read) * 1e3);
  std::printf("parse called numbers  %8.3f ms\n", Median(parse) * 1e3);
  std::printf("check + order         %8.1f ms\n", Median(check) * 1e3);
  std::printf("whole                 %8.1f ms (target: under 500)\n", Median(whole) * 1e3);
  return 0;
}
