// Starting, continuing and playing a saved game. A saved file that cannot be read as a
// journal is never overwritten: a copy is put aside first, under a name of its own.
#include <cstdio>

#include "text/quoted_text.h"
#include "formats/card_list.h"
#include "disk/file_system.h"
#include "disk/read_file.h"
#include "disk/read_file_saying.h"
#include "game/game_clock.h"
#include "game/journal.h"
#include "game/session.h"
#include "game/sha256.h"

namespace {
// A game's journal is a few kilobytes; anything far larger is no journal of ours.
constexpr size_t kMostJournalBytes = 1u << 20;
constexpr const char* kDamagedStem = "partida-dañada-";

struct ReadJournal {
  bool missing = false;
  std::string bytes;
  JournalContents contents;  // contents.error says what is wrong
};

ReadJournal ReadSavedJournal(const std::string& folder) {
  ReadJournal read;
  switch (ReadFileBytes(GameFilePath(folder), kMostJournalBytes, &read.bytes)) {
    case ReadResult::kRead:
      read.contents = ParseJournal(read.bytes);
      return read;
    case ReadResult::kMissing:
      read.missing = true;
      return read;
    case ReadResult::kTooLarge:
      read.contents.error = "es demasiado grande para ser una partida";
      return read;
    default:
      read.contents.error = "no se pudo leer";
      return read;
  }
}

struct ListFile {
  std::vector<ListLine> cards;
  std::string sha256;
  std::string error;
};

ListFile ReadListFile(const std::string& path) {
  ListFile list;
  CardListFile read = ReadCardList(path);
  list.cards = std::move(read.lines);
  list.error = read.error;
  if (list.error.empty()) list.sha256 = Sha256Hex(read.bytes);
  return list;
}

// The damaged file's bytes, copied beside it under a name no file has; "" with the
// copy's path, or why it could not be made.
struct KeptAside {
  std::string path;
  std::string error;
};

KeptAside KeepAside(const std::string& folder, const std::string& bytes, int64_t now_ms) {
  const LocalTime now = LocalTimeOf(now_ms);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  const std::string stem = InGameFolder(folder, kDamagedStem + std::string(stamp));
  KeptAside kept;
  std::string existing;
  for (int copy = 1;; ++copy) {
    kept.path = stem + (copy == 1 ? "" : "-" + std::to_string(copy)) + ".txt";
    if (ReadFileBytes(kept.path, 0, &existing) == ReadResult::kMissing) break;
  }
  const ByteSpan whole{bytes.data(), bytes.size()};
  SaveError error = ReplaceFileWith(kept.path, &whole, 1);
  if (error == SaveError::kNone) error = FlushFolder(folder);
  if (error != SaveError::kNone)
    kept.error = "no se pudo apartar una copia de la partida dañada en " + EscapedText(kept.path);
  return kept;
}

std::string DamageText(const std::string& folder, const ReadJournal& read, int64_t now_ms) {
  const std::string what = "El archivo de la partida " + EscapedText(GameFilePath(folder)) +
                           " está dañado (" + read.contents.error + ")";
  if (read.bytes.empty() && !read.missing)
    return what + ". No se ha tocado.";
  const KeptAside kept = KeepAside(folder, read.bytes, now_ms);
  if (!kept.error.empty()) return what + ", y " + kept.error + ". No se ha tocado.";
  return what + ". No se ha tocado, y se ha guardado una copia aparte en " +
         EscapedText(kept.path) + ".";
}
}  // namespace

SavedGame LookForSavedGame(const std::string& folder) {
  SavedGame saved;
  const ReadJournal read = ReadSavedJournal(folder);
  if (read.missing) return saved;
  if (!read.contents.error.empty()) {
    saved.state = SavedGameState::kDamaged;
    saved.error = read.contents.error;
    return saved;
  }
  saved.state = SavedGameState::kFound;
  saved.started_ms = read.contents.started_ms;
  // The prizes given on each standing ball: an undo takes its ball's prizes back.
  std::vector<size_t> prizes_on_ball;
  size_t prizes = 0;
  for (const GameEvent& event : read.contents.events) {
    if (event.kind == EventKind::kCall) prizes_on_ball.push_back(0);
    if (event.kind == EventKind::kUndo && !prizes_on_ball.empty()) {
      prizes -= prizes_on_ball.back();
      prizes_on_ball.pop_back();
    }
    if (event.kind == EventKind::kConfirm && !prizes_on_ball.empty()) {
      ++prizes_on_ball.back();
      ++prizes;
    }
  }
  saved.balls = prizes_on_ball.size();
  saved.over = prizes >= (read.contents.plan == PrizePlan::kLineThenBingo ? 2u : 3u);
  saved.offer = "Continuar la partida de las " + HourMinuteText(LocalTimeOf(saved.started_ms)) +
                " (" + std::to_string(saved.balls) + (saved.balls == 1 ? " bola)" : " bolas)");
  return saved;
}

std::string StartNewGame(GameSession* session, const std::string& list_path,
                         const std::string& in_play, PrizePlan plan, int64_t now_ms) {
  if (session->lock.handle < 0) return kFolderNotOpenText;
  ListFile list = ReadListFile(list_path);
  if (!list.error.empty()) return list.error;
  NewGameResult made =
      NewGame(std::move(list.cards), in_play, plan, list_path, list.sha256, now_ms);
  if (!made.error.empty()) return made.error;
  const ReadJournal read = ReadSavedJournal(session->folder);
  if (!read.missing && !read.contents.error.empty() && !read.bytes.empty()) {
    const KeptAside kept = KeepAside(session->folder, read.bytes, now_ms);
    if (!kept.error.empty()) return "No se empieza otra partida: " + kept.error;
  }
  const std::string text = JournalText(made.game);
  const ByteSpan whole{text.data(), text.size()};
  SaveError error = ReplaceFileWith(GameFilePath(session->folder), &whole, 1);
  if (error == SaveError::kNone) error = FlushFolder(session->folder);
  if (error != SaveError::kNone)
    return "No se pudo guardar la partida en " + EscapedText(GameFilePath(session->folder));
  session->game = std::move(made.game);
  session->has_game = true;
  return "";
}

std::string ContinueSavedGame(GameSession* session) {
  if (session->lock.handle < 0) return kFolderNotOpenText;
  const ReadJournal read = ReadSavedJournal(session->folder);
  if (read.missing) return "No hay ninguna partida guardada que continuar";
  if (!read.contents.error.empty()) return DamageText(session->folder, read, NowMilliseconds());
  ListFile list = ReadListFile(read.contents.list_path);
  if (!list.error.empty()) return "No se puede continuar la partida: " + list.error;
  if (list.sha256 != read.contents.list_sha256)
    return "No se puede continuar la partida: la lista " + EscapedText(read.contents.list_path) +
           " ha cambiado desde que empezó (su SHA-256 no es el mismo)";
  ReplayResult replayed = ReplayJournal(read.contents, std::move(list.cards));
  if (!replayed.error.empty()) {
    ReadJournal damaged = read;
    damaged.contents.error = replayed.error;
    return DamageText(session->folder, damaged, NowMilliseconds());
  }
  session->game = std::move(replayed.game);
  session->has_game = true;
  return "";
}
