// The last number takes a column as high as the board, its digits at least a third of
// the board's height; the grid takes the rest. Fonts are sized once a resize, so a
// repaint only fills rectangles and draws 100 short texts.
#include "bingo/qt/board_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kGridSide = 10;                  // rows of ten: 1-9, 10-19, ... 90-99
constexpr double kLastDigitsShare = 0.40;      // of the board's height, the digits alone
constexpr double kDigitHeightOfFont = 0.72;    // a bold face's digits, of its pixel size
constexpr double kMostLastWidthShare = 0.55;   // of the board's width, the rest for the grid
constexpr double kLastMarginShare = 0.04;      // of the last number's column, each side
constexpr int kMeasuredPixels = 100;           // a font size to measure "88" at
constexpr double kCellTextShare = 0.62;        // of a cell's height
constexpr double kCellTextWidthShare = 0.45;   // of a cell's width
const QColor kPaper(Qt::white);
const QColor kUncalledText(0x30, 0x30, 0x30);
const QColor kGridLine(0xB0, 0xB0, 0xB0);

QFont BoldFont(int pixel_size) {
  QFont font;
  font.setBold(true);
  font.setPixelSize(qMax(1, pixel_size));
  return font;
}
}  // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent), colour_(0x1F, 0x5F, 0xBF) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(400, 240);
  PlaceParts();
}

void BoardView::ShowCalls(const std::array<bool, 100>& called, int last, int balls) {
  called_ = called;
  last_ = last;
  balls_ = balls;
  update();
}

void BoardView::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

QRect BoardView::CellOf(int number) const {
  const int row = number / kGridSide;
  const int column = number % kGridSide;
  const double width = grid_area_.width() / double(kGridSide);
  const double height = grid_area_.height() / double(kGridSide);
  const int x1 = grid_area_.left() + int(column * width);
  const int y1 = grid_area_.top() + int(row * height);
  return QRect(QPoint(x1, y1), QPoint(grid_area_.left() + int((column + 1) * width) - 1,
                                      grid_area_.top() + int((row + 1) * height) - 1));
}

QRect BoardView::LastNumberArea() const { return last_area_; }

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceParts();
}

// The widest two digits fill the column whatever the face: measured, then scaled.
void BoardView::PlaceParts() {
  const int height = this->height();
  const double advance_per_pixel =
      QFontMetrics(BoldFont(kMeasuredPixels)).horizontalAdvance("88") / double(kMeasuredPixels);
  const double most_width = width() * kMostLastWidthShare * (1 - 2 * kLastMarginShare);
  const double pixels = qMin(height * kLastDigitsShare / kDigitHeightOfFont,
                             most_width / advance_per_pixel);
  last_font_ = BoldFont(int(pixels));
  const int last_width = int(pixels * advance_per_pixel / (1 - 2 * kLastMarginShare));
  last_area_ = QRect(0, 0, last_width, height);
  grid_area_ = QRect(last_area_.right() + 1, 0, width() - last_area_.width(), height);
  count_font_ = BoldFont(height / 14);
  cell_font_ = BoldFont(int(qMin(grid_area_.height() / double(kGridSide) * kCellTextShare,
                                 grid_area_.width() / double(kGridSide) * kCellTextWidthShare)));
}

void BoardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kPaper);
  PaintLastNumber(&painter);
  PaintGrid(&painter);
}

void BoardView::PaintLastNumber(QPainter* painter) {
  const QRect digits(last_area_.left(), 0, last_area_.width(), last_area_.height() * 3 / 4);
  painter->setPen(colour_);
  painter->setFont(last_font_);
  if (last_ > 0) painter->drawText(digits, Qt::AlignCenter, QString::number(last_));
  painter->setFont(count_font_);
  painter->setPen(kUncalledText);
  const QRect count(last_area_.left(), digits.bottom(), last_area_.width(),
                    last_area_.height() - digits.height());
  painter->drawText(count, Qt::AlignCenter, balls_ == 1 ? tr("1 bola") : tr("%1 bolas").arg(balls_));
}

void BoardView::PaintGrid(QPainter* painter) {
  painter->setFont(cell_font_);
  for (int number = 1; number <= 99; ++number) {
    const QRect cell = CellOf(number);
    painter->fillRect(cell, called_[number] ? colour_ : kPaper);
    painter->setPen(kGridLine);
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    painter->setPen(called_[number] ? kPaper : kUncalledText);
    painter->drawText(cell, Qt::AlignCenter, QString::number(number));
  }
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  for (int number = 1; number <= 99; ++number)
    if (CellOf(number).contains(event->position().toPoint())) {
      emit numberClicked(number);
      return;
    }
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (event->modifiers() == Qt::NoModifier && text.size() == 1 && text[0].isLetterOrNumber()) {
    emit typed(text);
    return;
  }
  QWidget::keyPressEvent(event);
}
