// The balls are gone through as the record lists them. A ball's "orden" is its place
// among the balls standing when it was called, and only the last ball standing can be
// taken back, so the balls standing before each one are the first orden - 1 of those
// standing after the ball before it: that is what the key's draw left out.
#include "game/draw_check.h"

#include "game/checkable_draw.h"

namespace {
struct DrawFacts {
  std::string list_sha256, started, commitment, key_hex;
  int highest = kHighestNumber;  // the cage: a record of series cartones says 90
};

DrawFacts FactsOf(const std::vector<RecordRow>& rows) {
  DrawFacts facts;
  for (const RecordRow& row : rows) {
    if (row.section == "sha256") facts.list_sha256 = row.detail;
    if (row.section == kStartSection) facts.started = row.detail;
    if (row.section == kCommitmentSection) facts.commitment = row.detail;
    if (row.section == kKeySection) facts.key_hex = row.detail;
    if (row.section == kCardsSection && row.detail == kSeriesCardsText)
      facts.highest = HighestBall(CardType::kSeries90);
  }
  return facts;
}

// A whole number of digits only, at most 15 of them; -1 otherwise.
int64_t WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 15) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

DrawVerdict Verdict(DrawVerdictKind kind, const std::string& text) { return {kind, text}; }

// kCorrect, with no text, when the record can be checked with *key; else why not.
DrawVerdict KeyVerdict(const DrawFacts& facts, std::string* key) {
  if (facts.commitment.empty())
    return Verdict(DrawVerdictKind::kUncheckable,
                   "El acta no trae compromiso del sorteo: la partida no tenía sorteo comprobable.");
  if (facts.key_hex.empty())
    return Verdict(DrawVerdictKind::kUncheckable,
                   "El acta no trae la clave del sorteo: se guardó antes de terminar la partida, "
                   "y la clave solo se da al final. Guarde el acta al terminar y compruébela.");
  if (WholeNumber(facts.started) < 0)
    return Verdict(DrawVerdictKind::kUncheckable,
                   "El acta no trae el inicio de la partida en milisegundos (la línea «inicio»).");
  *key = DrawKeyOfHex(facts.key_hex);
  if (key->empty())
    return Verdict(DrawVerdictKind::kWrong, "La clave del acta no son 64 cifras hexadecimales.");
  if (CommitmentOf(*key) != facts.commitment)
    return Verdict(DrawVerdictKind::kWrong,
                   "La clave no corresponde al compromiso: su SHA-256 no es el compromiso que "
                   "se dio antes de la primera bola.");
  return Verdict(DrawVerdictKind::kCorrect, "");
}

// A ball row's origin: its n in the draw, 0 for a ball from a cage, -1 when it says neither.
int64_t DrawNumberOf(const std::string& detail) {
  const size_t mark = detail.rfind("; ");
  const std::string kind = mark == std::string::npos ? detail : detail.substr(mark + 2);
  if (kind == kCageBallText) return 0;
  const std::string drawn = std::string(kDrawnBallText) + " ";
  if (kind.rfind(drawn, 0) != 0) return -1;
  const int64_t n = WholeNumber(kind.substr(drawn.size()));
  return n >= 1 ? n : -1;
}

struct BallsWalk {
  std::vector<uint8_t> standing;
  uint32_t drawn = 0, from_cage = 0;
};

// "" when the ball of the row at `line` of the file follows from the key; else why not.
std::string CheckBall(const RecordRow& row, size_t line, const std::string& key,
                      const DrawFacts& facts, BallsWalk* walk) {
  const std::string where = "La línea " + std::to_string(line) + " del acta ";
  const int64_t order = WholeNumber(row.order), number = WholeNumber(row.ball);
  const int64_t n = DrawNumberOf(row.detail);
  if (order < 1 || static_cast<size_t>(order) > walk->standing.size() + 1 || number < 1 ||
      number > kHighestNumber || n < 0)
    return where + "no es una bola como las escribe el programa.";
  walk->standing.resize(static_cast<size_t>(order - 1));
  CalledNumbers called;
  for (uint8_t standing : walk->standing) CallNumber(&called, standing);
  if (called.place[number] != 0) return where + "repite el " + std::to_string(number) + ".";
  walk->standing.push_back(static_cast<uint8_t>(number));
  if (n == 0) {
    ++walk->from_cage;
    return "";
  }
  if (n != walk->drawn + 1)
    return where + "dice «azar " + std::to_string(n) + "» tras la bola al azar " +
           std::to_string(walk->drawn) + ": falta una bola o está fuera de su orden.";
  ++walk->drawn;
  const uint8_t given = CheckableBall(
      key, DrawMessage(WholeNumber(facts.started), facts.list_sha256, walk->drawn), called,
      facts.highest);
  if (given == number) return "";
  return "La bola " + std::to_string(walk->drawn) + " no es la que da la clave: salió el " +
         std::to_string(number) + " y la clave da el " + std::to_string(given) + ".";
}

std::string CorrectText(const BallsWalk& walk) {
  const bool one = walk.drawn == 1;
  std::string text = "El sorteo es correcto: " + std::to_string(walk.drawn) +
                     (one ? " bola al azar, comprobada" : " bolas al azar, comprobadas") +
                     " con la clave.";
  if (walk.from_cage > 0)
    text += walk.from_cage == 1 ? " La bola de la jaula no sale de la clave: no se comprueba."
                                : " Las " + std::to_string(walk.from_cage) +
                                      " bolas de la jaula no salen de la clave: no se comprueban.";
  return text;
}
}  // namespace

DrawVerdict CheckDrawRecord(const std::vector<RecordRow>& rows) {
  const DrawFacts facts = FactsOf(rows);
  std::string key;
  const DrawVerdict refused = KeyVerdict(facts, &key);
  if (refused.kind != DrawVerdictKind::kCorrect) return refused;
  BallsWalk walk;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].section != "bola") continue;
    // Line 1 of the file is the header.
    const std::string wrong = CheckBall(rows[i], i + 2, key, facts, &walk);
    if (!wrong.empty()) return Verdict(DrawVerdictKind::kWrong, wrong);
  }
  return Verdict(DrawVerdictKind::kCorrect, CorrectText(walk));
}
