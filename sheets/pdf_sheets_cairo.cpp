// The sheets over cairo's PDF surface. A card is drawn in its own pixel coordinates,
// scaled onto the page: every blank cell a square of the card colour, every number cell
// a ring one card pixel wide in that colour with the two digits placed where the card
// renderer places them; the white between cells is the paper. A page goes out with
// cairo_show_page as soon as its fourth card is drawn.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <new>

#include "card/renderer.h"
#include "sheets/card_face.h"
#include "sheets/pdf_sheets.h"

struct PdfSheets {
  SheetOptions options;
  SheetLayout layout;
  SheetFaces faces;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  int on_page = 0;  // cards drawn on the page under way
  Colour colour = kDefaultCardColour;  // of the last card, for the board's empty cell
  bool write_failed = false;
};

namespace {
constexpr double kLabelPoints = 9;
constexpr double kTitlePoints = 14;
constexpr double kHeadingPoints = 16;
constexpr double kLabelGrey = 0.25;
constexpr double kCutGrey = 0.75;
constexpr double kCutWidth = 0.4;
constexpr double kCutDash = 3;
constexpr double kBoardLine = 0.75;
constexpr double kBoardNumberShare = 0.45;  // of a board cell's side
constexpr double kBoardInk = 0.15;

cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length) {
  auto* sheets = static_cast<PdfSheets*>(closure);
  if (sheets->write_failed) return CAIRO_STATUS_WRITE_ERROR;
  if (!sheets->options.write(sheets->options.context, data, length)) {
    sheets->write_failed = true;
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

void SetColour(cairo_t* cr, Colour colour) {
  const uint32_t c = static_cast<uint32_t>(colour);
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                       ((c >> 16) & 0xFF) / 255.0);
}

// Text centred on a point of its baseline.
void CentredText(cairo_t* cr, const std::string& text, double centre_x, double baseline) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_move_to(cr, centre_x - extents.x_advance / 2, baseline);
  cairo_show_text(cr, text.c_str());
}

// Centred in a band, the font's ascent and descent split evenly about its middle.
void TextInBand(cairo_t* cr, const std::string& text, const SheetRect& band) {
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const double baseline = band.y + (band.height + font.ascent - font.descent) / 2;
  CentredText(cr, text, band.x + band.width / 2, baseline);
}

void DrawTitle(PdfSheets* s) {
  if (s->options.title.empty()) return;
  cairo_t* cr = s->cr;
  cairo_set_font_face(cr, s->faces.bold);
  cairo_set_font_size(cr, kTitlePoints);
  cairo_set_source_rgb(cr, 0, 0, 0);
  TextInBand(cr, s->options.title, s->layout.title);
}

void DrawCutMark(PdfSheets* s, double y) {
  cairo_t* cr = s->cr;
  cairo_save(cr);
  cairo_set_source_rgb(cr, kCutGrey, kCutGrey, kCutGrey);
  cairo_set_line_width(cr, kCutWidth);
  const double dash[] = {kCutDash, kCutDash};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_move_to(cr, s->layout.margin, y);
  cairo_line_to(cr, s->layout.page_width - s->layout.margin, y);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawCard(PdfSheets* s, const SheetCard& card, const SheetRect& place) {
  cairo_t* cr = s->cr;
  cairo_save(cr);
  cairo_translate(cr, place.x, place.y);
  cairo_scale(cr, s->layout.card_scale, s->layout.card_scale);
  SetColour(cr, card.colour);
  // One path of every cell: blank squares, and number rings (even-odd: the inside stays
  // paper white).
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const double x1 = column * kCellSize + 1, y1 = row * kCellSize + 1;
      const double side = kCellSize - 1;
      cairo_rectangle(cr, x1, y1, side, side);
      if (card.layout.cell[row][column] != 0) cairo_rectangle(cr, x1 + 1, y1 + 1, side - 2, side - 2);
    }
  cairo_fill(cr);
  cairo_set_font_face(cr, s->faces.bold);
  cairo_set_font_size(cr, s->faces.number_em);
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = card.layout.cell[row][column];
      if (number == 0) continue;
      const char text[3] = {static_cast<char>('0' + number / 10),
                            static_cast<char>('0' + number % 10), 0};
      cairo_move_to(cr, column * kCellSize + 1 + kNumberOffsetX,
                    row * kCellSize + 1 + kNumberOffsetY + s->faces.number_ascent);
      cairo_show_text(cr, text);
    }
  cairo_restore(cr);
}

void DrawLabel(PdfSheets* s, const SheetCard& card, const SheetRect& band) {
  cairo_t* cr = s->cr;
  cairo_set_font_face(cr, s->faces.regular);
  cairo_set_font_size(cr, kLabelPoints);
  cairo_set_source_rgb(cr, kLabelGrey, kLabelGrey, kLabelGrey);
  TextInBand(cr, SheetCardLabel(card.number, card.seed_bits), band);
}

void DrawBoard(PdfSheets* s) {
  cairo_t* cr = s->cr;
  const SheetLayout& l = s->layout;
  DrawTitle(s);
  cairo_set_font_face(cr, s->faces.bold);
  cairo_set_font_size(cr, kHeadingPoints);
  cairo_set_source_rgb(cr, kBoardInk, kBoardInk, kBoardInk);
  TextInBand(cr, kBoardHeading, l.board_heading);
  const double cell = l.board.width / kBoardSide;
  // Cell 0 has no number: it is filled like a blank cell of the cards.
  SetColour(cr, s->colour);
  cairo_rectangle(cr, l.board.x, l.board.y, cell, cell);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, kBoardInk, kBoardInk, kBoardInk);
  cairo_set_line_width(cr, kBoardLine);
  for (int i = 0; i <= kBoardSide; ++i) {
    cairo_move_to(cr, l.board.x + i * cell, l.board.y);
    cairo_line_to(cr, l.board.x + i * cell, l.board.bottom());
    cairo_move_to(cr, l.board.x, l.board.y + i * cell);
    cairo_line_to(cr, l.board.right(), l.board.y + i * cell);
  }
  cairo_stroke(cr);
  cairo_set_font_size(cr, cell * kBoardNumberShare);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  for (int number = 1; number < kBoardSide * kBoardSide; ++number) {
    const int row = number / kBoardSide, column = number % kBoardSide;
    char text[4];
    std::snprintf(text, sizeof text, "%02d", number);
    // The digits' height is about the ascent less its share of accents.
    const double baseline = l.board.y + row * cell + cell / 2 + font.ascent * 0.36;
    CentredText(cr, text, l.board.x + column * cell + cell / 2, baseline);
  }
  cairo_show_page(cr);
}

bool Failed(PdfSheets* s, std::string* error) {
  const cairo_status_t status = s->cr ? cairo_status(s->cr) : CAIRO_STATUS_NO_MEMORY;
  const cairo_status_t surface = s->surface ? cairo_surface_status(s->surface) : status;
  if (status == CAIRO_STATUS_SUCCESS && surface == CAIRO_STATUS_SUCCESS && !s->write_failed)
    return false;
  if (s->write_failed || status == CAIRO_STATUS_WRITE_ERROR || surface == CAIRO_STATUS_WRITE_ERROR)
    *error = "no se pudo escribir el PDF";
  else
    *error = std::string("cairo no pudo hacer el PDF: ") +
             cairo_status_to_string(status != CAIRO_STATUS_SUCCESS ? status : surface);
  return true;
}

void Free(PdfSheets* s) {
  if (s->cr) cairo_destroy(s->cr);
  if (s->surface) {
    cairo_surface_finish(s->surface);
    cairo_surface_destroy(s->surface);
  }
  CloseSheetFaces(&s->faces);
  delete s;
}
}  // namespace

bool PdfSheetsAvailable() { return true; }

PdfSheets* BeginSheets(const SheetOptions& options, std::string* error) {
  if (!options.write) {
    *error = "no se ha dicho dónde escribir el PDF";
    return nullptr;
  }
  auto* s = new (std::nothrow) PdfSheets;
  if (!s) {
    *error = "no hay memoria para el PDF";
    return nullptr;
  }
  s->options = options;
  s->layout = LayoutSheets(options.paper);
  if (!OpenSheetFaces(&s->faces, error)) {
    delete s;
    return nullptr;
  }
  s->surface = cairo_pdf_surface_create_for_stream(Write, s, s->layout.page_width,
                                                   s->layout.page_height);
  cairo_pdf_surface_set_metadata(s->surface, CAIRO_PDF_METADATA_TITLE,
                                 options.title.empty() ? "Cartones del bingo"
                                                       : options.title.c_str());
  cairo_pdf_surface_set_metadata(s->surface, CAIRO_PDF_METADATA_CREATOR, "Tessarine");
  s->cr = cairo_create(s->surface);
  if (Failed(s, error)) {
    // Nothing of a document should reach the caller's file once it failed.
    s->write_failed = true;
    Free(s);
    return nullptr;
  }
  return s;
}

bool AddSheetCard(PdfSheets* s, const SheetCard& card, std::string* error) {
  if (Failed(s, error)) return false;
  if (s->on_page == 0) DrawTitle(s);
  if (s->on_page > 0) DrawCutMark(s, s->layout.cut_y[s->on_page - 1]);
  s->colour = card.colour;
  DrawCard(s, card, s->layout.card[s->on_page]);
  DrawLabel(s, card, s->layout.label[s->on_page]);
  if (++s->on_page == kCardsPerPage) {
    cairo_show_page(s->cr);
    s->on_page = 0;
  }
  return !Failed(s, error);
}

bool FinishSheets(PdfSheets* s, std::string* error) {
  bool ok = !Failed(s, error);
  if (ok) {
    if (s->on_page > 0) cairo_show_page(s->cr);
    DrawBoard(s);
    cairo_destroy(s->cr);
    s->cr = nullptr;
    cairo_surface_finish(s->surface);
    ok = cairo_surface_status(s->surface) == CAIRO_STATUS_SUCCESS && !s->write_failed;
    if (!ok) {
      s->cr = nullptr;
      *error = s->write_failed ? "no se pudo escribir el PDF"
                               : std::string("cairo no pudo hacer el PDF: ") +
                                     cairo_status_to_string(cairo_surface_status(s->surface));
    }
  }
  Free(s);
  return ok;
}

void AbandonSheets(PdfSheets* s) {
  if (!s) return;
  // What remains of the document is not written.
  s->write_failed = true;
  Free(s);
}
