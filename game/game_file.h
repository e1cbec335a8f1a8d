// The one way the game file is written: whole, in one step, its folder's entry flushed
// (the lock's batch would otherwise leave that to the unlock).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/session.h"

// "" when saved; else "No se pudo guardar la partida en PATH (why)".
std::string SaveGameFile(const std::string& folder, const std::string& bytes);

// The event checked, the journal with it saved, and only then the event played; else
// why not, and nothing changed.
std::string CommitEvent(GameSession* session, const GameEvent& event);

struct ListFile {
  std::vector<ListLine> cards;
  std::string sha256;
  std::string error;
};
// A card list read and checked, with the SHA-256 of its bytes.
ListFile ReadListFile(const std::string& path);

// "" when the saved file may be replaced: there is none, it is a game that can be
// continued, or a copy of it has been kept aside first (a damaged file, or a night with a
// game played or a cartón sold: "noche-anterior-20261210-201400.txt").
std::string MakeRoomForNewGame(const std::string& folder, int64_t now_ms);
