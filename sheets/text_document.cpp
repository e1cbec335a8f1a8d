// Lines go down the page at a fixed leading; a line that would cross the bottom margin
// starts a new page. A line with fewer cells than columns leaves the rest blank; a cell
// past the last column starts at the last one.
#include "sheets/text_document.h"

#include <algorithm>

#include "formats/pdf_writer.h"
#include "sheets/sheet_fonts.h"
#include "sheets/sheet_layout.h"

namespace {
constexpr double kTextPoints = 10;
constexpr double kTitleTextPoints = 16;
constexpr double kLeading = 1.45;  // of the text size, line to line
constexpr double kMarginMm = 15;
constexpr double kPointsPerMm = 72 / 25.4;

struct TextPages {
  PdfDocument pdf;
  SheetFaces faces;
  double width = 0, height = 0, margin = 0;
  double baseline = 0;  // of the last line written, down from the page's top
  std::string page;
};

void StartPage(TextPages* t) {
  t->page = "1 0 0 -1 0 ";
  AppendPdfNumber(&t->page, t->height);
  t->page += " cm\n";
  t->baseline = t->margin;
}

void EndPage(TextPages* t) { AddPdfPage(&t->pdf, t->width, t->height, t->page); }

// The line's cells at their columns; "" or the character a face lacks.
std::string WriteLine(TextPages* t, const TextDocument& document, const TextDocumentLine& line,
                      double size) {
  if (t->baseline + size * kLeading > t->height - t->margin) {
    EndPage(t);
    StartPage(t);
  }
  t->baseline += size * kLeading;
  SheetFace* face = line.bold ? &t->faces.bold : &t->faces.regular;
  for (size_t i = 0; i < line.cells.size(); ++i) {
    if (line.cells[i].empty()) continue;
    const SheetText text = EncodeSheetText(face, &t->pdf, line.cells[i]);
    if (!text.error.empty()) return text.error;
    const size_t column = document.columns_mm.empty() ? 0 : std::min(i, document.columns_mm.size() - 1);
    const double x =
        t->margin + (document.columns_mm.empty() ? 0 : document.columns_mm[column] * kPointsPerMm);
    ShowCodes(&t->page, *face, size, x, t->baseline, text.codes);
  }
  return "";
}

std::string WriteLines(TextPages* t, const TextDocument& document) {
  StartPage(t);
  if (!document.title.empty()) {
    TextDocumentLine title;
    title.cells.push_back(document.title);
    title.bold = true;
    const std::string error = WriteLine(t, document, title, kTitleTextPoints);
    if (!error.empty()) return error;
  }
  for (const TextDocumentLine& line : document.lines) {
    const std::string error = WriteLine(t, document, line, kTextPoints);
    if (!error.empty()) return error;
    if (!t->pdf.failure.empty()) return t->pdf.failure;
  }
  EndPage(t);
  return t->pdf.failure;
}
}  // namespace

std::string WriteTextDocument(const TextDocument& document, SheetWriter write, void* context) {
  TextPages t;
  const SheetLayout layout = LayoutSheets(document.paper);
  t.width = layout.page_width;
  t.height = layout.page_height;
  t.margin = kMarginMm * kPointsPerMm;
  std::string error = BeginPdf(&t.pdf, write, context);
  if (error.empty()) error = OpenSheetFaces(&t.faces, &t.pdf);
  if (error.empty()) error = WriteLines(&t, document);
  if (error.empty()) error = FinishPdf(&t.pdf, document.title);
  CloseSheetFaces(&t.faces);
  return error;
}
