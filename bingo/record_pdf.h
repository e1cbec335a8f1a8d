// The record of a game ("Acta de la partida") printed: the CSV's lines as a PDF through
// the project's writer, for both bingo windows.
#pragma once
#include <string>

#include "game/game.h"
#include "sheets/sheet_layout.h"

// The record as a document of text lines: what SaveRecordPdf prints.
struct TextDocument;
TextDocument RecordDocument(const Game& game, const std::string& title, Paper paper);

// Written whole or not at all, durably; "" when saved, else why not, in Spanish.
std::string SaveRecordPdf(const Game& game, const std::string& title, Paper paper,
                          const std::string& path);
