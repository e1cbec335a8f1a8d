// Writing and reading the journal. Reading is strict: any line that does not say exactly
// what the program writes is damage, and the game is not guessed from the rest.
#include "game/journal.h"

#include <cstdio>

#include "game/checkable_draw.h"

const char* const kJournalMagicLine = "tessarine-partida 1";
const char* const kJournalChecksumMark = " #";

uint32_t JournalChecksum(const std::string& text) {  // FNV-1a, 32 bits
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

std::string SealedLine(const std::string& text) {
  char digits[kJournalChecksumDigits + 1];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(JournalChecksum(text)));
  return text + kJournalChecksumMark + digits + "\n";
}

// Bytes below 0x21, '%' and 0x7F as %XX.
std::string EncodedPath(const std::string& path) {
  std::string text;
  for (unsigned char c : path) {
    if (c <= 0x20 || c == '%' || c == 0x7F) {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      text += escape;
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

std::string JournalEventLine(const GameEvent& event) {
  const std::string time = std::to_string(event.time_ms);
  switch (event.kind) {
    case EventKind::kCall:
      return SealedLine("bola " + std::to_string(event.number) + " " + time +
                    (event.drawn ? " azar" : " jaula"));
    case EventKind::kUndo:
      return SealedLine("deshacer " + time);
    case EventKind::kContinue:
      return SealedLine("continuar " + time);
    case EventKind::kConfirm:
    case EventKind::kPassOver:
      break;
  }
  std::string cards;
  for (uint32_t card : event.cards) cards += (cards.empty() ? "" : ",") + std::to_string(card + 1);
  return SealedLine((event.kind == EventKind::kConfirm ? "premio " : "sin-premio ") + time + " " +
                cards);
}

std::string JournalText(const Game& game) {
  std::string text = SealedLine(kJournalMagicLine);
  text += SealedLine("lista " + game.list_sha256 + " " + EncodedPath(game.list_path));
  text += SealedLine("en-juego " +
                 (game.play.count == game.cards.size() ? std::string("todos") : game.play.text));
  text += SealedLine(std::string("premios ") + PlanEntry(PlanOf(game)).journal_name);
  text += SealedLine("inicio " + std::to_string(game.started_ms));
  if (!game.draw_key.empty()) {
    text += SealedLine("clave " + DrawKeyHex(game.draw_key));
    text += SealedLine("compromiso " + CommitmentOf(game.draw_key));
  }
  for (const GameEvent& event : game.events) text += JournalEventLine(event);
  return text;
}

ReplayResult ReplayJournal(const JournalContents& journal, std::vector<ListLine> cards) {
  ReplayResult result;
  NewGameResult made = NewGame(std::move(cards), journal.in_play, journal.plan, journal.list_path,
                               journal.list_sha256, journal.started_ms);
  if (!made.error.empty()) {
    result.error = "línea 3: " + made.error;
    return result;
  }
  result.game = std::move(made.game);
  // The game's key is the journal's, not the one NewGame made; none for an older journal.
  result.game.draw_key = journal.draw_key;
  for (size_t i = 0; i < journal.events.size(); ++i) {
    const std::string refused = PlayEvent(&result.game, journal.events[i]);
    if (!refused.empty()) {
      result.error = "línea " + std::to_string(journal.event_lines[i]) + ": " + refused;
      return result;
    }
  }
  return result;
}
