// The picture control: a child widget that shows its drawing surface and nothing else,
// painted by one copy of the surface's pixels, and the hooks through which the drawing
// layer finds it, measures it and has it repainted at once.
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include "draw/draw.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

// WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_OWNERDRAW, and the bits always added.
constexpr uint32_t kPictureDefaultStyle = 0x5001000D;
constexpr uint32_t kPictureForcedStyle = 0x5000000D;

class PictureControl : public QWidget {
 public:
  explicit PictureControl(QWidget* parent) : QWidget(parent) {
    // The surface covers every pixel: no background of its own.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
  }
  uint32_t handle = 0;

 protected:
  void paintEvent(QPaintEvent* event) override {
    const PixelView view = ControlSurfacePixels(handle);
    if (view.pixels == nullptr) return;
    // Wraps the surface's 0xFFRRGGBB pixels as they are; nothing is converted.
    const QImage image(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height,
                       static_cast<qsizetype>(view.stride) * 4, QImage::Format_RGB32);
    const QRect area = event->rect() & image.rect();
    QPainter painter(this);
    painter.drawImage(area.topLeft(), image, area);
  }
  void mousePressEvent(QMouseEvent* event) override {
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
  }
  bool event(QEvent* event) override {
    // Every key comes here while the control has the focus, and does nothing.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      event->accept();
      return true;
    }
    return QWidget::event(event);
  }
};

uint32_t HookFindControl(uint32_t window, int32_t control_id) {
  return FindControl(window, control_id);
}

bool HookClientSize(uint32_t control, int32_t* width, int32_t* height) {
  const WindowRecord* record = FindWindowRecord(control);
  if (record == nullptr || record->widget == nullptr) return false;
  *width = record->widget->width();
  *height = record->widget->height();
  return true;
}

void HookRepaint(uint32_t control, int32_t x, int32_t y, int32_t width, int32_t height) {
  const WindowRecord* record = FindWindowRecord(control);
  if (record == nullptr || record->widget == nullptr) return;
  // Synchronous, so each card of a batch is on the screen before the next is drawn.
  record->widget->repaint(x, y, width, height);
}

const ControlHooks kHooks = {HookFindControl, HookClientSize, HookRepaint};

}  // namespace

void EnsureControlHooks() {
  static bool registered = false;
  if (registered) return;
  SetControlHooks(&kHooks);
  registered = true;
}

void AddControl(int32_t kind, uint32_t parent, int32_t id, const char* text, int32_t x,
                int32_t y, int32_t width, int32_t height, uint32_t style,
                uint32_t extended_style, WindowCallback callback) {
  (void)text;  // the picture control shows no text
  const WindowRecord* owner = FindWindowRecord(parent);
  if (owner == nullptr || owner->kind != WindowKind::kDialog || owner->client == nullptr) return;
  if (kind != kPictureControlKind) return;  // the only kind the program uses
  EnsureControlHooks();

  const bool pixel_units = owner->pixel_units;
  const QRect geometry = pixel_units
                             ? QRect(x, y, width, height)
                             : DialogUnitsToPixels(x, y, width, height, SystemBaseUnits());
  auto* control = new PictureControl(owner->client);
  control->setGeometry(geometry);
  control->setObjectName(QStringLiteral("control_%1").arg(id));

  WindowRecord& record = AddWindowRecord(WindowKind::kControl, control);
  record.parent = parent;
  record.pixel_units = pixel_units;
  record.style = (style != 0 ? style : kPictureDefaultStyle) | kPictureForcedStyle;
  record.extended_style = extended_style;
  record.callback = callback;
  record.control_kind = kind;
  record.id = id;
  control->handle = record.handle;
  control->show();

  record.has_surface = true;
  NewControlSurface(record.handle);
}
