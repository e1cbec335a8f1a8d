// Process start-up of the Qt front end: the application object with Qt's own dialogs in
// Spanish, then the main routine.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/qt/dialog_window.h"
#include "ui/qt/translations.h"
#include "ui/window.h"

namespace {
bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool PlatformChosenByUser(int argc, char** argv) {
  if (IsSet("QT_QPA_PLATFORM")) return true;
  for (int i = 1; i < argc; i++)
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
      return true;
  return false;
}

// Qt's Wayland platform cannot place a window, so on a Wayland desktop the main window
// would land wherever the compositor likes. Where an X server is there too (XWayland, as
// on every mainstream Wayland desktop) and the user has chosen no platform, X11 it is.
void PreferX11OverWayland(int argc, char** argv) {
  const char* session = std::getenv("XDG_SESSION_TYPE");
  const bool wayland = IsSet("WAYLAND_DISPLAY") ||
                       (session != nullptr && std::strcmp(session, "wayland") == 0);
  if (wayland && IsSet("DISPLAY") && !PlatformChosenByUser(argc, argv))
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}
}  // namespace

int RunFrontEnd(int argc, char** argv, int (*main_routine)()) {
  PreferX11OverWayland(argc, argv);
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
