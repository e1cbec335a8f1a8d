// The sheet geometry. The scale is the largest at which four cards, their labels and some
// room for the cuts fit between the margins, so it depends on the paper only.
#include "sheets/sheet_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "text/quoted_text.h"

namespace {
constexpr double kPointsPerMillimetre = 72.0 / 25.4;
constexpr double kMarginMillimetres = 12;  // printers need at least 10
constexpr double kA4Width = 210 * kPointsPerMillimetre, kA4Height = 297 * kPointsPerMillimetre;
constexpr double kLetterWidth = 612, kLetterHeight = 792;  // 8.5 x 11 inches
constexpr double kTitleBand = 26;
constexpr double kLabelBand = 14;
constexpr double kCutRoom = 7;  // above and below each card, around the cut marks
constexpr double kBoardHeadingBand = 34;

std::string Lowered(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}
}  // namespace

PaperRead ParsePaper(const std::string& text) {
  const std::string lower = Lowered(text);
  PaperRead read;
  if (lower == "letter")
    read.paper = Paper::kLetter;
  else if (lower != "a4")
    read.error = "papel desconocido: " + QuotedText(text) + " (se espera a4 o letter)";
  return read;
}

SheetLayout LayoutSheets(Paper paper) {
  SheetLayout l;
  l.page_width = paper == Paper::kA4 ? kA4Width : kLetterWidth;
  l.page_height = paper == Paper::kA4 ? kA4Height : kLetterHeight;
  l.margin = kMarginMillimetres * kPointsPerMillimetre;
  const double content_width = l.page_width - 2 * l.margin;
  l.title = {l.margin, l.margin, content_width, kTitleBand};
  const double slots_top = l.title.bottom();
  const double slot_height = (l.page_height - l.margin - slots_top) / kCardsPerPage;
  l.card_scale = std::min(content_width / kSheetCardWidth,
                          (slot_height - kLabelBand - 2 * kCutRoom) / kSheetCardHeight);
  const double card_width = kSheetCardWidth * l.card_scale;
  const double card_height = kSheetCardHeight * l.card_scale;
  const double card_x = (l.page_width - card_width) / 2;
  for (int i = 0; i < kCardsPerPage; ++i) {
    const double slot_top = slots_top + i * slot_height;
    l.card[i] = {card_x, slot_top + kCutRoom, card_width, card_height};
    l.label[i] = {card_x, l.card[i].bottom(), card_width, kLabelBand};
    const double bars_top = std::ceil(l.label[i].y / kBarcodeModule) * kBarcodeModule;
    l.barcode[i] = {card_x, bars_top, card_width, kBarcodeHeight};
    if (i > 0) l.cut_y[i - 1] = slot_top;
  }
  l.board_heading = {l.margin, l.title.bottom(), content_width, kBoardHeadingBand};
  const double board_side =
      std::min(content_width, l.page_height - l.margin - l.board_heading.bottom());
  l.board = {(l.page_width - board_side) / 2, l.board_heading.bottom(), board_side, board_side};
  return l;
}

namespace {
// Sideways pages give each cartón half the paper's length less the margins printers need
// and a little between the columns: numbers about 7.5 mm high on Letter, 8 mm on A4.
constexpr double kSeriesMarginMillimetres = 10;
constexpr double kSeriesColumnGap = 9;
constexpr double kSeriesLabelBand = 18;
constexpr double kSeriesCutRoom = 5;
}  // namespace

SheetLayout LayoutSeriesSheets(Paper paper) {
  const SheetLayout upright = LayoutSheets(paper);
  SheetLayout l = upright;
  l.page_width = upright.page_height;
  l.page_height = upright.page_width;
  l.margin = kSeriesMarginMillimetres * kPointsPerMillimetre;
  l.cards_per_page = kSeriesCardsPerPage;
  const double content_width = l.page_width - 2 * l.margin;
  l.title = {l.margin, l.margin, content_width, kTitleBand};
  constexpr int kRows = kSeriesCardsPerPage / 2;
  const double slot_height = (l.page_height - l.margin - l.title.bottom()) / kRows;
  const double column_width = (content_width - kSeriesColumnGap) / 2;
  l.card_scale = std::min(column_width / kSheetCardWidth,
                          (slot_height - kSeriesLabelBand - 2 * kSeriesCutRoom) / kSheetCardHeight);
  const double card_width = kSheetCardWidth * l.card_scale;
  const double card_height = kSheetCardHeight * l.card_scale;
  l.cut_x = l.page_width / 2;
  for (int i = 0; i < kSeriesCardsPerPage; ++i) {
    const int row = i / 2, column = i % 2;
    const double slot_top = l.title.bottom() + row * slot_height;
    const double x = column == 0 ? l.cut_x - kSeriesColumnGap / 2 - card_width
                                 : l.cut_x + kSeriesColumnGap / 2;
    l.card[i] = {x, slot_top + kSeriesCutRoom, card_width, card_height};
    l.label[i] = {x, l.card[i].bottom(), card_width, kSeriesLabelBand};
    const double bars_top = std::ceil(l.label[i].y / kBarcodeModule) * kBarcodeModule;
    l.barcode[i] = {x, bars_top, card_width, kBarcodeHeight};
    if (i > 0) l.cut_y[i - 1] = column == 0 ? slot_top : 0;
  }
  return l;
}
