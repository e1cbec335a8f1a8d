// Process start-up of the Qt front end: the application object, then the main routine.
#include <QApplication>

#include "ui/qt/dialog_window.h"
#include "ui/window.h"

int RunFrontEnd(int argc, char** argv, int (*main_routine)()) {
  QApplication application(argc, argv);
  // The program ends when its main routine returns, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  EnsureControlHooks();
  return main_routine();
}
