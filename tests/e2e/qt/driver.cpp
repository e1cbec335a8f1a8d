// The driver of the end-to-end tests: a dialog watcher on a timer, and the ways a user
// reaches the program's window, menu and picture.
#include "driver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>

#include "app/shell.h"
#include "ui/constants.h"

namespace {

std::deque<DialogHandler> g_expected;
QStringList g_unexpected;
QList<QPointer<QDialog>> g_handled;
QTimer* g_watcher = nullptr;

bool Handled(QDialog* dialog) {
  for (const QPointer<QDialog>& seen : g_handled)
    if (seen == dialog) return true;
  return false;
}

void LookForDialogs() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog == nullptr || !dialog->isVisible() || Handled(dialog)) continue;
    g_handled.removeAll(QPointer<QDialog>());
    g_handled.append(dialog);
    if (!g_expected.empty()) {
      const DialogHandler handler = g_expected.front();
      g_expected.pop_front();
      handler(dialog);
      if (dialog->isVisible()) {
        // The handler stopped half way (a failed check): close it so the program goes on.
        g_unexpected.append("left open: " + dialog->windowTitle());
        dialog->reject();
      }
    } else {
      g_unexpected.append(dialog->windowTitle() + ": " + DialogText(dialog));
      dialog->reject();
    }
    // A handler may have opened or closed windows: look again at the next tick.
    return;
  }
}

QPushButton* ButtonWithText(QDialog* dialog, const QString& text) {
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

}  // namespace

void ExpectDialog(DialogHandler handler) { g_expected.push_back(std::move(handler)); }

bool AllExpectedDialogsSeen() { return g_expected.empty(); }

QStringList TakeUnexpectedDialogs() {
  QStringList taken;
  taken.swap(g_unexpected);
  return taken;
}

void WatchDialogs() {
  if (g_watcher == nullptr) {
    g_watcher = new QTimer();
    g_watcher->setInterval(5);
    QObject::connect(g_watcher, &QTimer::timeout, LookForDialogs);
  }
  g_watcher->start();
}

void ForgetDialogs() {
  if (g_watcher != nullptr) g_watcher->stop();
  g_expected.clear();
  g_unexpected.clear();
  g_handled.clear();
}

QString DialogText(QDialog* dialog) {
  if (auto* box = qobject_cast<QMessageBox*>(dialog)) return box->text();
  if (auto* label = dialog->findChild<QLabel*>()) return label->text();
  return QString();
}

DialogHandler ReadMessage(Message* message) {
  return [message](QDialog* dialog) {
    message->title = dialog->windowTitle();
    message->text = DialogText(dialog);
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box != nullptr && box->button(QMessageBox::Ok) != nullptr)
      box->button(QMessageBox::Ok)->click();
    else
      dialog->reject();
  };
}

DialogHandler AnswerPrompt(const QString& answer) {
  return [answer](QDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>();
    if (edit == nullptr) {
      dialog->reject();
      return;
    }
    QTest::keyClicks(edit, answer);
    QTest::keyClick(edit, Qt::Key_Return);
    if (dialog->isVisible()) dialog->reject();  // Enter did not answer: the test fails
  };
}

DialogHandler DismissPrompt(const QString& how) {
  return [how](QDialog* dialog) {
    if (how == "Cancel") {
      if (QPushButton* cancel = ButtonWithText(dialog, "Cancel")) cancel->click();
    } else if (how == "Esc") {
      QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Escape);
    } else if (how == "close") {
      dialog->close();
    }
    if (dialog->isVisible()) dialog->accept();  // not closed as asked: the answer shows it
  };
}

QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->windowTitle() == kProgramName &&
        qobject_cast<QDialog*>(widget) == nullptr)
      return widget;
  return nullptr;
}

QWidget* PictureOf(QWidget* window) {
  return window != nullptr ? window->findChild<QWidget*>("control_1001") : nullptr;
}

QMenuBar* MenuBarOf(QWidget* window) {
  if (window == nullptr) return nullptr;
  for (QMenuBar* bar : window->findChildren<QMenuBar*>())
    if (bar->isVisibleTo(window)) return bar;
  return nullptr;
}

QAction* MenuItem(QWidget* window, const QString& text) {
  QMenuBar* bar = MenuBarOf(window);
  if (bar == nullptr) return nullptr;
  for (QAction* top : bar->actions()) {
    if (top->menu() == nullptr) continue;
    for (QAction* item : top->menu()->actions())
      if (item->text() == text) return item;
  }
  return nullptr;
}

bool Choose(QWidget* window, const QString& text) {
  QAction* item = MenuItem(window, text);
  if (item == nullptr || !item->isEnabled()) return false;
  item->trigger();
  return true;
}

QImage PictureImage(QWidget* window) {
  QWidget* picture = PictureOf(window);
  if (picture == nullptr) return QImage();
  return picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage SwatchImage(QWidget* window) {
  QAction* item = MenuItem(window, "Elegir Color");
  if (item == nullptr || item->icon().isNull()) return QImage();
  return item->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
}

int RunProgram(const std::function<void(QWidget* window)>& script) {
  WatchDialogs();
  QTimer::singleShot(0, [script] {
    QWidget* window = MainWindow();
    script(window);
    if (QWidget* still_open = MainWindow()) {
      if (!Choose(still_open, "Salir")) still_open->close();
    }
  });
  const int result = MainRoutine();
  if (g_watcher != nullptr) g_watcher->stop();
  return result;
}

QRgb RgbOf(int32_t colour) {
  return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int CountNot(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) | 0xFF000000) != (colour | 0xFF000000)) ++count;
  return count;
}

std::string ReadFileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::string();
  return file.readAll().toStdString();
}


QString DialogTroubleThenForget() {
  QString trouble;
  if (!AllExpectedDialogsSeen()) trouble = "a dialog the test waited for never came";
  const QStringList unexpected = TakeUnexpectedDialogs();
  if (!unexpected.isEmpty()) trouble += (trouble.isEmpty() ? "" : "; ") + unexpected.join(" | ");
  ForgetDialogs();
  return trouble;
}
