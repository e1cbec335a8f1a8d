// The caller's board for the hall: the numbers 1 to 99 in ten rows, the called ones
// filled with the card colour, and beside them the last number, large enough to read
// from the back of a hall, with the count of balls. Everything scales with the widget.
#pragma once
#include <QColor>
#include <QFont>
#include <QWidget>
#include <array>

#include "bingo/board_layout.h"

class BoardView : public QWidget {
  Q_OBJECT
 public:
  explicit BoardView(QWidget* parent = nullptr);
  // called[n] for n in 1..highest (99, or 90); last is 0 before the first ball.
  void ShowCalls(const std::array<bool, 100>& called, int last, int balls, int highest = 99);
  void SetColour(const QColor& colour);
  // The cell of number n (1..99) in widget coordinates, as painted.
  QRect CellOf(int number) const;
  QRect LastNumberArea() const;

 signals:
  void numberClicked(int number);
  // A digit or letter typed while the board has the focus, for the entry field: the
  // organiser types a cage's number, or a scanner a card's code, without aiming first.
  void typed(const QString& text);
  // Space with the board in focus: the ball is drawn. Anywhere else Space is the
  // focused control's own (a button presses, a field types).
  void drawAsked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent*) override { update(); }
  void focusOutEvent(QFocusEvent*) override { update(); }

 private:
  void PlaceParts();
  void PaintLastNumber(QPainter* painter);
  void PaintGrid(QPainter* painter);

  std::array<bool, 100> called_{};
  int last_ = 0;
  int balls_ = 0;
  int highest_ = 99;
  QColor colour_;
  BoardLayout layout_;
  QFont last_font_, count_font_, cell_font_;
};
