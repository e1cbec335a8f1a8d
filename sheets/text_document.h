// A printed document of lines of text in the sheets' faces: a title at the top of the
// first page, then lines of cells set at fixed columns, as many pages as they need. What
// a record of a game prints as; the same bytes from Linux and Windows (glyph outlines
// aside), through the caller's writer as the sheets are.
#pragma once
#include <string>
#include <vector>

#include "sheets/pdf_sheets.h"

struct TextDocumentLine {
  std::vector<std::string> cells;  // UTF-8; cell i starts at column i
  bool bold = false;               // a heading
};

struct TextDocument {
  Paper paper = Paper::kA4;
  std::string title;               // the first page's heading and the PDF's title
  std::vector<double> columns_mm;  // where each cell starts, from the left margin
  std::vector<TextDocumentLine> lines;
};

// "" when the whole document went out through `write`; else why not, in Spanish.
std::string WriteTextDocument(const TextDocument& document, SheetWriter write, void* context);
