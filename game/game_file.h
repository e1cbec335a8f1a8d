// The one way the game file is written: whole, in one step, its folder's entry flushed
// (the lock's batch would otherwise leave that to the unlock).
#pragma once
#include <string>

// "" when saved; else "No se pudo guardar la partida en PATH (why)".
std::string SaveGameFile(const std::string& folder, const std::string& bytes);
