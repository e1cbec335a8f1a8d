// The players' page in the caller's column: its switch, and while it is on the address in
// letters as large as the column allows, with its QR code, for the caller to read out or
// show.
#pragma once
#include <QWidget>

#include "bingo/controller.h"

class QCheckBox;
class QLabel;

class PageBox : public QWidget {
  Q_OBJECT
 public:
  explicit PageBox(QWidget* parent = nullptr);
  bool SwitchedOn() const;
  // The switch as the controller has it (off when the server could not start), within
  // `room` pixels of width.
  void Show(const BingoScreen& screen, int room);

 signals:
  void switched();

 private:
  QCheckBox* switch_ = nullptr;
  QLabel* address_ = nullptr;
  QLabel* qr_ = nullptr;
  QString qr_address_;  // the address the QR code was drawn for
};
