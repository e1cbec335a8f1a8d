// The record's lines, written from the game's calls and prizes as they stand.
#include "game/record.h"

#include "card/card_code.h"
#include "text/quoted_text.h"
#include "disk/file_system.h"
#include "disk/save_error_text.h"
#include "game/checkable_draw.h"
#include "game/game_clock.h"

const char* const kRecordHeader = "apartado,orden,hora,bola,carton,codigo,detalle";
const char* const kCardsSection = "cartones";
const char* const kSeriesCardsText = "de 90 bolas, en series de 6";
const char* const kStartSection = "inicio";
const char* const kCommitmentSection = "compromiso";
const char* const kKeySection = "clave";
const char* const kDrawnBallText = "azar";
const char* const kCageBallText = "jaula";

namespace {
constexpr const char* kLineEnd = "\r\n";

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Line(const RecordRow& row) {
  return Field(row.section) + "," + row.order + "," + row.time + "," + row.ball + "," + row.card +
         "," + row.code + "," + Field(row.detail) + kLineEnd;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TimeOf(int64_t ms) { return ClockText(LocalTimeOf(ms)); }

std::string InPlayText(const Game& game) {
  const std::string which = game.play.count == game.cards.size() ? "todos" : game.play.text;
  return which + " (" + std::to_string(game.play.count) +
         (game.play.count == 1 ? " cartón)" : " cartones)");
}

// The game's events gone through in order, as the screen saw them: a ball's number is
// its place among the calls standing when it was called, so a ball taken back keeps the
// number it had and the next ball called is given that number again.
struct RecordWalk {
  std::vector<RecordRow> calls;   // the balls and the stops, in order
  std::vector<RecordRow> prizes;  // the prizes given and those passed over, in order
  std::vector<size_t> standing;   // indices in Game::calls
  std::vector<size_t> number_of;  // per call: its number on the screen
  std::vector<uint32_t> draw_of;  // per call: its n in the draw, 0 for a ball from a cage
  size_t given = 0, passed_over = 0;
  int64_t last_ms = 0;  // the last event's time: where a stop began
};

RecordRow CallRow(const Game& game, RecordWalk* walk) {
  const size_t index = walk->number_of.size();
  const GameCall& call = game.calls[index];
  walk->standing.push_back(index);
  walk->number_of.push_back(walk->standing.size());
  const std::string kind =
      call.drawn ? kDrawnBallText + std::string(" ") + std::to_string(walk->draw_of[index])
                 : kCageBallText;
  return {"bola", std::to_string(walk->standing.size()), TimeOf(call.time_ms),
          std::to_string(call.number), "", "",
          call.undone ? "anulada a las " + TimeOf(call.undone_ms) + "; " + kind : kind};
}

RecordRow PrizeRow(const Game& game, const RecordWalk& walk, const GivenPrize& prize,
                   bool passed_over) {
  const std::string kind = PrizeText(prize.kind);
  return {passed_over ? "premio no dado" : "premio", std::to_string(walk.number_of[prize.call]),
          TimeOf(prize.time_ms), std::to_string(game.calls[prize.call].number),
          CardNumberText(prize.card), ListLineCode(game.cards[prize.card]),
          (passed_over ? kind + " no reclamada" : kind) + (prize.undone ? " (anulado)" : "")};
}

RecordRow StopRow(const RecordWalk& walk, int64_t continued_ms) {
  const size_t balls = walk.standing.size();
  return {"parada", "", TimeOf(walk.last_ms), "", "", "",
          "partida detenida " +
              (balls == 0 ? std::string("antes de la primera bola")
                          : "tras la bola " + std::to_string(balls)) +
              " y continuada a las " + TimeOf(continued_ms)};
}

RecordWalk WalkEvents(const Game& game) {
  RecordWalk walk;
  walk.last_ms = game.started_ms;
  walk.draw_of = DrawNumbers(game);
  for (const GameEvent& event : game.events) {
    switch (event.kind) {
      case EventKind::kCall:
        walk.calls.push_back(CallRow(game, &walk));
        break;
      case EventKind::kUndo:
        walk.standing.pop_back();
        break;
      case EventKind::kConfirm:
        for (size_t i = 0; i < event.cards.size(); ++i)
          walk.prizes.push_back(PrizeRow(game, walk, game.given[walk.given++], false));
        break;
      case EventKind::kPassOver:
        for (size_t i = 0; i < event.cards.size(); ++i)
          walk.prizes.push_back(PrizeRow(game, walk, game.passed_over[walk.passed_over++], true));
        break;
      case EventKind::kContinue:
        walk.calls.push_back(StopRow(walk, event.time_ms));
        break;
    }
    walk.last_ms = event.time_ms;
  }
  return walk;
}
}  // namespace

std::vector<RecordRow> RecordRows(const Game& game, const std::string& title) {
  std::vector<RecordRow> rows = {
      {"titulo", "", "", "", "", "", title},
      {"fecha", "", "", "", "", "", DateText(LocalTimeOf(game.started_ms))},
      {"lista", "", "", "", "", "", FileName(game.list_path)},
      {"sha256", "", "", "", "", "", game.list_sha256},
      {kCardsSection, "", "", "", "", "",
       game.type == CardType::kSeries90 ? kSeriesCardsText : "de 1 a 99"},
      {"en juego", "", "", "", "", "", InPlayText(game)},
  };
  if (!game.draw_key.empty()) {
    rows.push_back({kStartSection, "", "", "", "", "", std::to_string(game.started_ms)});
    rows.push_back({kCommitmentSection, "", "", "", "", "", CommitmentOf(game.draw_key)});
  }
  // The key only once every prize is given: before that it would tell the balls to come.
  if (!game.draw_key.empty() && GameOver(game)) {
    rows.push_back({kKeySection, "", "", "", "", "", DrawKeyHex(game.draw_key)});
  }
  RecordWalk walk = WalkEvents(game);
  rows.insert(rows.end(), walk.calls.begin(), walk.calls.end());
  rows.insert(rows.end(), walk.prizes.begin(), walk.prizes.end());
  return rows;
}

std::string RecordCsv(const Game& game, const std::string& title) {
  std::string csv = std::string(kRecordHeader) + kLineEnd;
  for (const RecordRow& row : RecordRows(game, title)) csv += Line(row);
  return csv;
}

std::string SaveRecordCsv(const Game& game, const std::string& title, const std::string& path) {
  const std::string bytes = RecordCsv(game, title);
  const ByteSpan whole{bytes.data(), bytes.size()};
  const SaveError error = ReplaceFileWith(path, &whole, 1);
  return error == SaveError::kNone ? "" : RecordNotSavedText(path, SaveErrorText(error));
}

std::string RecordNotSavedText(const std::string& path, const std::string& why) {
  return "No se pudo guardar el acta en " + EscapedText(path) + (why.empty() ? "" : " (" + why + ")");
}
