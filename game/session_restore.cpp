// Starting and continuing a saved game. A saved file is read back by replaying it whole;
// one that cannot be (unreadable, too large, a line damaged, an event against the rules,
// its list gone) is never offered and never overwritten: a copy is put aside first.
#include <cstdio>

#include "text/quoted_text.h"
#include "formats/card_list.h"
#include "disk/file_system.h"
#include "disk/read_file.h"
#include "disk/read_file_saying.h"
#include "game/file_copy.h"
#include "game/game_clock.h"
#include "game/game_file.h"
#include "game/journal.h"
#include "game/session.h"
#include "game/sha256.h"

namespace {
// A game's journal is a few kilobytes; anything far larger is no journal of ours.
constexpr size_t kMostJournalBytes = 1u << 20;
constexpr const char* kDamagedStem = "partida-dañada-";
// Copies kept aside in the same second, before the folder is taken to be in trouble.
constexpr int kMostCopiesPerSecond = 100;

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

// The saved game file as far as it could be taken: read, its journal parsed, its list
// read and checked, its events replayed. Only a file replayed whole can be continued.
struct SavedFile {
  bool missing = false;
  bool too_large = false;  // not read: copied in pieces when kept aside
  std::string bytes;
  JournalContents contents;
  Game game;
  std::string damage;      // what is wrong with the file itself; "" when nothing
  std::string list_error;  // why its list cannot be played against, as the window says it
};

void ReadJournalFile(const std::string& folder, SavedFile* saved) {
  switch (ReadFileBytes(GameFilePath(folder), kMostJournalBytes, &saved->bytes)) {
    case ReadResult::kRead:
      saved->contents = ParseJournal(saved->bytes);
      saved->damage = saved->contents.error;
      return;
    case ReadResult::kMissing:
      saved->missing = true;
      return;
    case ReadResult::kTooLarge:
      saved->too_large = true;
      saved->damage = "es demasiado grande para ser una partida";
      return;
    default:
      saved->damage = "no se pudo leer";
      return;
  }
}

SavedFile ReadSavedFile(const std::string& folder) {
  SavedFile saved;
  ReadJournalFile(folder, &saved);
  if (saved.missing || !saved.damage.empty()) return saved;
  const JournalContents& journal = saved.contents;
  ListFile list = ReadListFile(journal.list_path);
  if (!list.error.empty()) {
    saved.list_error = "No se puede continuar la partida: " + list.error;
  } else if (list.sha256 != journal.list_sha256) {
    saved.list_error = "No se puede continuar la partida: la lista " +
                       EscapedText(journal.list_path) +
                       " ha cambiado desde que empezó (su SHA-256 no es el mismo)";
  } else {
    ReplayResult replayed = ReplayJournal(journal, std::move(list.cards));
    saved.damage = replayed.error;
    saved.game = std::move(replayed.game);
  }
  return saved;
}

bool CanBeKeptAside(const SavedFile& saved) { return !saved.bytes.empty() || saved.too_large; }

// The saved file copied beside it under a name no file has; "" with the copy's path, or
// why it could not be made.
struct KeptAside {
  std::string path;
  std::string error;
};

std::string FreeCopyName(const std::string& folder, int64_t now_ms) {
  const LocalTime now = LocalTimeOf(now_ms);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  const std::string stem = InGameFolder(folder, kDamagedStem + std::string(stamp));
  std::string existing;
  for (int copy = 1; copy <= kMostCopiesPerSecond; ++copy) {
    const std::string path = stem + (copy == 1 ? "" : "-" + std::to_string(copy)) + ".txt";
    if (ReadFileBytes(path, 0, &existing) == ReadResult::kMissing) return path;
  }
  return "";
}

KeptAside KeepAside(const std::string& folder, const SavedFile& saved, int64_t now_ms) {
  KeptAside kept;
  kept.path = FreeCopyName(folder, now_ms);
  if (kept.path.empty()) {
    kept.error = "no se pudo apartar una copia de la partida dañada: ya hay " +
                 std::to_string(kMostCopiesPerSecond) + " copias apartadas en ese segundo en " +
                 EscapedText(folder);
    return kept;
  }
  const ByteSpan whole{saved.bytes.data(), saved.bytes.size()};
  // Either way durable when it returns: the folder's entry is flushed with the file.
  const SaveError error = saved.too_large ? CopyFileInPieces(GameFilePath(folder), kept.path)
                                          : ReplaceFileWith(kept.path, &whole, 1);
  if (error != SaveError::kNone)
    kept.error = "no se pudo apartar una copia de la partida dañada en " + EscapedText(kept.path);
  return kept;
}

std::string DamageWhat(const std::string& folder, const SavedFile& saved) {
  return "El archivo de la partida " + EscapedText(GameFilePath(folder)) + " está dañado (" +
         saved.damage + ")";
}

std::string DamageText(const std::string& folder, const SavedFile& saved, int64_t now_ms) {
  const std::string what = DamageWhat(folder, saved);
  if (!CanBeKeptAside(saved)) return what + ". No se ha tocado.";
  const KeptAside kept = KeepAside(folder, saved, now_ms);
  if (!kept.error.empty()) return what + ", y " + kept.error + ". No se ha tocado.";
  return what + ". No se ha tocado, y se ha guardado una copia aparte en " +
         EscapedText(kept.path) + ".";
}

// "" when the saved file may be replaced: there is none, it is a game that can be
// continued, or a copy of it has been kept aside first.
std::string MakeRoomForNewGame(const std::string& folder, int64_t now_ms) {
  const SavedFile saved = ReadSavedFile(folder);
  if (saved.missing || (saved.damage.empty() && saved.list_error.empty())) return "";
  if (!CanBeKeptAside(saved))
    return "No se empieza otra partida: " + DamageWhat(folder, saved) +
           " y no se puede apartar una copia. No se ha tocado.";
  const KeptAside kept = KeepAside(folder, saved, now_ms);
  return kept.error.empty() ? "" : "No se empieza otra partida: " + kept.error;
}
}  // namespace

SavedGame LookForSavedGame(const std::string& folder) {
  SavedGame saved;
  const SavedFile file = ReadSavedFile(folder);
  if (file.missing) return saved;
  if (!file.damage.empty() || !file.list_error.empty()) {
    saved.state = SavedGameState::kDamaged;
    saved.error = file.damage.empty() ? file.list_error : file.damage;
    return saved;
  }
  saved.state = SavedGameState::kFound;
  saved.list_path = file.game.list_path;
  saved.started_ms = file.game.started_ms;
  saved.balls = file.game.standing.size();
  saved.over = GameOver(file.game);
  saved.offer = "Continuar la partida de las " + HourMinuteText(LocalTimeOf(saved.started_ms)) +
                " (" + std::to_string(saved.balls) + (saved.balls == 1 ? " bola)" : " bolas)");
  return saved;
}

std::string StartNewGame(GameSession* session, const std::string& list_path,
                         const std::string& in_play, PrizePlan plan, int64_t now_ms) {
  if (session->state == SessionState::kClosed) return kFolderNotOpenText;
  ListFile list = ReadListFile(list_path);
  if (!list.error.empty()) return list.error;
  NewGameResult made =
      NewGame(std::move(list.cards), in_play, plan, list_path, list.sha256, now_ms);
  if (!made.error.empty()) return made.error;
  const std::string no_room = MakeRoomForNewGame(session->folder, now_ms);
  if (!no_room.empty()) return no_room;
  const std::string failed = SaveGameFile(session->folder, JournalText(made.game));
  if (!failed.empty()) return failed;
  session->game = std::move(made.game);
  session->state = SessionState::kPlaying;
  return "";
}

std::string ContinueSavedGame(GameSession* session, int64_t now_ms) {
  if (session->state == SessionState::kClosed) return kFolderNotOpenText;
  SavedFile saved = ReadSavedFile(session->folder);
  if (saved.missing) return "No hay ninguna partida guardada que continuar";
  if (!saved.damage.empty()) return DamageText(session->folder, saved, now_ms);
  if (!saved.list_error.empty()) return saved.list_error;
  session->game = std::move(saved.game);
  session->state = SessionState::kPlaying;
  // The continuation is part of the record: the game goes on only once it is saved.
  const std::string failed = CommitEvent(session, ContinueEvent(now_ms));
  if (!failed.empty()) session->state = SessionState::kFolderOpen;
  return failed;
}
