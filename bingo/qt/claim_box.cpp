#include "bingo/qt/claim_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "bingo/qt/card_view.h"

ClaimBox::ClaimBox(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 8, 0, 0);
  column->addWidget(new QLabel(tr("Comprobar un cartón (número o código):")));
  field_ = new QLineEdit;
  field_->setObjectName("reclamacion");
  field_->setPlaceholderText(tr("0300 o 4730F0CA y Intro"));
  heading_ = new QLabel;
  heading_->setObjectName("carton");
  heading_->setWordWrap(true);
  card_ = new CardView;
  card_->setMinimumHeight(80);
  verdict_ = new QLabel;
  verdict_->setObjectName("veredicto");
  verdict_->setWordWrap(true);
  QFont large = verdict_->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.2);
  verdict_->setFont(large);
  for (QWidget* widget : std::initializer_list<QWidget*>{field_, heading_, card_, verdict_})
    column->addWidget(widget);
  // The focus stays here after Enter: the next claim's digits are never called as a ball.
  connect(field_, &QLineEdit::returnPressed, this, &ClaimBox::claimed);
}

QString ClaimBox::TakeTyped() {
  const QString typed = field_->text();
  field_->clear();
  return typed;
}

void ClaimBox::Show(const ClaimView& claim) {
  heading_->setText(QString::fromStdString(claim.heading));
  card_->ShowClaim(claim);
  card_->setVisible(claim.has_card);  // no room kept for a card not claimed
  verdict_->setText(QString::fromStdString(claim.verdict));
  verdict_->setStyleSheet(claim.old ? "color: #808080" : claim.valid ? "color: #1a7f1a" : "color: #b00000");
}
