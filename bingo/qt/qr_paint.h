// The phones' page's QR code drawn with QPainter, for the caller's window and the hall's:
// whole modules of one size each, centred in the box, with the quiet zone around them.
#pragma once
#include <QPixmap>
#include <QRect>

#include "bingo/qr_code.h"

class QPainter;

void PaintQr(QPainter* painter, const QRect& box, const QrSquare& qr);
QPixmap QrPixmap(const QrSquare& qr, int side);
