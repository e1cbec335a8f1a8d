// Process start-up of the Qt front end: the application object with Qt's own dialogs in
// Spanish, then the main routine.
#include <QApplication>
#include <cstdio>

#include "ui/qt/dialog_window.h"
#include "ui/qt/translations.h"
#include "ui/window.h"

int RunFrontEnd(int argc, char** argv, int (*main_routine)()) {
  // Qt's own dialogs, never a desktop's native ones, so that their texts are the
  // Spanish ones loaded below.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication application(argc, argv);
  // The program ends when its main routine returns, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);
  const QString missing = InstallSpanishTranslations();
  // Not a reason to stop: the program's own texts are Spanish either way.
  if (!missing.isEmpty())
    std::fprintf(stderr, "tessarine: sin traducciones de Qt (%s)\n", qPrintable(missing));
  EnsureControlHooks();
  return main_routine();
}
