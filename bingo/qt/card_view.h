// The claimed card as the controller drew it (the project's card renderer, so the same
// card is the same pixels on every platform), scaled to the panel that holds it.
#pragma once
#include <QImage>
#include <QWidget>

#include "bingo/claim_card.h"
#include "bingo/controller.h"

class CardView : public QWidget {
  Q_OBJECT
 public:
  explicit CardView(QWidget* parent = nullptr);
  void ShowClaim(const ClaimView& claim);
  bool HasCard() const { return has_card_; }
  bool IsMarked(int row, int column) const { return marked_[row][column]; }
  QSize sizeHint() const override { return QSize(360, 120); }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return width * kClaimCardHeight / kClaimCardWidth; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool has_card_ = false;
  bool marked_[kCardRows][kCardColumns] = {};
  QImage image_;
};
