// What the phones' page shows, as immutable snapshots the controller publishes and the
// page's server hands out: the hall screen's content as JSON, numbered so that a phone
// that reconnects knows whether it missed something, and the cards in play by code, so
// that a phone asks for its own cartones and the server keeps nothing about players.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "bingo/hall_screen.h"
#include "card/layout.h"

// The cards in play of one game, by code ("4730F0CA", "4730F0-3"): made once a game and
// shared by all of its snapshots.
struct PageCards {
  std::unordered_map<std::string, CardLayout> by_code;
};

struct PageState {
  uint64_t number = 0;  // rises with every change a phone sees
  std::string json;     // {"n":12,"partida":…}: what the event stream sends
  std::shared_ptr<const PageCards> cards;  // null without a game
};

// The most codes one phone asks for at once.
constexpr size_t kMostPageCodes = 24;

// Tells one game from the next ("" without one): a phone fetches its cards again when it changes.
std::string PageGameOf(const BingoController& bingo);
std::shared_ptr<const PageCards> PageCardsOf(const BingoController& bingo);
// The state's fields but its number: `"partida":"…",…` with no braces, for the controller
// to tell whether anything changed.
std::string PageFieldsOf(const BingoController& bingo, const HallScreen& hall);
PageState PageStateOf(uint64_t number, const std::string& fields,
                      std::shared_ptr<const PageCards> cards);

// The codes of a query ("4730f0ca,4730F0-3"): upper case, at most kMostPageCodes, only
// those that look like a card's code.
std::vector<std::string> PageCodesAsked(const std::string& query);
// The state with the cards asked for: "cartones":{"4730F0CA":[[0,12,…],[…],[…]],"…":null},
// null for a code not in play.
std::string PageStateWithCards(const PageState& state, const std::vector<std::string>& codes);
