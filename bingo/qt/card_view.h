// A card as its sheet shows it (blank cells in the card colour, numbers in white cells),
// with the numbers already called filled in, so the organiser sees a claim at a glance.
#pragma once
#include <QColor>
#include <QWidget>

#include "card/layout.h"

class CardView : public QWidget {
  Q_OBJECT
 public:
  explicit CardView(QWidget* parent = nullptr);
  void ShowCard(const CardLayout& layout, const bool marked[kCardRows][kCardColumns]);
  void Clear();
  void SetColour(const QColor& colour);
  bool HasCard() const { return has_card_; }
  bool IsMarked(int row, int column) const { return marked_[row][column]; }
  QRect CellOf(int row, int column) const;
  QSize sizeHint() const override { return QSize(360, 120); }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return width * kCardRows / kCardColumns; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool has_card_ = false;
  CardLayout layout_{};
  bool marked_[kCardRows][kCardColumns] = {};
  QColor colour_;
};
