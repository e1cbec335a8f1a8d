// The inner loop of every modal wait of the front end.
#pragma once
#include <functional>

// Handles the GUI thread's events until `done` returns true. Unlike QEventLoop::exec,
// it is not ended by QCoreApplication::exit: only its own condition ends it.
void ProcessEventsUntil(const std::function<bool()>& done);

class QDialog;
// Shows the dialog in front, runs `once_shown` (if any), and handles events until the
// dialog is finished: every dialog of the front end is shown and waited for this way.
void ShowAndWait(QDialog* dialog, const std::function<void()>& once_shown = nullptr);
