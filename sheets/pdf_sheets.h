// Print-ready sheets: the cards of a run in one PDF, four to a page, drawn as vectors and
// real text in the cards' own face (its glyphs' outlines embedded), each labelled
// "Cartón 0001 · código 4730F0CA" with a Code 128 barcode of the code beside it, and the
// caller's board as the last page. Pages are written as they fill, through a callback,
// so memory does not grow with the number of cards; the caller decides where the bytes
// go (a temporary file that replaces the target in one step). The same on Linux and
// Windows, over formats/pdf_writer.h and formats/code128.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "card/card_type.h"
#include "card/layout.h"
#include "draw/draw.h"
#include "sheets/sheet_layout.h"

// Takes the next bytes of the document; false stops it (a full disk, say).
using SheetWriter = bool (*)(void* context, const unsigned char* data, size_t size);

struct SheetOptions {
  Paper paper = Paper::kA4;
  // Series cartones go one series a page, six to it, and the board shows 1 to 90.
  CardType type = CardType::kAnywhere99;
  std::string title;  // UTF-8; at the top of every page when not empty
  SheetWriter write = nullptr;
  void* context = nullptr;
};

struct SheetCard {
  int32_t number = 0;      // the card's file number: "Cartón 0001"
  uint32_t seed_bits = 0;  // its code
  CardLayout layout{};     // the card its seed makes
  Colour colour = 0;       // 0x00BBGGRR
  CardType type = CardType::kAnywhere99;
  int place = 0;          // a series cartón's place, 1..6
  int series_number = 0;  // its series' number in the run, 1, 2, ...
};

struct PdfSheets;

// Null with a Spanish message when the document cannot start (no face, a title
// character the face does not have, nothing written).
struct SheetsBegun {
  PdfSheets* sheets = nullptr;
  std::string error;
};
SheetsBegun BeginSheets(const SheetOptions& options);
// Draws the card in the next place; a full page goes out at once. False (with a message)
// once anything failed; the document is then good only for AbandonSheets.
std::string AddSheetCard(PdfSheets* sheets, const SheetCard& card);
// The last page of cards, the board, and the document's end. Frees the sheets either way.
std::string FinishSheets(PdfSheets* sheets);
// Frees the sheets without finishing the document (what was written is not a PDF).
void AbandonSheets(PdfSheets* sheets);

// "" when the sheets' face draws every character of the text (a title, say); else a
// Spanish message naming the first character it does not have.
std::string SheetFaceLacks(const std::string& text);

// Texts of the sheets.
std::string SheetCardLabel(int32_t number, uint32_t seed_bits);  // "Cartón 0001 · código …"
// "Cartón 0001 · serie 1 · código 4730F0-1" for a series cartón; as above for the others.
std::string SheetCardLabelOf(const SheetCard& card);
extern const char* const kBoardHeading;
