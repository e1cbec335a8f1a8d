// Modal waits: block in the event dispatcher until an event arrives, handle it, and look
// at the condition again, so nothing polls while the program is idle.
#include "ui/qt/modal_wait.h"

#include <QCoreApplication>
#include <QEventLoop>

void ProcessEventsUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
