// The record's lines, written from the game's calls and prizes as they stand.
#include "game/record.h"

#include "card/card_code.h"
#include "text/quoted_text.h"
#include "disk/file_system.h"
#include "disk/save_error_text.h"
#include "game/game_clock.h"

const char* const kRecordHeader = "apartado,orden,hora,bola,carton,codigo,detalle";

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
}  // namespace

std::vector<RecordRow> RecordRows(const Game& game, const std::string& title) {
  std::vector<RecordRow> rows = {
      {"titulo", "", "", "", "", "", title},
      {"fecha", "", "", "", "", "", DateText(LocalTimeOf(game.started_ms))},
      {"lista", "", "", "", "", "", FileName(game.list_path)},
      {"sha256", "", "", "", "", "", game.list_sha256},
      {"en juego", "", "", "", "", "", InPlayText(game)},
  };
  for (size_t i = 0; i < game.calls.size(); ++i) {
    const GameCall& call = game.calls[i];
    rows.push_back({"bola", std::to_string(i + 1), TimeOf(call.time_ms), std::to_string(call.number),
                    "", "", call.undone ? "anulada a las " + TimeOf(call.undone_ms) : ""});
  }
  for (const GivenPrize& prize : game.given) {
    const GameCall& call = game.calls[prize.call];
    rows.push_back({"premio", std::to_string(prize.call + 1), TimeOf(prize.time_ms),
                    std::to_string(call.number), CardNumberText(prize.card),
                    CardCode(game.cards[prize.card].seed_bits),
                    std::string(PrizeText(prize.kind)) + (prize.undone ? " (anulado)" : "")});
  }
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
