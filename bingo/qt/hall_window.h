// The hall's own window: what the controller's HallScreen says, painted whole with
// QPainter on every change, legible from the back of a hall. It holds no control and asks
// nothing: every question opens over the caller's window.
#pragma once
#include <QFont>
#include <QWidget>

#include "bingo/hall_screen.h"

class QPainter;

// The fonts of a size, measured once a resize so that a repaint only draws.
struct HallPaint {
  HallLayout layout;
  QFont last_font, cell_font, line_font, banner_font;
  bool with_page = false;
};
HallPaint HallPaintOf(int width, int height, int highest, bool with_page = false);
void PaintHallScreen(QPainter* painter, const HallPaint& paint, const HallScreen& hall);

class HallWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HallWindow(QWidget* parent = nullptr);
  void Show(const HallScreen& hall);
  const HallScreen& Shown() const { return hall_; }

 signals:
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  HallScreen hall_;
  HallPaint paint_;
};
