// tessarine-cards: bingo cards from the command line, with no window. Writes the same
// 721 x 241 pictures the program's picture control shows and saves (as BMP or PNG), the
// list of a run's cards and its print-ready sheets, prints a card's layout as text,
// checks a claimed win, forecasts a game with a list's cards, or checks a game's draw
// from its record. It exits 0 only when what it reports is done: every file on the disk,
// every line of its output written.
#include <cstdio>
#include <string>
#include <vector>

#include "card/card_code.h"
#include "card/layout.h"
#include "card/random.h"
#include "card/series.h"
#include "cli/arguments.h"
#include "cli/check_cards.h"
#include "cli/forecast_cards.h"
#include "cli/make_cards.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/verify_draw.h"

namespace {
void PrintLayout(const CardRunRequest& run) {
  const CardLayout layout = run.type == CardType::kSeries90
                                ? MakeSeriesCard(run.start.code_bits, run.first_place)
                                : PlanCard(StartSeedBits(run.start));
  for (int row = 0; row < kCardRows; ++row) std::printf("%s\n", LayoutRowText(layout, row).c_str());
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(&argument[0]);
  pointers.push_back(nullptr);
  const CliParse parsed = ParseCliOptions(static_cast<int>(arguments.size()), pointers.data());
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, parsed.error.c_str());
    return kBadInputExit;
  }
  const CliOptions& options = parsed.options;
  if (options.help) {
    std::fputs(CliUsage().c_str(), stdout);
    return Finish(0);
  }
  if (options.check) return CheckCards(options);
  if (!options.forecast_list.empty()) return PrintForecast(options);
  if (!options.verify_draw.empty()) return VerifyDraw(options);
  if (options.layout) {
    PrintLayout(options.run);
    return Finish(0);
  }
  return MakeCards(options);
}
