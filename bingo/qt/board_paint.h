// What the caller's board and the hall's screen paint alike on Qt: their colours, a
// layout box as Qt names it, and the bold face at a pixel size.
#pragma once
#include <QColor>
#include <QFont>
#include <QRect>

#include "bingo/board_layout.h"

inline const QColor kPaper(Qt::white);
inline const QColor kUncalledText(0x30, 0x30, 0x30);
inline const QColor kGridLine(0xB0, 0xB0, 0xB0);

// A box of the layout as Qt names it: right and bottom are the last pixels inside.
inline QRect QRectOf(const BoardBox& box) {
  return QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1));
}

inline QFont BoldFont(int pixel_size) {
  QFont font;
  font.setBold(true);
  font.setPixelSize(qMax(1, pixel_size));
  return font;
}
