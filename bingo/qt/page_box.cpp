#include "bingo/qt/page_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "bingo/qt/qr_paint.h"

namespace {
// The QR code at three pixels a module: a phone reads it from the caller's desk, and the
// column keeps room for the forecast and the claimed card.
constexpr int kQrModulePixels = 3;
constexpr int kAddressMostPixels = 32;
}  // namespace

PageBox::PageBox(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 8, 0, 0);
  switch_ = new QCheckBox(tr(kPageSwitchText));
  switch_->setObjectName("pagina");
  address_ = new QLabel;
  address_->setObjectName("direccion_pagina");
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  qr_ = new QLabel;
  qr_->setObjectName("qr_pagina");
  qr_->setAlignment(Qt::AlignCenter);
  column->addWidget(switch_);
  column->addWidget(address_);
  column->addWidget(qr_, 0, Qt::AlignHCenter);
  connect(switch_, &QCheckBox::toggled, this, &PageBox::switched);
}

bool PageBox::SwitchedOn() const { return switch_->isChecked(); }

void PageBox::Show(const BingoScreen& screen, int room) {
  {
    const QSignalBlocker quiet(switch_);
    switch_->setChecked(screen.page_on);
  }
  address_->setVisible(screen.page_on);
  qr_->setVisible(screen.page_on && screen.page_qr.side > 0);
  if (!screen.page_on) return;
  const QString address = QString::fromStdString(screen.page_address);
  QFont large = address_->font();
  large.setBold(true);
  large.setPixelSize(kAddressMostPixels);
  const int fits = QFontMetrics(large).horizontalAdvance(address);
  if (fits > room) large.setPixelSize(qMax(10, kAddressMostPixels * room / fits));
  address_->setFont(large);
  address_->setFixedHeight(QFontMetrics(large).height());
  address_->setText(address);
  if (qr_address_ != address) {
    const int side = qMin(room, (screen.page_qr.side + 2 * kQrQuietModules) * kQrModulePixels);
    qr_->setFixedSize(side, side);
    qr_->setPixmap(QrPixmap(screen.page_qr, side));
    qr_address_ = address;
  }
}
