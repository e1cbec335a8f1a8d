// The one-line text prompt: the caption in the title bar, the prompt in the body, an
// edit field along the bottom and "OK" and "Cancel" at the right, laid out in dialog
// units of the system font. It has no owner: the program's window stays usable.
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "ui/dialogs.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/modal_wait.h"

namespace {

constexpr const char* kDefaultCaption = "Tessarine";

// The dialog and its items in dialog units: x, y, width, height.
struct UnitRect {
  int x, y, width, height;
};
constexpr UnitRect kDialog = {0, 0, 150, 100};
constexpr UnitRect kEdit = {4, 82, 140, 12};
constexpr UnitRect kOk = {104, 5, 40, 10};
constexpr UnitRect kCancel = {104, 19, 40, 10};
constexpr UnitRect kPrompt = {5, 5, 95, 72};

QRect Pixels(const UnitRect& rect, DialogBaseUnits base) {
  return DialogUnitsToPixels(rect.x, rect.y, rect.width, rect.height, base);
}

QPoint CentredCorner(QSize outer) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return QPoint(0, 0);
  const QRect area = screen->availableGeometry();
  return QPoint(std::max(0, (2 * area.x() + area.width() - outer.width()) / 2),
                std::max(0, (2 * area.y() + area.height() - outer.height()) / 2));
}

}  // namespace

std::string PromptForText(const char* prompt, const char* caption, const char* default_text,
                          int16_t x, int16_t y) {
  const DialogBaseUnits base = SystemBaseUnits();
  QDialog dialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const bool captioned = caption != nullptr && caption[0] != '\0';
  dialog.setWindowTitle(QString::fromUtf8(captioned ? caption : kDefaultCaption));
  dialog.setFixedSize(Pixels(kDialog, base).size());

  // Template order is tab order: the edit field, OK, Cancel, the prompt.
  auto* edit = new QLineEdit(QString::fromUtf8(default_text != nullptr ? default_text : ""),
                             &dialog);
  edit->setGeometry(Pixels(kEdit, base));
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setGeometry(Pixels(kOk, base));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setGeometry(Pixels(kCancel, base));
  cancel->setAutoDefault(false);
  auto* label = new QLabel(QString::fromUtf8(prompt != nullptr ? prompt : ""), &dialog);
  label->setGeometry(Pixels(kPrompt, base));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);

  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  bool closed = false;
  QObject::connect(&dialog, &QDialog::finished, [&closed] { closed = true; });

  dialog.winId();  // the frame's size is known once the window exists
  dialog.move(x < 0 || y < 0 ? CentredCorner(dialog.frameGeometry().size()) : QPoint(x, y));
  dialog.setWindowModality(Qt::NonModal);
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  // Typing replaces the default text.
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
  ProcessEventsUntil([&closed] { return closed; });
  // The whole text, however long, with its blanks.
  if (dialog.result() != QDialog::Accepted) return std::string();
  return edit->text().toUtf8().toStdString();
}
