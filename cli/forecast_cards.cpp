// The forecast reads its list as --check does (only read, every card checked against its
// code) and takes the cards in play by their numbers in the list, as a game does.
#include "cli/forecast_cards.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/report.h"
#include "formats/card_list.h"
#include "game/forecast.h"
#include "game/game.h"

int PrintForecast(const CliOptions& options) {
  CardListFile list = ReadCardList(options.forecast_list);
  if (!list.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, list.error.c_str());
    return kBadInputExit;
  }
  // A list of series is played with a cage of 90.
  const CardType type = list.lines.empty() ? CardType::kAnywhere99 : list.lines[0].type;
  const NewGameResult game = NewGame(std::move(list.lines), options.in_play,
                                     PrizePlan::kLineThenBingo, options.forecast_list, "", 0);
  if (!game.error.empty()) {
    const char* option = options.in_play.empty() ? "" : "--in-play: ";
    std::fprintf(stderr, "%s: %s%s\n", kProgram, option, game.error.c_str());
    return kBadInputExit;
  }
  const Forecast forecast =
      RunForecastFromSystem(InPlayLayouts(game.game), kForecastGames, HighestBall(type));
  if (!forecast.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, forecast.error.c_str());
    return kFailedExit;
  }
  std::fputs(ForecastText(forecast).c_str(), stdout);
  return Finish(0);
}
