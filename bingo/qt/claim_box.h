// A claimed card checked in the caller's column: the field for its number or code, its
// heading, the card as the project's renderer draws it, and the verdict.
#pragma once
#include <QWidget>

#include "bingo/controller.h"

class CardView;
class QLabel;
class QLineEdit;

class ClaimBox : public QWidget {
  Q_OBJECT
 public:
  explicit ClaimBox(QWidget* parent = nullptr);
  // What was typed, and the field emptied for the next claim.
  QString TakeTyped();
  void Show(const ClaimView& claim);

 signals:
  void claimed();  // Enter in the field

 private:
  QLineEdit* field_ = nullptr;
  QLabel* heading_ = nullptr;
  CardView* card_ = nullptr;
  QLabel* verdict_ = nullptr;
};
