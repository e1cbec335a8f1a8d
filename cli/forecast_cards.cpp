// The forecast reads its list as --check does (only read, every card checked against its
// code) and takes the cards in play by their numbers in the list.
#include "cli/forecast_cards.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/report.h"
#include "files/card_list.h"
#include "game/cards_in_play.h"
#include "game/forecast.h"

int PrintForecast(const CliOptions& options) {
  std::vector<ListLine> cards;
  std::string error;
  if (!ReadCardList(options.forecast_list, &cards, &error)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return kBadInputExit;
  }
  const CardsInPlay play = ParseCardsInPlay(options.in_play, cards.size());
  if (!play.error.empty() || play.count == 0) {
    const std::string why = play.error.empty() ? "la lista no tiene ningún cartón" : play.error;
    std::fprintf(stderr, "%s: --in-play: %s\n", kProgram, why.c_str());
    return kBadInputExit;
  }
  std::vector<CardLayout> in_play;
  for (size_t card = 0; card < cards.size(); ++card)
    if (play.in_play[card]) in_play.push_back(cards[card].layout);
  const Forecast forecast = RunForecastFromSystem(in_play, kForecastGames);
  if (!forecast.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, forecast.error.c_str());
    return kFailedExit;
  }
  std::fputs(ForecastText(forecast).c_str(), stdout);
  return Finish(0);
}
