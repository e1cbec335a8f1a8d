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
// A night left for another: its games and money stay for the treasurer.
constexpr const char* kLeftNightStem = "noche-anterior-";
// Copies kept aside in the same second, before the folder is taken to be in trouble.
constexpr int kMostCopiesPerSecond = 100;

}  // namespace

ListFile ReadListFile(const std::string& path) {
  ListFile list;
  CardListFile read = ReadCardList(path);
  list.cards = std::move(read.lines);
  list.error = read.error;
  if (list.error.empty()) list.sha256 = Sha256Hex(read.bytes);
  return list;
}

namespace {
// The saved game file as far as it could be taken: read, its journal parsed, its lists
// read and checked, its events replayed. Only a file replayed whole can be continued.
struct SavedFile {
  bool missing = false;
  bool too_large = false;  // not read: copied in pieces when kept aside
  std::string bytes;
  NightContents contents;
  bool has_game = false;  // a night may hold only the first game's sale
  Game game;              // the last game of the file
  Night night;
  std::string damage;      // what is wrong with the file itself; "" when nothing
  std::string list_error;  // why its list cannot be played against, as the window says it
};

void ReadJournalFile(const std::string& folder, SavedFile* saved) {
  switch (ReadFileBytes(GameFilePath(folder), kMostJournalBytes, &saved->bytes)) {
    case ReadResult::kRead:
      saved->contents = ParseNightJournal(saved->bytes);
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

// The list a game or a sale was saved with, as it was then; else why not, in *error.
ListFile ReadSameList(const std::string& path, const std::string& sha256, std::string* error) {
  ListFile list = ReadListFile(path);
  if (!list.error.empty())
    *error = "No se puede continuar la partida: " + list.error;
  else if (list.sha256 != sha256)
    *error = "No se puede continuar la partida: la lista " + EscapedText(path) +
             " ha cambiado desde que empezó (su SHA-256 no es el mismo)";
  return list;
}

void ReplayGames(SavedFile* saved) {
  const NightContents& night = saved->contents;
  for (size_t at = 0; at < night.games.size() && saved->damage.empty(); ++at) {
    const JournalContents& journal = night.games[at];
    ListFile list = ReadSameList(journal.list_path, journal.list_sha256, &saved->list_error);
    if (!saved->list_error.empty()) return;
    ReplayResult replayed = ReplayJournal(journal, std::move(list.cards));
    saved->damage = replayed.error;
    if (!saved->damage.empty() && night.on)
      saved->damage = "partida " + std::to_string(at + 1) + ": " + saved->damage;
    if (at + 1 < night.games.size() && saved->damage.empty() && !GameOver(replayed.game))
      saved->damage = "la partida " + std::to_string(at + 1) + " no terminó y le sigue otra";
    if (saved->has_game) {
      saved->night.played.push_back(std::move(saved->game));
      saved->night.played_money.push_back(saved->night.money);
    }
    saved->game = std::move(replayed.game);
    saved->night.money = night.money[at];
    saved->has_game = true;
  }
}

void ReadSale(SavedFile* saved) {
  const NightContents& night = saved->contents;
  NightSale& sale = saved->night.sale;
  ListFile list = ReadSameList(night.sale_list_path, night.sale_list_sha256, &saved->list_error);
  if (!saved->list_error.empty()) return;
  const CardsInPlay sold = ParseCardsInPlay(night.sold, list.cards.size());
  if (!sold.error.empty()) {
    saved->damage = "la venta de la partida: " + sold.error;
    return;
  }
  sale.open = true;
  sale.list_path = night.sale_list_path;
  sale.list_sha256 = night.sale_list_sha256;
  sale.cards = std::move(list.cards);
  sale.card_of_code = CardsByCodeOf(sale.cards);
  sale.plan = night.sale_plan;
  sale.money = night.sale_money;
  sale.sold = night.sold.empty() ? std::vector<uint8_t>(sale.cards.size(), 0) : sold.in_play;
  sale.sold_count = night.sold.empty() ? 0 : sold.count;
}

SavedFile ReadSavedFile(const std::string& folder) {
  SavedFile saved;
  ReadJournalFile(folder, &saved);
  if (saved.missing || !saved.damage.empty()) return saved;
  saved.night.on = saved.contents.on;
  saved.night.symbol = saved.contents.symbol;
  ReplayGames(&saved);
  if (saved.damage.empty() && saved.list_error.empty() && saved.contents.sale_open) ReadSale(&saved);
  return saved;
}

bool CanBeKeptAside(const SavedFile& saved) { return !saved.bytes.empty() || saved.too_large; }

// The saved file copied beside it under a name no file has; "" with the copy's path, or
// why it could not be made.
struct KeptAside {
  std::string path;
  std::string error;
};

std::string FreeCopyName(const std::string& folder, const char* copy_stem, int64_t now_ms) {
  const LocalTime now = LocalTimeOf(now_ms);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  const std::string stem = InGameFolder(folder, copy_stem + std::string(stamp));
  std::string existing;
  for (int copy = 1; copy <= kMostCopiesPerSecond; ++copy) {
    const std::string path = stem + (copy == 1 ? "" : "-" + std::to_string(copy)) + ".txt";
    if (ReadFileBytes(path, 0, &existing) == ReadResult::kMissing) return path;
  }
  return "";
}

KeptAside KeepAside(const std::string& folder, const SavedFile& saved, int64_t now_ms,
                    const char* copy_stem = kDamagedStem, const char* what = "la partida dañada") {
  KeptAside kept;
  kept.path = FreeCopyName(folder, copy_stem, now_ms);
  if (kept.path.empty()) {
    kept.error = std::string("no se pudo apartar una copia de ") + what + ": ya hay " +
                 std::to_string(kMostCopiesPerSecond) + " copias apartadas en ese segundo en " +
                 EscapedText(folder);
    return kept;
  }
  const ByteSpan whole{saved.bytes.data(), saved.bytes.size()};
  // Either way durable when it returns: the folder's entry is flushed with the file.
  const SaveError error = saved.too_large ? CopyFileInPieces(GameFilePath(folder), kept.path)
                                          : ReplaceFileWith(kept.path, &whole, 1);
  if (error != SaveError::kNone)
    kept.error = std::string("no se pudo apartar una copia de ") + what + " en " + EscapedText(kept.path);
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

// A night with a game played or a cartón sold: what the treasurer needs of it.
bool NightWorthKeeping(const SavedFile& saved) {
  return saved.night.on &&
         (saved.has_game || !saved.night.played.empty() || saved.night.sale.sold_count > 0);
}

}  // namespace

std::string MakeRoomForNewGame(const std::string& folder, int64_t now_ms) {
  const SavedFile saved = ReadSavedFile(folder);
  if (saved.missing) return "";
  if (saved.damage.empty() && saved.list_error.empty()) {
    if (!NightWorthKeeping(saved)) return "";
    const KeptAside kept = KeepAside(folder, saved, now_ms, kLeftNightStem, "la noche anterior");
    return kept.error.empty() ? "" : "No se empieza otra partida: " + kept.error;
  }
  if (!CanBeKeptAside(saved))
    return "No se empieza otra partida: " + DamageWhat(folder, saved) +
           " y no se puede apartar una copia. No se ha tocado.";
  const KeptAside kept = KeepAside(folder, saved, now_ms);
  return kept.error.empty() ? "" : "No se empieza otra partida: " + kept.error;
}

namespace {
// A night is offered until another begins, its sale or its game in play named.
void NightOffer(const SavedFile& file, SavedGame* saved) {
  const size_t games = GamesOfNight(file.night, file.has_game);
  saved->night = true;
  if (file.night.sale.open) {
    saved->list_path = file.night.sale.list_path;
    const size_t sold = file.night.sale.sold_count;
    saved->offer = "Continuar la noche: venta de la partida " + std::to_string(games + 1) + " (" +
                   std::to_string(sold) + (sold == 1 ? " cartón vendido)" : " cartones vendidos)");
  } else if (!saved->over) {
    saved->offer = "Continuar la noche: partida " + std::to_string(games) + ", " +
                   saved->offer.substr(std::string("Continuar la ").size());
  } else {
    saved->offer = "Continuar la noche (" + std::to_string(games) +
                   (games == 1 ? " partida jugada)" : " partidas jugadas)");
  }
  saved->over = false;
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
  if (file.night.on) NightOffer(file, &saved);
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
  session->night = Night();
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
  session->night = std::move(saved.night);
  session->state = saved.has_game ? SessionState::kPlaying : SessionState::kFolderOpen;
  if (!saved.has_game || Selling(*session) || GameOver(session->game)) return "";
  // The continuation is part of the record: the game goes on only once it is saved.
  const std::string failed = CommitEvent(session, ContinueEvent(now_ms));
  if (!failed.empty()) session->state = SessionState::kFolderOpen;
  return failed;
}
