// The last number takes a column as high as the board, its digits at least a third of
// the board's height; the grid takes the rest. Fonts are sized once a resize, so a
// repaint only fills rectangles and draws 100 short texts.
#include "bingo/qt/board_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "bingo/qt/board_paint.h"

BoardView::BoardView(QWidget* parent) : QWidget(parent), colour_(0x1F, 0x5F, 0xBF) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(400, 240);
  PlaceParts();
}

void BoardView::ShowCalls(const std::array<bool, 100>& called, int last, int balls, int highest) {
  called_ = called;
  last_ = last;
  balls_ = balls;
  if (highest != highest_) {
    highest_ = highest;
    PlaceParts();
  }
  update();
}

void BoardView::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

QRect BoardView::CellOf(int number) const { return QRectOf(BoardCellOf(layout_, number)); }

QRect BoardView::LastNumberArea() const { return QRectOf(layout_.last); }

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceParts();
}

void BoardView::PlaceParts() {
  const double advance_per_pixel =
      QFontMetrics(BoldFont(kBoardMeasuredPixels)).horizontalAdvance("88") / double(kBoardMeasuredPixels);
  layout_ = LayOutBoard(width(), height(), advance_per_pixel, highest_);
  last_font_ = BoldFont(layout_.last_pixels);
  count_font_ = BoldFont(layout_.count_pixels);
  cell_font_ = BoldFont(layout_.cell_pixels);
}

void BoardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kPaper);
  PaintLastNumber(&painter);
  PaintGrid(&painter);
  if (hasFocus()) {  // where the keys go, seen from the caller's seat
    painter.setPen(QPen(palette().highlight().color(), 3));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void BoardView::PaintLastNumber(QPainter* painter) {
  painter->setPen(colour_);
  painter->setFont(last_font_);
  if (last_ > 0) painter->drawText(QRectOf(layout_.last_digits), Qt::AlignCenter, QString::number(last_));
  painter->setFont(count_font_);
  painter->setPen(kUncalledText);
  const QRect count = QRectOf(layout_.count);
  painter->drawText(count, Qt::AlignCenter, balls_ == 1 ? tr("1 bola") : tr("%1 bolas").arg(balls_));
}

void BoardView::PaintGrid(QPainter* painter) {
  painter->setFont(cell_font_);
  for (int number = 1; number <= highest_; ++number) {
    const QRect cell = CellOf(number);
    painter->fillRect(cell, called_[number] ? colour_ : kPaper);
    painter->setPen(kGridLine);
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    painter->setPen(called_[number] ? kPaper : kUncalledText);
    painter->drawText(cell, Qt::AlignCenter, QString::number(number));
  }
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  for (int number = 1; number <= highest_; ++number)
    if (CellOf(number).contains(event->position().toPoint())) {
      emit numberClicked(number);
      return;
    }
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    emit drawAsked();
    return;
  }
  const QString text = event->text();
  if (event->modifiers() == Qt::NoModifier && text.size() == 1 && text[0].isLetterOrNumber()) {
    emit typed(text);
    return;
  }
  QWidget::keyPressEvent(event);
}
