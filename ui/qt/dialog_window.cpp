// Dialog windows: creation at a pixel-exact place and client size, the modal run with
// the program's callback, the end of a window, and the dispatch of its messages.
#include "ui/qt/dialog_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>

#include "ui/qt/dialog_units.h"
#include "ui/qt/frame_place.h"
#include "ui/qt/modal_wait.h"
#include "ui/qt/motif_hints.h"
#include "ui/qt/window_records.h"
#include "ui/window.h"

namespace {

constexpr uint32_t kStyleMaximizeBox = 0x00010000;
constexpr uint32_t kStyleSystemMenu = 0x00080000;
// WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK
constexpr uint32_t kDefaultDialogStyle = 0x80C000D4;

bool HasSystemMenu(uint32_t style) { return (style & kStyleSystemMenu) != 0; }

Qt::WindowFlags FlagsOfStyle(uint32_t style) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  // As on Windows, the minimise and maximise boxes stand beside the close box, and all
  // of them need the system menu: without it the caption bar holds the caption alone.
  if (!HasSystemMenu(style)) return flags;
  flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (style & kStyleMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

QWidget* WidgetOf(uint32_t window) {
  const WindowRecord* record = FindWindowRecord(window);
  return record != nullptr ? record->widget.data() : nullptr;
}

// Where the window's outer top-left corner goes for a given (x, y).
QPoint PlaceOf(int32_t x, int32_t y, QSize outer, uint32_t parent) {
  if (x == POS_DEFAULT || y == POS_DEFAULT) return CentredInWorkArea(outer);
  const WindowRecord* owner = FindWindowRecord(parent);
  if (owner != nullptr && owner->client != nullptr)
    return owner->client->mapToGlobal(QPoint(0, 0)) + QPoint(x, y);
  return QPoint(x, y);
}

void KeepAboveOwner(QWidget* window, QWidget* owner) {
  // Not a Qt parent: disabling the owner must not disable this window too.
  window->winId();
  owner->winId();
  window->windowHandle()->setTransientParent(owner->windowHandle());
}

int SizeTypeOf(uint32_t style) {
  if (style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
  if (style & WS_MINIMIZE) return SIZE_MINIMIZED;
  return SIZE_RESTORED;
}

int32_t PackedClientSize(uint32_t window) {
  const WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->client == nullptr) return 0;
  const QSize size = record->client->size();
  return static_cast<int32_t>((size.width() & 0xFFFF) | ((size.height() & 0xFFFF) << 16));
}

}  // namespace

DialogWindow::DialogWindow(Qt::WindowFlags flags)
    : QWidget(nullptr, flags), client_(new QWidget(this)) {}

void DialogWindow::SetMenuBar(QMenuBar* bar) {
  if (bar_ != nullptr && bar_ != bar) {
    // A replaced bar is detached, not destroyed: its record keeps it to the end.
    bar_->hide();
    bar_->setParent(nullptr);
  }
  bar_ = bar;
  if (bar != nullptr) {
    bar->setParent(this);
    bar->setNativeMenuBar(false);
    bar->show();
  }
  LayOut();
}

void DialogWindow::LayOut() {
  int bar_height = 0;
  if (bar_ != nullptr) {
    bar_height = bar_->heightForWidth(width());
    if (bar_height <= 0) bar_height = bar_->sizeHint().height();
    bar_->setGeometry(0, 0, width(), bar_height);
  }
  client_->setGeometry(0, bar_height, width(), std::max(0, height() - bar_height));
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  // The window is ended only through EndDialogWindow; this is the system's close command.
  event->ignore();
  const WindowRecord* record = FindWindowRecord(handle);
  if (record == nullptr || record->ending) return;
  DispatchToWindow(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  const WindowRecord* record = FindWindowRecord(handle);
  if (record == nullptr || record->callback == nullptr || record->ending) return;
  if (event->type() == QEvent::ActivationChange) {
    DispatchToWindow(handle, WM_NCACTIVATE, isActiveWindow() ? 1 : 0, 0);
  } else if (event->type() == QEvent::WindowStateChange) {
    const int type = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED
                                                                    : SIZE_RESTORED;
    DispatchToWindow(handle, WM_SIZE, type, PackedClientSize(handle));
  }
}

int32_t DispatchToWindow(uint32_t window, uint32_t message, uint32_t wparam, int32_t lparam) {
  const WindowRecord* record = FindWindowRecord(window);
  const WindowCallback callback = record != nullptr ? record->callback : nullptr;
  const int32_t result = callback != nullptr ? callback(window, message, wparam, lparam) : 0;
  if (result != 0) return result;
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
    EndDialogWindow(window, 0);
    return 1;
  }
  return 0;
}

void DispatchMenuCommand(uint32_t window, int32_t id, void* item_callback) {
  const uint32_t wparam = static_cast<uint16_t>(id);  // high word 0: from a menu
  if (item_callback != nullptr) {
    const auto callback = reinterpret_cast<WindowCallback>(item_callback);
    if (callback(window, WM_COMMAND, wparam, 0) != 0) return;
  }
  DispatchToWindow(window, WM_COMMAND, wparam, 0);
}

uint32_t CreateDialogWindow(int32_t flags, uint32_t parent, const char* caption, int32_t x,
                            int32_t y, int32_t width, int32_t height, uint32_t style,
                            uint32_t extended_style) {
  if (QGuiApplication::instance() == nullptr) return 0;
  EnsureControlHooks();
  if (style == 0) style = kDefaultDialogStyle;
  style &= ~WS_VISIBLE;
  if (FindWindowRecord(parent) == nullptr) parent = 0;

  auto* window = new DialogWindow(FlagsOfStyle(style));
  WindowRecord& record = AddWindowRecord(WindowKind::kDialog, window);
  record.parent = parent;
  record.pixel_units = (flags & UNITS_PIXELS) != 0;
  record.style = style;
  record.extended_style = extended_style;
  record.client = window->client();
  window->handle = record.handle;
  window->setWindowTitle(QString::fromUtf8(caption != nullptr ? caption : ""));

  QSize client(width, height);
  QPoint place(x, y);
  if (!record.pixel_units) {
    const QRect pixels = DialogUnitsToPixels(x, y, width, height, SystemBaseUnits());
    client = pixels.size();
    if (x != POS_DEFAULT && y != POS_DEFAULT) place = pixels.topLeft();
  }
  // A dialog is not resized by the user; the menu bar later takes its height from inside.
  window->setFixedSize(client);
  PlaceByFrame(window, [place, parent](QSize outer) {
    return PlaceOf(place.x(), place.y(), outer, parent);
  });
  // Qt's own hints cannot say "caption only"; where they can be written, these do.
  if (!HasSystemMenu(style)) AskForCaptionOnly(window);
  window->SetMenuBar(nullptr);
  if (QWidget* owner = WidgetOf(parent)) KeepAboveOwner(window, owner);
  return record.handle;
}

void RunModal(uint32_t window, WindowCallback callback, int32_t* result) {
  const WindowRecord* found = FindWindowRecord(window);
  const uint32_t style = found != nullptr ? found->style : 0;
  if (callback != nullptr) {
    callback(window, WM_INITDIALOG, window, 0);
    callback(window, WM_SIZE, SizeTypeOf(style), PackedClientSize(window));
  }
  WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->kind != WindowKind::kDialog || record->ending) return;
  record->callback = callback;
  record->result_slot = result;
  const QPointer<QWidget> widget = record->widget;
  const uint32_t parent = record->parent;
  if (QWidget* owner = WidgetOf(parent)) owner->setEnabled(false);

  if (style & WS_MAXIMIZE)
    widget->showMaximized();
  else if (style & WS_MINIMIZE)
    widget->showMinimized();
  else
    widget->show();
  widget->raise();
  widget->activateWindow();

  ProcessEventsUntil([window] { return FindWindowRecord(window) == nullptr; });
  // Nothing of the window is on the stack any more: it can go now.
  delete widget.data();
  if (QWidget* owner = WidgetOf(parent)) {
    owner->activateWindow();
    owner->setFocus(Qt::OtherFocusReason);
  }
}

void EndDialogWindow(uint32_t window, int32_t result) {
  WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->kind != WindowKind::kDialog || record->ending) return;
  record->ending = true;
  if (record->result_slot != nullptr) *record->result_slot = result;
  const QPointer<QWidget> widget = record->widget;
  const uint32_t parent = record->parent;

  DispatchToWindow(window, WM_CLOSE, 0, 0);
  if (QWidget* owner = WidgetOf(parent)) owner->setEnabled(true);
  if (widget != nullptr) widget->hide();
  DispatchToWindow(window, WM_DESTROY, 0, 0);
  DispatchToWindow(window, WM_NCDESTROY, 0, 0);
  // Released whatever the callback answered: the window is gone either way.
  ReleaseWindowRecords(window);
  // RunModal deletes it sooner, once its loop has let go of the window.
  if (widget != nullptr) widget->deleteLater();
}
