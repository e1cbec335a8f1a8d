// The message box: a title, a text and one OK button (Qt's own, "Aceptar" in Spanish),
// with no owner, so the program's window stays usable while it is shown; the call
// returns when the box is closed.
#include <QMessageBox>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/qt/modal_wait.h"

int32_t ShowMessage(const char* text, int32_t style, const char* title) {
  (void)style;  // the program only shows the one-button box of style 0
  const bool titled = title != nullptr && title[0] != '\0';
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(titled ? title : kProgramName),
                  QString::fromUtf8(text != nullptr ? text : ""), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::NonModal);
  ShowAndWait(&box);
  return IDOK;  // OK, Esc and the close box all answer OK
}
