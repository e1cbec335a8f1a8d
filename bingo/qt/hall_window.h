// The hall's own window: what the controller's HallScreen says, painted whole with
// QPainter on every change, legible from the back of a hall. It holds no control and asks
// nothing: every question opens over the caller's window.
#pragma once
#include <QFont>
#include <QWidget>

#include "bingo/hall_screen.h"

class QPainter;
class QScreen;

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

// Where the hall's window goes. With one screen, on the caller's, as an ordinary window
// the caller moves and puts full screen (F11); with two or more, full screen on the one
// the caller chooses, the kept choice offered first. `screen` is null when none was chosen.
struct HallPlace {
  QScreen* screen = nullptr;
  QString name;  // as the caller was offered it
  bool full_screen = false;
};
HallPlace AskHallPlace(QWidget* caller, const std::string& kept_choice);
// The hall's window opened there, over `caller`, which keeps the keys.
HallWindow* OpenHallWindow(QWidget* caller, const HallPlace& place);
