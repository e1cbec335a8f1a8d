// Checking cards reads and writes nothing but its input and standard output: the list
// file is only read.
#include "cli/check_cards.h"

#include <cstdio>
#include <string>
#include <vector>

#include "card/called_numbers.h"
#include "text/quoted_text.h"
#include "card/win_check.h"
#include "card/win_report.h"
#include "cli/report.h"
#include "formats/card_list.h"
#include "disk/read_file_saying.h"

namespace {
// A file of called numbers holds at most 99 of them: anything this large is not one.
constexpr size_t kMostCalledFileBytes = 1u << 20;

CalledRead ReadCalled(const CliOptions& options) {
  if (options.called_file.empty())
    return ParseCalledNumbers(options.called, CalledSource::kArgument);
  const std::string& path = options.called_file;
  const FileRead read =
      ReadFileSaying(path, kMostCalledFileBytes, "una lista de números cantados");
  CalledRead parsed;
  if (!read.error.empty()) {
    parsed.error = read.error;
    return parsed;
  }
  parsed = ParseCalledNumbers(read.bytes, CalledSource::kFile);
  if (!parsed.error.empty()) parsed.error = EscapedText(path) + ": " + parsed.error;
  return parsed;
}
// A number called that the cage of these cards does not hold ("" when none is): 91 to
// 99 never come out in a game of series cartones.
std::string BeyondTheCage(const std::vector<ListLine>& cards, const CalledNumbers& called) {
  if (cards.empty()) return "";
  const int highest = HighestBall(cards[0].type);
  for (uint8_t number : called.order)
    if (number > highest)
      return "el " + std::to_string(number) + " no sale en un bingo de " +
             std::to_string(highest) + " bolas";
  return "";
}
}  // namespace

int CheckCards(const CliOptions& options) {
  std::vector<ListLine> cards;
  if (options.check_list.empty()) {
    const RunStart& start = options.run.start;
    cards.push_back(options.run.type == CardType::kSeries90
                        ? SeriesListLineOf("", start.code_bits, options.run.first_place)
                        : ListLineOf("", start.code_bits));
  } else {
    CardListFile list = ReadCardList(options.check_list);
    if (!list.error.empty()) {
      std::fprintf(stderr, "%s: %s\n", kProgram, list.error.c_str());
      return kBadInputExit;
    }
    cards = std::move(list.lines);
  }
  const CalledRead read = ReadCalled(options);
  if (!read.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, read.error.c_str());
    return kBadInputExit;
  }
  const CalledNumbers& called = read.called;
  const std::string beyond = BeyondTheCage(cards, called);
  if (!beyond.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, beyond.c_str());
    return kBadInputExit;
  }
  std::vector<CardWin> winners;
  for (size_t i = 0; i < cards.size(); ++i) {
    const WinVerdict verdict = CheckCard(cards[i].layout, called);
    if (verdict.kind != PrizeKind::kNothing) winners.push_back({i, verdict});
  }
  OrderWinners(&winners);
  for (const CardWin& win : winners) {
    const ListLine& card = cards[win.card];
    std::printf("%s\n", WinnerLineOfCode(card.file_name, ListLineCode(card), win.verdict).c_str());
  }
  std::printf("%s\n", WinSummary(cards.size(), winners, called).c_str());
  return Finish(0);
}
