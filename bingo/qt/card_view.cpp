#include "bingo/qt/card_view.h"

#include <QPainter>

#include "bingo/claim_card.h"

CardView::CardView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardView::ShowClaim(const ClaimView& claim) {
  has_card_ = claim.has_card && !claim.pixels.empty();
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) marked_[row][column] = claim.marked[row][column];
  image_ = has_card_ ? QImage(reinterpret_cast<const uchar*>(claim.pixels.data()), kClaimCardWidth,
                              kClaimCardHeight, kClaimCardWidth * 4, QImage::Format_RGB32)
                           .copy()
                     : QImage();
  update();
}

void CardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (!has_card_) return;
  const QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRect(QPoint(0, 0), size), image_);
}
