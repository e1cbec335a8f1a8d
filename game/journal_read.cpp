// Reading a journal back: each line's checksum first, then its words, strictly.
#include <vector>

#include "game/checkable_draw.h"
#include "game/journal.h"

namespace {
constexpr int kFirstEventLine = 6;

}  // namespace

std::vector<std::string> JournalWords(const std::string& text) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t blank = text.find(' ', at);
    const size_t end = blank == std::string::npos ? text.size() : blank;
    words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

int64_t JournalNumber(const std::string& word, size_t digits) {
  if (word.empty() || word.size() > digits) return -1;
  int64_t value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

UnsealedLine Unsealed(const std::string& line) {
  UnsealedLine unsealed;
  unsealed.error = "no dice lo que se escribió (no cuadra su suma de comprobación)";
  const size_t mark = line.rfind(kJournalChecksumMark);
  if (mark == std::string::npos || line.size() - mark != 2 + kJournalChecksumDigits)
    return unsealed;
  uint32_t stated = 0;
  for (size_t i = mark + 2; i < line.size(); ++i) {
    const int digit = HexValue(line[i]);
    if (digit < 0) return unsealed;
    stated = stated << 4 | static_cast<uint32_t>(digit);
  }
  unsealed.text = line.substr(0, mark);
  if (JournalChecksum(unsealed.text) == stated) unsealed.error.clear();
  return unsealed;
}

std::string DecodedPath(const std::string& word) {
  std::string path;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%') {
      path += word[i];
      continue;
    }
    if (i + 2 >= word.size() || HexValue(word[i + 1]) < 0 || HexValue(word[i + 2]) < 0) return "";
    path += static_cast<char>(HexValue(word[i + 1]) * 16 + HexValue(word[i + 2]));
    i += 2;
  }
  return path;
}

namespace {

// "" when the header line `number` (1..5) is read into *journal; else what is wrong.
std::string ReadHeaderLine(int number, const std::string& text, JournalContents* journal) {
  const std::vector<std::string> w = JournalWords(text);
  bool ok = false;
  if (number == 1) ok = text == kJournalMagicLine;
  if (number == 2 && w.size() == 3 && w[0] == "lista" && w[1].size() == kSha256Digits) {
    journal->list_sha256 = w[1];
    journal->list_path = DecodedPath(w[2]);
    ok = !journal->list_path.empty();
  }
  if (number == 3 && w.size() == 2 && w[0] == "en-juego") {
    journal->in_play = w[1] == "todos" ? "" : w[1];
    ok = !w[1].empty();
  }
  if (number == 4 && w.size() == 2 && w[0] == "premios") {
    const PrizePlanEntry* named = PlanNamed(w[1]);
    if (named != nullptr) journal->plan = named->plan;
    ok = named != nullptr;
  }
  if (number == 5 && w.size() == 2 && w[0] == "inicio") {
    journal->started_ms = JournalNumber(w[1], kMostTimeDigits);
    ok = journal->started_ms >= 0;
  }
  if (ok) return "";
  return number == 1 ? "no es el archivo de una partida de Tessarine"
                     : "la cabecera de la partida está mal escrita";
}

// Lines 6 and 7 of a journal with a checkable draw: its key, then its commitment.
bool IsDrawLine(int number, const std::string& text, const JournalContents& journal) {
  if (number == kFirstEventLine) return text.rfind("clave ", 0) == 0;
  return number == kFirstEventLine + 1 && !journal.draw_key.empty();
}

std::string ReadDrawLine(int number, const std::string& text, JournalContents* journal) {
  const std::vector<std::string> w = JournalWords(text);
  if (number == kFirstEventLine) {
    journal->draw_key = w.size() == 2 ? DrawKeyOfHex(w[1]) : "";
    return journal->draw_key.empty() ? "la clave del sorteo está mal escrita" : "";
  }
  if (w.size() != 2 || w[0] != "compromiso") return "falta el compromiso del sorteo tras su clave";
  return w[1] == CommitmentOf(journal->draw_key) ? ""
                                                 : "la clave del sorteo no cuadra con su compromiso";
}

// The card numbers of a confirmation, as indices; none when the word is not such a list.
std::vector<uint32_t> ReadCards(const std::string& word) {
  std::vector<uint32_t> cards;
  size_t at = 0;
  while (at <= word.size()) {
    const size_t comma = word.find(',', at);
    const size_t end = comma == std::string::npos ? word.size() : comma;
    const int64_t card = JournalNumber(word.substr(at, end - at), kMostCardNumberDigits);
    if (card < 1) return {};
    cards.push_back(static_cast<uint32_t>(card - 1));
    at = end + 1;
  }
  return cards;
}

struct ReadEvent {
  GameEvent event;
  std::string error;  // "" when the line is an event the program writes
};

ReadEvent ReadEventLine(const std::string& text) {
  const std::vector<std::string> w = JournalWords(text);
  ReadEvent read;
  bool ok = false;
  if (w.size() == 4 && w[0] == "bola" && (w[3] == "azar" || w[3] == "jaula")) {
    const int64_t number = JournalNumber(w[1], 2);
    read.event =
        CallEvent(static_cast<int>(number), JournalNumber(w[2], kMostTimeDigits), w[3] == "azar");
    ok = number >= 1;
  } else if (w.size() == 2 && w[0] == "deshacer") {
    read.event = UndoEvent(JournalNumber(w[1], kMostTimeDigits));
    ok = true;
  } else if (w.size() == 2 && w[0] == "continuar") {
    read.event = ContinueEvent(JournalNumber(w[1], kMostTimeDigits));
    ok = true;
  } else if (w.size() == 3 && (w[0] == "premio" || w[0] == "sin-premio")) {
    const std::vector<uint32_t> cards = ReadCards(w[2]);
    const int64_t time = JournalNumber(w[1], kMostTimeDigits);
    read.event = w[0] == "premio" ? ConfirmEvent(cards, time) : PassOverEvent(cards, time);
    ok = !cards.empty();
  }
  if (!ok || read.event.time_ms < 0) read.error = "no es un suceso de la partida";
  return read;
}
}  // namespace

JournalContents ParseJournal(const std::string& bytes) {
  JournalContents journal;
  if (bytes.empty()) {
    journal.error = "el archivo está vacío";
    return journal;
  }
  if (bytes.back() != '\n') {
    journal.error = "su última línea está cortada";
    return journal;
  }
  int number = 0;
  for (size_t at = 0; at < bytes.size();) {
    const size_t end = bytes.find('\n', at);
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    ++number;
    const std::string where = "línea " + std::to_string(number) + ": ";
    const UnsealedLine unsealed = Unsealed(line);
    if (!unsealed.error.empty()) {
      journal.error =
          where + (number == 1 ? "no es el archivo de una partida de Tessarine" : unsealed.error);
      return journal;
    }
    if (number < kFirstEventLine) {
      journal.error = ReadHeaderLine(number, unsealed.text, &journal);
      if (!journal.error.empty()) journal.error = where + journal.error;
    } else if (IsDrawLine(number, unsealed.text, journal)) {
      journal.error = ReadDrawLine(number, unsealed.text, &journal);
      if (!journal.error.empty()) journal.error = where + journal.error;
    } else {
      const ReadEvent read = ReadEventLine(unsealed.text);
      if (!read.error.empty()) journal.error = where + read.error;
      journal.events.push_back(read.event);
      journal.event_lines.push_back(number);
    }
    if (!journal.error.empty()) return journal;
  }
  if (number < kFirstEventLine - 1) journal.error = "le falta la cabecera de la partida";
  if (number == kFirstEventLine && !journal.draw_key.empty())
    journal.error = "le falta el compromiso del sorteo tras su clave";
  return journal;
}
