// The inner loop of every modal wait of the front end.
#pragma once
#include <functional>

// Handles the GUI thread's events until `done` returns true. Unlike QEventLoop::exec,
// it is not ended by QCoreApplication::exit: only its own condition ends it.
void ProcessEventsUntil(const std::function<bool()>& done);
