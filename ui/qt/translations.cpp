// Loads Debian's qtbase_es.qm (package qt6-translations-l10n) from Qt's own translations
// folder. The program speaks Spanish on every system, so the file is chosen by name,
// never by the system's locale.
#include "ui/qt/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {
constexpr const char* kQtSpanish = "qtbase_es.qm";
}

QString InstallSpanishTranslations() {
  // Owned by the application: gone, and due again, if the application is made anew.
  static QPointer<QTranslator> installed;
  if (installed != nullptr) return QString();
  const QString path =
      QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(kQtSpanish);
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(path) || !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return path;
  }
  installed = translator;
  return QString();
}
