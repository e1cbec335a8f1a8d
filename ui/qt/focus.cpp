// The keyboard focus as a window handle: any widget can hold the focus, so one that the
// program has not made gets a handle of its own the first time it is asked for.
#include <QApplication>

#include "ui/qt/window_records.h"
#include "ui/window.h"

uint32_t FocusWindow() { return HandleForWidget(QApplication::focusWidget()); }

void SetFocusWindow(uint32_t window) {
  const WindowRecord* record = FindWindowRecord(window);
  if (record == nullptr || record->widget == nullptr) return;
  record->widget->setFocus(Qt::OtherFocusReason);
}
