// The sheets of a run streamed into a PDF file that appears whole or not at all: pages
// go into a temporary beside the target as they fill, and the temporary replaces the
// target in one step, flushed to the disk, only when the document is finished.
#pragma once
#include <string>

#include "disk/file_system.h"
#include "sheets/pdf_sheets.h"

struct PdfFile {
  FileReplacement file;
  PdfSheets* sheets = nullptr;
  int32_t cards = 0;
  std::string error;  // why the sheets stopped, when they did not fail on the file
};

// False when the target cannot be replaced (file.error says why) or the sheets cannot
// start (error says why); nothing is left behind then.
bool BeginPdfFile(const std::string& path, Paper paper, const std::string& title,
                  PdfFile* pdf, CardType type = CardType::kAnywhere99);
// False once anything failed; later cards are then passed over.
bool AddPdfCard(PdfFile* pdf, const SheetCard& card);
// The board and the document's end, and the file put in place. False when it is not.
bool FinishPdfFile(PdfFile* pdf);
// The temporary removed; an earlier file of the name stays as it was.
void AbandonPdfFile(PdfFile* pdf);
// The pages of a document of that many cards: four cards a page (a series, six, a page),
// then the board.
int32_t PdfPages(int32_t cards, CardType type = CardType::kAnywhere99);
