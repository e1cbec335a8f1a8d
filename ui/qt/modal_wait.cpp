// Modal waits: block in the event dispatcher until an event arrives, handle it, and look
// at the condition again, so nothing polls while the program is idle.
#include "ui/qt/modal_wait.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>

void ProcessEventsUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ShowAndWait(QDialog* dialog, const std::function<void()>& once_shown) {
  bool closed = false;
  QObject::connect(dialog, &QDialog::finished, [&closed] { closed = true; });
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  if (once_shown) once_shown();
  ProcessEventsUntil([&closed] { return closed; });
}
