// The journal of a game: a text file of one line per event after a short header that
// names the list (its path and SHA-256), the cards in play, the prizes and the start.
// A journal written before the draw could be checked has no "clave" and "compromiso"
// lines; it is read as it was, and its game goes on with no key (game/checkable_draw.h).
// Every line ends with a checksum of its text, so a damaged line is told from a good one:
//
//   tessarine-partida 1 #9A3C01F2
//   lista 3b0c…e1 /home/ana/cartones.csv #…
//   en-juego 1-250,300-320 #…
//   premios linea,bingo #…
//   inicio 1733775240000 #…
//   clave 5f1e…09 #…                    (the draw's secret key: only ever in this file)
//   compromiso 3b0c…e1 #…               (its SHA-256, as the window shows it)
//   bola 47 1733775243123 azar #…
//   deshacer 1733775250000 #…
//   continuar 1733779000000 #…          (a saved game taken up again)
//   premio 1733775260000 17,18 #…       (card numbers, from 1)
//   sin-premio 1733775261000 17 #…      (winners passed over: the prize stays in play)
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"

extern const char* const kJournalMagicLine;     // the first line's text
extern const char* const kJournalChecksumMark;  // between a line's text and its checksum
constexpr size_t kJournalChecksumDigits = 8;
constexpr size_t kSha256Digits = 64;
// Milliseconds since 1970 take 13 digits until the year 2286.
constexpr size_t kMostTimeDigits = 15;
// The checksum of a line's text: 32-bit FNV-1a, written as 8 hexadecimal digits.
uint32_t JournalChecksum(const std::string& text);

// A line's text with its checksum and line end, as every line of the file is written.
std::string SealedLine(const std::string& text);
struct UnsealedLine {
  std::string text;   // without its checksum
  std::string error;  // "" when the checksum is the text's
};
UnsealedLine Unsealed(const std::string& line);
// A line's words, split at each blank.
std::vector<std::string> JournalWords(const std::string& text);
// The value of a word of digits only, at most `digits` of them; -1 otherwise.
int64_t JournalNumber(const std::string& word, size_t digits);
// A path as one word of a line, and back ("" when the word spells none).
std::string EncodedPath(const std::string& path);
std::string DecodedPath(const std::string& word);

// The whole journal of the game as it stands.
std::string JournalText(const Game& game);
// The line one more event adds at the end.
std::string JournalEventLine(const GameEvent& event);

struct JournalContents {
  std::string list_path;
  std::string list_sha256;
  std::string in_play;  // as NewGame takes it
  PrizePlan plan = PrizePlan::kLineThenBingo;
  int64_t started_ms = 0;
  std::string draw_key;  // the draw's key, its bytes; "" in a journal written before it
  std::vector<GameEvent> events;
  std::vector<int> event_lines;  // the line of each event, for messages
  std::string error;             // "" when read; else the damage, naming the line
};
JournalContents ParseJournal(const std::string& bytes);

struct ReplayResult {
  Game game;
  std::string error;
};
// The game the journal tells, from its list's cards (already read and checked against
// the SHA-256): every event played again through PlayEvent, so the state is the same.
ReplayResult ReplayJournal(const JournalContents& journal, std::vector<ListLine> cards);
