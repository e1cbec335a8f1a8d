// The game's state moves only through events: a call fills the rows of the cards in play
// that carry its number, an undo empties them again, a confirmation gives the current
// prize to the cards that won it and moves on to the next prize.
#include "game/game.h"

#include <algorithm>

#include "card/card_code.h"
#include "card/win_report.h"
#include "game/checkable_draw.h"
#include "text/quoted_text.h"
#include "text/trim.h"
#include "game/draw_source.h"

const char* const kGameOverText = "La partida ha terminado: ya se han dado todos los premios";

namespace {
void IndexCardsInPlay(Game* game) {
  game->rows_with.assign(kHighestNumber + 1, {});
  game->row_missing.assign(game->cards.size() * kCardRows, 0);
  game->full_rows.assign(game->cards.size(), 0);
  for (size_t card = 0; card < game->cards.size(); ++card) {
    if (!game->play.in_play[card]) continue;
    for (int row = 0; row < kCardRows; ++row) {
      const uint32_t row_id = static_cast<uint32_t>(card * kCardRows + row);
      for (uint8_t number : game->cards[card].layout.cell[row]) {
        if (number == 0) continue;
        game->rows_with[number].push_back(row_id);
        ++game->row_missing[row_id];
      }
    }
  }
}

std::string CheckCall(const Game& game, int number) {
  const int highest = HighestBall(game.type);
  if (number < 1 || number > kHighestNumber)
    return "El " + std::to_string(number) + " no vale: las bolas van del 1 al " + std::to_string(highest);
  if (number > highest)
    return "El " + std::to_string(number) + " no está en el bombo: las bolas van del 1 al " +
           std::to_string(highest);
  if (game.called.place[number] != 0) return "El " + std::to_string(number) + " ya ha salido";
  if (GameOver(game)) return kGameOverText;
  return "";
}

// A confirmation or a prize passed over: of winners of the current prize, on this ball.
std::string CheckWinners(const Game& game, const std::vector<uint32_t>& cards) {
  if (GameOver(game)) return kGameOverText;
  const std::vector<uint32_t> winners = CurrentWinners(game);
  if (winners.empty())
    return std::string("Ningún cartón ha cantado ") + PrizeText(CurrentPrize(game)) +
           " con la última bola";
  if (cards.empty()) return "No se ha dicho qué cartones ganan el premio";
  for (uint32_t card : cards)
    if (!std::binary_search(winners.begin(), winners.end(), card))
      return "El cartón " + CardNumberText(card) + " no tiene " + PrizeText(CurrentPrize(game)) +
             " con la última bola";
  return "";
}

void ApplyCall(Game* game, const GameEvent& event) {
  const uint8_t number = static_cast<uint8_t>(event.number);
  for (uint32_t row : game->rows_with[number])
    if (--game->row_missing[row] == 0) ++game->full_rows[row / kCardRows];
  CallNumber(&game->called, number);
  GameCall call;
  call.number = number;
  call.time_ms = event.time_ms;
  call.drawn = event.drawn;
  game->standing.push_back(game->calls.size());
  game->calls.push_back(call);
}

void ApplyUndo(Game* game, const GameEvent& event) {
  const size_t undone = game->standing.back();
  const uint8_t number = game->calls[undone].number;
  for (uint32_t row : game->rows_with[number])
    if (game->row_missing[row]++ == 0) --game->full_rows[row / kCardRows];
  game->called.order.pop_back();
  game->called.place[number] = 0;
  game->standing.pop_back();
  game->calls[undone].undone = true;
  game->calls[undone].undone_ms = event.time_ms;
  // The prizes won on that ball are taken back with it, and played again.
  for (GivenPrize& prize : game->given) {
    if (prize.call != undone || prize.undone) continue;
    prize.undone = true;
    game->prizes_won = std::min(game->prizes_won, prize.stage);
  }
  for (GivenPrize& passed : game->passed_over)
    if (passed.call == undone) passed.undone = true;
}

// The winners of the current prize on the ball just called, as the record keeps them.
void AddWinners(const Game& game, const GameEvent& event, std::vector<GivenPrize>* to) {
  for (uint32_t card : event.cards) {
    GivenPrize prize;
    prize.kind = CurrentPrize(game);
    prize.card = card;
    prize.call = game.standing.back();
    prize.stage = game.prizes_won;
    prize.time_ms = event.time_ms;
    to->push_back(prize);
  }
}
}  // namespace

const std::vector<PrizePlanEntry>& PrizePlans() {
  static const std::vector<PrizePlanEntry> plans = {
      {PrizePlan::kLineThenBingo, "linea,bingo", {PrizeKind::kLine, PrizeKind::kBingo}},
      {PrizePlan::kLineTwoLinesBingo, "linea,dos-lineas,bingo",
       {PrizeKind::kLine, PrizeKind::kTwoLines, PrizeKind::kBingo}},
  };
  return plans;
}

const PrizePlanEntry* PlanNamed(const std::string& journal_name) {
  for (const PrizePlanEntry& entry : PrizePlans())
    if (journal_name == entry.journal_name) return &entry;
  return nullptr;
}

const PrizePlanEntry& PlanEntry(PrizePlan plan) {
  for (const PrizePlanEntry& entry : PrizePlans())
    if (entry.plan == plan) return entry;
  return PrizePlans().front();
}

PrizePlan PlanOf(const Game& game) {
  for (const PrizePlanEntry& entry : PrizePlans())
    if (entry.prizes == game.prizes) return entry.plan;
  return PrizePlans().front().plan;
}

CardsByCode CardsByCodeOf(const std::vector<ListLine>& cards) {
  CardsByCode by_code;
  for (size_t card = 0; card < cards.size(); ++card)
    by_code.emplace(ListLineKey(cards[card]), static_cast<uint32_t>(card));
  return by_code;
}

NewGameResult NewGame(std::vector<ListLine> cards, const std::string& in_play, PrizePlan plan,
                      const std::string& list_path, const std::string& list_sha256,
                      int64_t started_ms) {
  NewGameResult result;
  Game& game = result.game;
  game.play = ParseCardsInPlay(in_play, cards.size());
  if (!game.play.error.empty()) {
    result.error = game.play.error;
    return result;
  }
  if (game.play.count == 0) {
    result.error = "No hay ningún cartón en juego: la lista está vacía";
    return result;
  }
  DrawKeyResult key = MakeDrawKey();
  if (!key.error.empty()) {
    result.error = key.error;
    return result;
  }
  game.draw_key = std::move(key.key);
  game.cards = std::move(cards);
  game.type = game.cards.front().type;
  game.list_path = list_path;
  game.list_sha256 = list_sha256;
  game.started_ms = started_ms;
  game.prizes = PlanEntry(plan).prizes;
  game.card_of_code = CardsByCodeOf(game.cards);
  IndexCardsInPlay(&game);
  return result;
}

std::string CheckEvent(const Game& game, const GameEvent& event) {
  switch (event.kind) {
    case EventKind::kCall:
      return CheckCall(game, event.number);
    case EventKind::kUndo:
      return game.standing.empty() ? "No hay ninguna bola que deshacer" : "";
    case EventKind::kConfirm:
    case EventKind::kPassOver:
      return CheckWinners(game, event.cards);
    case EventKind::kContinue:
      return "";
  }
  return "suceso desconocido";
}

std::string PlayEvent(Game* game, const GameEvent& event) {
  const std::string refused = CheckEvent(*game, event);
  if (!refused.empty()) return refused;
  if (event.kind == EventKind::kCall) ApplyCall(game, event);
  if (event.kind == EventKind::kUndo) ApplyUndo(game, event);
  if (event.kind == EventKind::kConfirm) {
    AddWinners(*game, event, &game->given);
    ++game->prizes_won;
  }
  if (event.kind == EventKind::kPassOver) AddWinners(*game, event, &game->passed_over);
  game->events.push_back(event);
  return "";
}

GameEvent CallEvent(int number, int64_t time_ms, bool drawn) {
  GameEvent event;
  event.kind = EventKind::kCall;
  event.number = number;
  event.time_ms = time_ms;
  event.drawn = drawn;
  return event;
}

GameEvent UndoEvent(int64_t time_ms) {
  GameEvent event;
  event.kind = EventKind::kUndo;
  event.time_ms = time_ms;
  return event;
}

namespace {
// The cards in the list's order, each once.
GameEvent WinnersEvent(EventKind kind, const std::vector<uint32_t>& cards, int64_t time_ms) {
  GameEvent event;
  event.kind = kind;
  event.cards = cards;
  std::sort(event.cards.begin(), event.cards.end());
  event.cards.erase(std::unique(event.cards.begin(), event.cards.end()), event.cards.end());
  event.time_ms = time_ms;
  return event;
}
}  // namespace

GameEvent ConfirmEvent(const std::vector<uint32_t>& cards, int64_t time_ms) {
  return WinnersEvent(EventKind::kConfirm, cards, time_ms);
}

GameEvent PassOverEvent(const std::vector<uint32_t>& cards, int64_t time_ms) {
  return WinnersEvent(EventKind::kPassOver, cards, time_ms);
}

GameEvent ContinueEvent(int64_t time_ms) {
  GameEvent event;
  event.kind = EventKind::kContinue;
  event.time_ms = time_ms;
  return event;
}

BallDraw DrawBall(const Game& game) {
  BallDraw ball;
  const int highest = HighestBall(game.type);
  const uint32_t left = static_cast<uint32_t>(highest - static_cast<int>(game.called.order.size()));
  if (left == 0) {
    ball.error = "Ya han salido las " + std::to_string(highest) + " bolas";
    return ball;
  }
  if (!game.draw_key.empty()) {
    ball.number = CheckableBall(
        game.draw_key, DrawMessage(game.started_ms, game.list_sha256, NextDrawNumber(game)),
        game.called, highest);
    return ball;
  }
  // A game continued from a journal written before the draw could be checked has no key:
  // its balls still come from the system's source, as they did when it began.
  const UniformDraw draw = DrawBelow(left);
  if (!draw.error.empty()) {
    ball.error = "No se pudo sacar bola: " + draw.error;
    return ball;
  }
  uint32_t skip = draw.value;
  for (int number = 1; number <= highest; ++number) {
    if (game.called.place[number] != 0) continue;
    if (skip-- == 0) {
      ball.number = static_cast<uint8_t>(number);
      break;
    }
  }
  return ball;
}

std::vector<CardLayout> InPlayLayouts(const Game& game) {
  std::vector<CardLayout> layouts;
  layouts.reserve(game.play.count);
  for (size_t card = 0; card < game.cards.size(); ++card)
    if (game.play.in_play[card]) layouts.push_back(game.cards[card].layout);
  return layouts;
}

bool GameOver(const Game& game) { return game.prizes_won >= game.prizes.size(); }

PrizeKind CurrentPrize(const Game& game) {
  return GameOver(game) ? PrizeKind::kBingo : game.prizes[game.prizes_won];
}

std::vector<uint32_t> CurrentWinners(const Game& game) {
  std::vector<uint32_t> winners;
  if (game.called.order.empty() || GameOver(game)) return winners;
  const int needed = static_cast<int>(CurrentPrize(game));
  // A number is on a card at most once, so each card is met at most once here.
  for (uint32_t row : game.rows_with[game.called.order.back()])
    if (game.row_missing[row] == 0 && game.full_rows[row / kCardRows] >= needed)
      winners.push_back(row / kCardRows);
  std::sort(winners.begin(), winners.end());
  return winners;
}

const char* PrizeText(PrizeKind kind) { return PrizeKindText(kind); }

std::string PendingWinnersQuestion(const Game& game) {
  const std::vector<uint32_t> winners = CurrentWinners(game);
  if (winners.empty()) return "";
  std::string cards;
  for (size_t i = 0; i < winners.size(); ++i)
    cards += (i == 0 ? "" : i + 1 == winners.size() ? " y " : ", ") + CardNumberText(winners[i]);
  const bool one = winners.size() == 1;
  return (one ? "El cartón " : "Los cartones ") + cards + (one ? " tiene " : " tienen ") +
         PrizeText(CurrentPrize(game)) + " con el " + std::to_string(game.called.order.back()) +
         ". ¿Seguir sin dar el premio?";
}

std::string WinnerText(const Game& game, uint32_t card) {
  return CardNumberText(card) + "  " + ListLineCode(game.cards[card]) + "  " +
         PrizeText(CurrentPrize(game));
}

TypedBall ReadTypedBall(const std::string& text) {
  constexpr size_t kMostBallDigits = 3;
  TypedBall ball;
  const std::string digits = Trimmed(text);
  bool ok = !digits.empty() && digits.size() <= kMostBallDigits;
  for (char c : digits) ok = ok && c >= '0' && c <= '9';
  if (ok) {
    ball.number = std::stoi(digits);
  } else {
    ball.error = QuotedText(text) + " no es un número de bola (van del 1 al 99)";
  }
  return ball;
}
