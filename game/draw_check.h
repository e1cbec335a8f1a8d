// The check of a game's draw from its record alone, as anyone can make it after the game:
// the key against the commitment, then every ball drawn by the program against the one
// the key gives for it (game/checkable_draw.h). Balls from a cage are not the key's and
// are only counted.
#pragma once
#include <string>
#include <vector>

#include "game/record.h"

enum class DrawVerdictKind {
  kCorrect,      // the key is the commitment's and every drawn ball is the key's
  kWrong,        // the key or a ball does not match: the text says which
  kUncheckable,  // the record has no key (the game was not over) or no checkable draw
};
struct DrawVerdict {
  DrawVerdictKind kind = DrawVerdictKind::kUncheckable;
  std::string text;  // "El sorteo es correcto: 37 bolas al azar, comprobadas con la clave."
};
DrawVerdict CheckDrawRecord(const std::vector<RecordRow>& rows);
