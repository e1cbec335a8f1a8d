// Placing top-level windows by their frame. Qt positions a window by its frame when the
// position is given before the window is created (on X11, NorthWest gravity): the window
// manager then puts the frame's corner at the place. A place that depends on the frame's
// size (a centred window) is computed from the frame of a window already framed, which
// is exact when the window manager frames both alike, and checked again once the window
// is on the screen.
#include "ui/qt/frame_place.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWindow>

namespace {

// The frame around a framed, visible top-level window of the program; none if none is.
QMargins FrameMarginsOfAFramedWindow(const QWidget* besides) {
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget == besides || !widget->isVisible()) continue;
    const QRect outer = widget->frameGeometry();
    const QRect inner = widget->geometry();
    if (outer == inner) continue;
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
  }
  return QMargins();
}

// Moves the window once, when it is first exposed, if its frame did not land where it
// should: by then the window manager has framed it and its frame's size is known.
class FrameCorrector : public QObject {
 public:
  FrameCorrector(QWidget* window, FrameCorner corner)
      : QObject(window), window_(window), corner_(std::move(corner)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched == window_->windowHandle() &&
        window_->windowHandle()->isExposed()) {
      const QRect frame = window_->frameGeometry();
      const QPoint wanted = corner_(frame.size());
      if (frame.topLeft() != wanted) window_->move(wanted);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  FrameCorner corner_;
};

}  // namespace

QRect WorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

QPoint CentredInWorkArea(QSize outer) {
  const QRect area = WorkArea();
  if (area.isEmpty()) return QPoint(0, 0);
  return QPoint(std::max(0, (2 * area.x() + area.width() - outer.width()) / 2),
                std::max(0, (2 * area.y() + area.height() - outer.height()) / 2));
}

void PlaceByFrame(QWidget* window, const FrameCorner& corner) {
  const QMargins frame = FrameMarginsOfAFramedWindow(window);
  const QSize outer = window->size().grownBy(frame);
  // Given before the window exists, the place is the frame's. Asking for the frame
  // between creation and move would make Qt take the place for the client area's.
  const QPoint placed = corner(outer);
  window->move(placed);
  window->winId();
  // Some platforms know the frame as soon as the window exists; X11 only once the
  // window manager has framed it, and till then the estimate stands.
  const QSize known = window->frameGeometry().size();
  const bool frame_known = known != window->size();
  if (frame_known && corner(known) != placed) window->move(corner(known));
  window->windowHandle()->installEventFilter(new FrameCorrector(window, corner));
}
