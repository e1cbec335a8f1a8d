// The session: every event checked on the game, written with the whole journal by the
// project's durable replacement, the folder's entry flushed (the lock's batch would
// otherwise leave that to the unlock), and only then applied to the game in memory.
#include "game/session.h"

#include "text/quoted_text.h"
#include "formats/card_list.h"
#include "disk/file_system.h"
#include "disk/save_error_text.h"
#include "game/game_file.h"
#include "game/journal.h"

const char* const kGameFileName = "partida.txt";
const char* const kNoGameText = "No hay ninguna partida abierta";
const char* const kFolderNotOpenText = "La carpeta de la partida no está abierta";
const char* const kSellingText =
    "Se están vendiendo los cartones de la siguiente partida: empiécela antes de sacar bolas";

std::string InGameFolder(const std::string& folder, const std::string& name) {
  return PathInFolder(folder, name);
}

std::string GameFilePath(const std::string& folder) { return InGameFolder(folder, kGameFileName); }

std::string SaveGameFile(const std::string& folder, const std::string& bytes) {
  const std::string path = GameFilePath(folder);
  const ByteSpan whole{bytes.data(), bytes.size()};
  // Durable when it returns: ReplaceFileWith flushes the folder's entry too.
  const SaveError error = ReplaceFileWith(path, &whole, 1);
  if (error == SaveError::kNone) return "";
  const std::string why = SaveErrorText(error);
  return "No se pudo guardar la partida en " + EscapedText(path) +
         (why.empty() ? "" : " (" + why + ")");
}

std::string CommitEvent(GameSession* session, const GameEvent& event) {
  if (!HasGame(*session)) return kNoGameText;
  if (Selling(*session)) return kSellingText;
  const std::string refused = CheckEvent(session->game, event);
  if (!refused.empty()) return refused;
  const std::string failed =
      SaveGameFile(session->folder, NightJournalText(session->night, &session->game) +
                                        JournalEventLine(event));
  if (!failed.empty())
    return failed + (event.kind == EventKind::kContinue
                         ? ": la partida no se continúa hasta que se guarde"
                         : ": la bola no cuenta hasta que se guarde");
  return PlayEvent(&session->game, event);
}

namespace {

// Each missing folder from the top down; the last one must then be there.
void MakeFolders(const std::string& folder) {
  for (size_t at = 1; at <= folder.size(); ++at)
    if (at == folder.size() || folder[at] == '/' || folder[at] == '\\')
      MakeFolder(folder.substr(0, at));
}

}  // namespace

bool HasGame(const GameSession& session) { return session.state == SessionState::kPlaying; }

std::string OpenGameFolder(const std::string& folder, GameSession* session) {
  MakeFolders(folder);
  switch (LockFolder(folder, &session->lock)) {
    case FolderLockResult::kLocked:
      session->folder = folder;
      session->state = SessionState::kFolderOpen;
      return "";
    case FolderLockResult::kInUse:
      return "Esta partida ya está abierta en otra ventana: " + EscapedText(folder);
    case FolderLockResult::kUnavailable:
      break;
  }
  return "No se puede guardar la partida en " + EscapedText(folder) +
         " (la carpeta no existe o no se puede escribir)";
}

void CloseGameFolder(GameSession* session) {
  UnlockFolder(&session->lock);
  session->state = SessionState::kClosed;
}

SessionDraw DrawAndCall(GameSession* session, int64_t now_ms) {
  SessionDraw drawn;
  if (!HasGame(*session)) {
    drawn.error = kNoGameText;
    return drawn;
  }
  const BallDraw ball = DrawBall(session->game);
  drawn.error = ball.error;
  if (drawn.error.empty()) drawn.error = CommitEvent(session, CallEvent(ball.number, now_ms, true));
  if (drawn.error.empty()) drawn.number = ball.number;
  return drawn;
}

std::string MarkCalled(GameSession* session, int number, int64_t now_ms) {
  return CommitEvent(session, CallEvent(number, now_ms, false));
}

std::string UndoLastCall(GameSession* session, int64_t now_ms) {
  return CommitEvent(session, UndoEvent(now_ms));
}

std::string ConfirmPrize(GameSession* session, const std::vector<uint32_t>& cards, int64_t now_ms) {
  return CommitEvent(session, ConfirmEvent(cards, now_ms));
}

std::string PassOverPrize(GameSession* session, const std::vector<uint32_t>& cards, int64_t now_ms) {
  return CommitEvent(session, PassOverEvent(cards, now_ms));
}
