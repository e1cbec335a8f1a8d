#include "bingo/qt/qr_paint.h"

#include <QPainter>

void PaintQr(QPainter* painter, const QRect& box, const QrSquare& qr) {
  if (qr.side <= 0) return;
  const int modules = qr.side + 2 * kQrQuietModules;
  const int module = qMax(1, qMin(box.width(), box.height()) / modules);
  const int side = module * modules;
  const QRect square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
  painter->fillRect(square, Qt::white);
  const QPoint origin = square.topLeft() + QPoint(kQrQuietModules * module, kQrQuietModules * module);
  for (int row = 0; row < qr.side; ++row)
    for (int column = 0; column < qr.side; ++column)
      if (QrDark(qr, row, column))
        painter->fillRect(origin.x() + column * module, origin.y() + row * module, module, module, Qt::black);
}

QPixmap QrPixmap(const QrSquare& qr, int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  PaintQr(&painter, pixmap.rect(), qr);
  return pixmap;
}
