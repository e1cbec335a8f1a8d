// tessarine-bingo: the bingo window. The game lives in the user's data folder
// ($XDG_DATA_HOME/tessarine, else ~/.local/share/tessarine), one game at a time.
#include <QApplication>
#include <QMessageBox>

#include "bingo/qt/bingo_window.h"
#include "disk/user_folders.h"
#include "ui/qt/translations.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tessarine Bingo");
  QApplication::setDesktopFileName("tessarine-bingo");
  InstallSpanishTranslations();
  const QString folder = QString::fromStdString(UserDataFolder());
  if (folder.isEmpty()) {
    QMessageBox::critical(nullptr, "Tessarine Bingo",
                          "No se sabe cuál es la carpeta de datos del usuario: falta HOME");
    return 1;
  }
  BingoWindow window(folder);  // sized within the screen's work area, title bar included
  window.show();
  const QString refused = window.Open();
  if (!refused.isEmpty()) {
    QMessageBox::critical(&window, "Tessarine Bingo", refused);
    return 1;
  }
  return application.exec();
}
