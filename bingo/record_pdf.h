// The record of a game ("Acta de la partida") printed: the CSV's lines as a PDF through
// the project's writer, for both bingo windows.
#pragma once
#include <string>

#include "game/game.h"
#include "game/night.h"
#include "sheets/sheet_layout.h"

// The record as a document of text lines: what SaveRecordPdf prints.
struct TextDocument;
TextDocument RecordDocument(const Game& game, const std::string& title, Paper paper);

// Written whole or not at all, durably; "" when saved, else why not, in Spanish.
std::string SaveRecordPdf(const Game& game, const std::string& title, Paper paper,
                          const std::string& path);

// Any record's document written whole or not at all, durably, as SaveRecordPdf does.
std::string SaveDocumentPdf(const TextDocument& document, const std::string& path);

// The record of a night ("Acta de la noche", game/record.h) printed from its CSV's rows:
// each game's record, then its money, then the night's totals.
TextDocument NightRecordDocument(const Night& night, const Game* game, const std::string& title,
                                 Paper paper);
// NAME.pdf and NAME.csv of the night, as SaveRecordFiles does for one game.
std::string SaveNightRecordFiles(const Night& night, const Game* game, const std::string& title,
                                 const std::string& chosen);

// Where the record of a game on a list is offered: beside the list, as
// "acta-LIST.pdf", with the list's name (less its ending) as the title.
struct RecordNaming {
  std::string folder;   // the list's, with its separator; "" when the list has none
  std::string title;    // "noche" for noche.csv
  std::string offered;  // "acta-noche.pdf"
};
RecordNaming RecordNamingOf(const std::string& list_path);

// Both files of the record under the one name chosen, less a .pdf or .csv ending (either
// case): NAME.pdf, then NAME.csv. What to tell the organiser either way.
std::string SaveRecordFiles(const Game& game, const std::string& title, const std::string& chosen);
