// The one way the game file is written: whole, in one step, its folder's entry flushed
// (the lock's batch would otherwise leave that to the unlock).
#pragma once
#include <string>

#include "game/session.h"

// "" when saved; else "No se pudo guardar la partida en PATH (why)".
std::string SaveGameFile(const std::string& folder, const std::string& bytes);

// The event checked, the journal with it saved, and only then the event played; else
// why not, and nothing changed.
std::string CommitEvent(GameSession* session, const GameEvent& event);
