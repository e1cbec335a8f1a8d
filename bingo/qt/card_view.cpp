#include "bingo/qt/card_view.h"

#include <QPainter>

CardView::CardView(QWidget* parent) : QWidget(parent), colour_(0x1F, 0x5F, 0xBF) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardView::ShowCard(const CardLayout& layout, const bool marked[kCardRows][kCardColumns]) {
  layout_ = layout;
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) marked_[row][column] = marked[row][column];
  has_card_ = true;
  update();
}

void CardView::Clear() {
  has_card_ = false;
  update();
}

void CardView::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

QRect CardView::CellOf(int row, int column) const {
  const int side = qMin(width() / kCardColumns, height() / kCardRows);
  return QRect(column * side, row * side, side, side);
}

void CardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (!has_card_) return;
  QFont font;
  font.setBold(true);
  font.setPixelSize(qMax(1, CellOf(0, 0).height() / 2));
  painter.setFont(font);
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const QRect cell = CellOf(row, column).adjusted(1, 1, -1, -1);
      const int number = layout_.cell[row][column];
      const bool filled = number == 0 || marked_[row][column];
      painter.fillRect(cell, filled ? colour_ : QColor(Qt::white));
      painter.setPen(colour_);
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      if (number == 0) continue;
      painter.setPen(marked_[row][column] ? QColor(Qt::white) : colour_);
      painter.drawText(cell, Qt::AlignCenter, QString("%1").arg(number, 2, 10, QChar('0')));
    }
}
