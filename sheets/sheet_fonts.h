// The sheets' two faces as fonts of the PDF: the cards' face in bold, emboldened by the
// cards' rule at the cards' number em so that the printed digits have the card's weight
// (the digits, the title, the board), and in regular weight (the labels). A character
// goes into its font from the face's own outline the first time it is written.
#pragma once
#include <cstdint>
#include <string>

#include "draw/glyph_outline.h"
#include "formats/pdf_writer.h"

constexpr int32_t kSheetBoldWeight = 700, kSheetRegularWeight = 400;

struct SheetFace {
  OutlineFace* outline = nullptr;
  OutlineFaceMetrics metrics;
  int font = -1;  // in the document's fonts
  std::string resource;  // its name in the pages' resources, "/F1"
};

struct SheetFaces {
  SheetFace bold, regular;
  double number_em = 0;      // the numbers' em in card pixels (lfHeight -53 for 40 points)
  double number_ascent = 0;  // cell top to baseline, in card pixels, as the card rounds it
};

// "" when both faces are open and have their fonts in the document; else why not.
std::string OpenSheetFaces(SheetFaces* faces, PdfDocument* document);
void CloseSheetFaces(SheetFaces* faces);

// Text in a face: the codes to show, as a PDF hexadecimal string, and its advance in ems.
struct SheetText {
  std::string codes;
  double width = 0;
  std::string error;  // a character the face does not have, named; "" when all are there
};
SheetText EncodeSheetText(SheetFace* face, PdfDocument* document, const std::string& utf8);

// Codes of a face's font shown at `size` points with their baseline's left end at
// (x, baseline), on a page whose y runs down: the text matrix turns the glyphs upright.
void ShowCodes(std::string* out, const SheetFace& face, double size, double x, double baseline,
               const std::string& codes);

// "la letra de las hojas (Tahoma) no tiene el carácter «☃» (U+2603)".
std::string MissingCharacterText(uint32_t character);

// Ascent and descent of a face in ems, as Windows reports them.
double AscentEms(const SheetFace& face);
double DescentEms(const SheetFace& face);
