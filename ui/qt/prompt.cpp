// The one-line text prompt: the caption in the title bar, the prompt in the body, an
// edit field along the bottom and "OK" and "Cancel" at the right, laid out in dialog
// units of the system font. It has no owner: the program's window stays usable.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/frame_place.h"
#include "ui/qt/modal_wait.h"

namespace {

QRect Pixels(const DialogUnitRect& rect, DialogBaseUnits base) {
  return DialogUnitsToPixels(rect.x, rect.y, rect.width, rect.height, base);
}

}  // namespace

std::string PromptForText(const char* prompt, const char* caption, const char* default_text,
                          int16_t x, int16_t y) {
  const DialogBaseUnits base = SystemBaseUnits();
  QDialog dialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const bool captioned = caption != nullptr && caption[0] != '\0';
  dialog.setWindowTitle(QString::fromUtf8(captioned ? caption : kProgramName));
  dialog.setFixedSize(Pixels(kPromptDialogRect, base).size());

  // Template order is tab order: the edit field, OK, Cancel, the prompt.
  auto* edit = new QLineEdit(QString::fromUtf8(default_text != nullptr ? default_text : ""),
                             &dialog);
  edit->setGeometry(Pixels(kPromptEditRect, base));
  auto* ok = new QPushButton(QString::fromUtf8(kPromptOkText), &dialog);
  ok->setGeometry(Pixels(kPromptOkRect, base));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QString::fromUtf8(kPromptCancelText), &dialog);
  cancel->setGeometry(Pixels(kPromptCancelRect, base));
  cancel->setAutoDefault(false);
  auto* label = new QLabel(QString::fromUtf8(prompt != nullptr ? prompt : ""), &dialog);
  label->setGeometry(Pixels(kPromptTextRect, base));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);

  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  PlaceByFrame(&dialog, [x, y](QSize outer) {
    return x < 0 || y < 0 ? CentredInWorkArea(outer) : QPoint(x, y);
  });
  dialog.setWindowModality(Qt::NonModal);
  ShowAndWait(&dialog, [edit] {
    // Typing replaces the default text.
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
  });
  // The whole text, however long, with its blanks.
  if (dialog.result() != QDialog::Accepted) return std::string();
  return edit->text().toUtf8().toStdString();
}
