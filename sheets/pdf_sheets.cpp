// The sheets over the project's PDF writer. A page's content is gathered as its cards
// come and goes out, deflated, the moment its fourth card is in. The page is drawn with
// y down from its top-left corner, as the layout measures it; a card in its own pixel
// coordinates, scaled onto the page: every blank cell a square of the card colour, every
// number cell a ring one card pixel wide in that colour with the two digits placed where
// the card renderer places them; the white between cells is the paper.
#include <cstdio>
#include <new>

#include <cmath>

#include "card/card_code.h"
#include "card/series.h"
#include "card/series_code.h"
#include "card/renderer.h"
#include "text/utf8.h"
#include "formats/code128.h"
#include "sheets/pdf_sheets.h"
#include "sheets/sheet_fonts.h"

struct PdfSheets {
  SheetOptions options;
  SheetLayout layout;        // the board's page, and the cards' of 1-99 cards
  SheetLayout cards_layout;  // the pages of cards
  PdfDocument document;
  SheetFaces faces;
  std::string page;  // content of the page under way
  int on_page = 0;   // cards drawn on it
  Colour colour = kDefaultCardColour;  // of the last card, for the board's empty cell
  SheetText title;
  std::string digit_codes[10];  // the bold digits' codes, two hexadecimal digits each
};

namespace {
constexpr double kLabelPoints = 9;
constexpr double kSeriesLabelPoints = 11;
constexpr double kTitlePoints = 14;
constexpr double kHeadingPoints = 16;
constexpr double kLabelGrey = 0.25;
constexpr double kCutGrey = 0.75;
constexpr double kCutWidth = 0.4;
constexpr double kCutDash = 3;
constexpr double kBoardLine = 0.75;
constexpr double kBoardNumberShare = 0.45;  // of a board cell's side
constexpr double kBoardInk = 0.15;
// The digits' height is about the ascent less its share of accents.
constexpr double kDigitsShareOfAscent = 0.36;
// A card's scale is multiplied by up to 720 card pixels: to stay within a hundredth of
// a point it needs more decimals than a position does.
constexpr int kScaleDecimals = 6;

void Numbers(std::string* out, std::initializer_list<double> values, const char* op) {
  for (double value : values) {
    AppendPdfNumber(out, value);
    *out += ' ';
  }
  *out += op;
  *out += '\n';
}

void FillColour(std::string* out, Colour colour) {
  const uint32_t c = static_cast<uint32_t>(colour);
  Numbers(out, {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0}, "rg");
}

void FillGrey(std::string* out, double grey) { Numbers(out, {grey}, "g"); }

void CentredText(PdfSheets* s, const SheetFace& face, double size, const SheetText& text,
                 double centre_x, double baseline) {
  ShowCodes(&s->page, face, size, centre_x - text.width * size / 2, baseline, text.codes);
}

// Centred in a band, the face's ascent and descent split evenly about its middle.
void TextInBand(PdfSheets* s, const SheetFace& face, double size, const SheetText& text,
                const SheetRect& band) {
  const double baseline =
      band.y + (band.height + (AscentEms(face) - DescentEms(face)) * size) / 2;
  CentredText(s, face, size, text, band.x + band.width / 2, baseline);
}

void DrawTitle(PdfSheets* s, const SheetLayout& l) {
  if (s->options.title.empty()) return;
  FillGrey(&s->page, 0);
  TextInBand(s, s->faces.bold, kTitlePoints, s->title, l.title);
}

// A dashed line from (x1, y1) to (x2, y2).
void DrawCutLine(PdfSheets* s, double x1, double y1, double x2, double y2) {
  std::string& p = s->page;
  p += "q\n";
  Numbers(&p, {kCutGrey}, "G");
  Numbers(&p, {kCutWidth}, "w");
  p += "[";
  Numbers(&p, {kCutDash, kCutDash}, "] 0 d");
  Numbers(&p, {x1, y1}, "m");
  Numbers(&p, {x2, y2}, "l");
  p += "S\nQ\n";
}

void DrawCutMark(PdfSheets* s, double y) {
  const SheetLayout& l = s->cards_layout;
  DrawCutLine(s, l.margin, y, l.page_width - l.margin, y);
}

void DrawColumnCut(PdfSheets* s) {
  const SheetLayout& l = s->cards_layout;
  DrawCutLine(s, l.cut_x, l.title.bottom(), l.cut_x, l.page_height - l.margin);
}

bool IsSeries(const SheetCard& card) { return card.type == CardType::kSeries90; }

std::string CodeOf(const SheetCard& card) {
  return IsSeries(card) ? SeriesCode(card.seed_bits, card.place) : CardCode(card.seed_bits);
}

void DrawCells(std::string* p, const CardLayout& layout) {
  // One path of every cell: blank squares, and number rings (even-odd: the inside stays
  // paper white).
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const double x1 = column * kCellSize + 1, y1 = row * kCellSize + 1;
      const double side = kCellSize - 1;
      Numbers(p, {x1, y1, side, side}, "re");
      if (layout.cell[row][column] != 0) Numbers(p, {x1 + 1, y1 + 1, side - 2, side - 2}, "re");
    }
  *p += "f*\n";
}

void DrawCard(PdfSheets* s, const SheetCard& card, const SheetRect& place) {
  std::string& p = s->page;
  p += "q\n";
  std::string scale;
  AppendPdfNumber(&scale, s->cards_layout.card_scale, kScaleDecimals);
  p += scale + " 0 0 " + scale + ' ';
  Numbers(&p, {place.x, place.y}, "cm");
  FillColour(&p, card.colour);
  DrawCells(&p, card.layout);
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = card.layout.cell[row][column];
      if (number == 0) continue;
      ShowCodes(&p, s->faces.bold, s->faces.number_em, column * kCellSize + 1 + kNumberOffsetX,
                row * kCellSize + 1 + kNumberOffsetY + s->faces.number_ascent,
                "<" + s->digit_codes[number / 10] + s->digit_codes[number % 10] + ">");
    }
  p += "Q\n";
}

bool DrawLabel(PdfSheets* s, const SheetCard& card, const SheetRect& band, std::string* error) {
  const SheetText label =
      EncodeSheetText(&s->faces.regular, &s->document, SheetCardLabelOf(card));
  if (!label.error.empty()) {
    *error = label.error;
    return false;
  }
  FillGrey(&s->page, kLabelGrey);
  if (!IsSeries(card)) {
    TextInBand(s, s->faces.regular, kLabelPoints, label, band);
    return true;
  }
  // Read at arm's length, and to the left of the bars, which end at the card's right edge.
  const SheetFace& face = s->faces.regular;
  const double baseline =
      band.y + (band.height + (AscentEms(face) - DescentEms(face)) * kSeriesLabelPoints) / 2;
  ShowCodes(&s->page, face, kSeriesLabelPoints, band.x, baseline, label.codes);
  return true;
}

// The card's code as Code 128, black on the paper, its quiet zone ending at the card's
// right edge and every bar on a whole module of the page, so that it prints sharp at
// 300 and 600 dpi.
bool DrawBarcode(PdfSheets* s, const SheetCard& card, const SheetRect& band, std::string* error) {
  const Code128Encoding bars = EncodeCode128(CodeOf(card));
  if (!bars.error.empty()) {
    *error = bars.error;
    return false;
  }
  const double symbol_width = Code128TotalModules(bars.symbol) * kBarcodeModule;
  double x = std::floor((band.right() - symbol_width) / kBarcodeModule) * kBarcodeModule +
             kCode128QuietZoneModules * kBarcodeModule;
  FillGrey(&s->page, 0);
  bool bar = true;
  for (uint8_t modules : bars.symbol.module_widths) {
    const double width = modules * kBarcodeModule;
    if (bar) Numbers(&s->page, {x, band.y, width, band.height}, "re");
    x += width;
    bar = !bar;
  }
  s->page += "f\n";
  return true;
}

// The page content so far goes out on a page of that layout; the next page's content
// starts with its y turned down from the top of a page of `next`.
void EndPage(PdfSheets* s, const SheetLayout& l, const SheetLayout& next) {
  AddPdfPage(&s->document, l.page_width, l.page_height, s->page);
  s->page.clear();
  Numbers(&s->page, {1, 0, 0, -1, 0, next.page_height}, "cm");
  s->on_page = 0;
}

bool IsSeriesBoard(const PdfSheets* s) { return s->options.type == CardType::kSeries90; }

void DrawBoardGrid(PdfSheets* s, double cell) {
  const SheetLayout& l = s->layout;
  std::string& p = s->page;
  // 1-99: cell 0 has no number, it is filled like a blank cell of the cards. 1-90: rows
  // of ten, 1-10 to 81-90, as halls' flashboards have them.
  const int rows = IsSeriesBoard(s) ? kSeriesBoardRows : kBoardSide;
  if (!IsSeriesBoard(s)) {
    FillColour(&p, s->colour);
    Numbers(&p, {l.board.x, l.board.y, cell, cell}, "re f");
  }
  Numbers(&p, {kBoardInk}, "G");
  Numbers(&p, {kBoardLine}, "w");
  const double bottom = l.board.y + rows * cell;
  for (int i = 0; i <= kBoardSide; ++i) {
    Numbers(&p, {l.board.x + i * cell, l.board.y}, "m");
    Numbers(&p, {l.board.x + i * cell, bottom}, "l");
    if (i > rows) continue;
    Numbers(&p, {l.board.x, l.board.y + i * cell}, "m");
    Numbers(&p, {l.board.right(), l.board.y + i * cell}, "l");
  }
  p += "S\n";
}

std::string DrawBoard(PdfSheets* s) {
  const SheetLayout& l = s->layout;
  DrawTitle(s, l);
  const SheetText heading = EncodeSheetText(&s->faces.bold, &s->document, kBoardHeading);
  if (!heading.error.empty()) return heading.error;
  FillGrey(&s->page, kBoardInk);
  TextInBand(s, s->faces.bold, kHeadingPoints, heading, l.board_heading);
  const double cell = l.board.width / kBoardSide;
  DrawBoardGrid(s, cell);
  FillGrey(&s->page, kBoardInk);
  const double size = cell * kBoardNumberShare;
  const bool series = IsSeriesBoard(s);
  const int last = series ? kSeriesHighestNumber : kBoardSide * kBoardSide - 1;
  for (int number = 1; number <= last; ++number) {
    const int cell_index = series ? number - 1 : number;
    const int row = cell_index / kBoardSide, column = cell_index % kBoardSide;
    char digits[12];
    std::snprintf(digits, sizeof digits, "%02d", number);
    const SheetText text = EncodeSheetText(&s->faces.bold, &s->document, digits);
    const double baseline =
        l.board.y + row * cell + cell / 2 + AscentEms(s->faces.bold) * size * kDigitsShareOfAscent;
    CentredText(s, s->faces.bold, size, text, l.board.x + column * cell + cell / 2, baseline);
  }
  EndPage(s, l, l);
  return "";
}

void Free(PdfSheets* s) {
  CloseSheetFaces(&s->faces);
  delete s;
}

// The faces, the title and the digits ready; "" or why not.
std::string Prepare(PdfSheets* s) {
  std::string error = OpenSheetFaces(&s->faces, &s->document);
  if (!error.empty()) return error;
  s->title = EncodeSheetText(&s->faces.bold, &s->document, s->options.title);
  if (!s->title.error.empty()) return "título: " + s->title.error;
  for (int digit = 0; digit < 10; ++digit) {
    const SheetText text =
        EncodeSheetText(&s->faces.bold, &s->document, std::string(1, char('0' + digit)));
    if (!text.error.empty()) return text.error;
    s->digit_codes[digit] = text.codes.substr(1, 2);
  }
  return s->document.failure;
}
}  // namespace

std::string SheetFaceLacks(const std::string& text) {
  // Any em: only which characters the face has matters here.
  const OpenedOutlineFace bold = OpenOutlineFace(kNumberFace, kSheetBoldWeight, kCellSize);
  if (!bold.face) return bold.error;
  std::string lacks;
  for (const char* at = text.c_str(); *at && lacks.empty();) {
    const uint32_t c = NextCodepoint(at);
    if (!OutlineOf(bold.face, c).present) lacks = MissingCharacterText(c);
  }
  CloseOutlineFace(bold.face);
  return lacks;
}

SheetsBegun BeginSheets(const SheetOptions& options) {
  SheetsBegun begun;
  if (!options.write) {
    begun.error = "no se ha dicho dónde escribir el PDF";
    return begun;
  }
  auto* s = new (std::nothrow) PdfSheets;
  if (!s) {
    begun.error = "no hay memoria para el PDF";
    return begun;
  }
  s->options = options;
  s->layout = LayoutSheets(options.paper);
  s->cards_layout = options.type == CardType::kSeries90 ? LayoutSeriesSheets(options.paper)
                                                        : s->layout;
  begun.error = BeginPdf(&s->document, options.write, options.context);
  if (begun.error.empty()) begun.error = Prepare(s);
  if (!begun.error.empty()) {
    Free(s);
    return begun;
  }
  Numbers(&s->page, {1, 0, 0, -1, 0, s->cards_layout.page_height}, "cm");
  begun.sheets = s;
  return begun;
}

std::string AddSheetCard(PdfSheets* s, const SheetCard& card) {
  if (!s->document.failure.empty()) return s->document.failure;
  const SheetLayout& l = s->cards_layout;
  if (s->on_page == 0) DrawTitle(s, l);
  if (s->on_page > 0 && l.cut_y[s->on_page - 1] > 0) DrawCutMark(s, l.cut_y[s->on_page - 1]);
  if (s->on_page == 1 && l.cut_x > 0) DrawColumnCut(s);
  s->colour = card.colour;
  DrawCard(s, card, l.card[s->on_page]);
  std::string error;
  if (!DrawLabel(s, card, l.label[s->on_page], &error) ||
      !DrawBarcode(s, card, l.barcode[s->on_page], &error))
    return error;
  if (++s->on_page == l.cards_per_page) EndPage(s, l, l);
  return s->document.failure;
}

std::string FinishSheets(PdfSheets* s) {
  std::string error = s->document.failure;
  if (error.empty() && s->on_page > 0) EndPage(s, s->cards_layout, s->layout);
  if (error.empty() && s->on_page == 0 && IsSeriesBoard(s)) {
    // The last page of cartones turned down the y of a page sideways; the board's is upright.
    s->page.clear();
    Numbers(&s->page, {1, 0, 0, -1, 0, s->layout.page_height}, "cm");
  }
  if (error.empty()) error = DrawBoard(s);
  if (error.empty())
    error = FinishPdf(&s->document, s->options.title.empty() ? "Cartones del bingo"
                                                             : s->options.title);
  Free(s);
  return error;
}

void AbandonSheets(PdfSheets* s) {
  if (s) Free(s);
}
