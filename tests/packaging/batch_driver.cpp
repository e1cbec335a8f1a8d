// Drives an installed Tessarine from inside its own process, as a user would: once the
// main window is up it chooses "Muchas", types the answer of TESSARINE_DRIVER_ANSWER
// into the prompt and presses Enter, writes the text of every message box to the file
// TESSARINE_DRIVER_REPORT (one a line) and presses its OK, then chooses "Salir".
// Anything it did not expect goes to the same file as a line "problema: ...".
// Loaded by Qt as a generic plugin (QT_QPA_GENERIC_PLUGINS=tessarinebatch), created
// while the application object is made, so all it does then is start its timer.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace {

constexpr int kTickMs = 20;
constexpr int kCannotLeave = 3;  // exit code when "Salir" cannot be found

QList<QPointer<QDialog>> g_seen;
bool g_script_started = false;
bool g_prompt_answered = false;

void Report(const QString& line) {
  QFile report(qEnvironmentVariable("TESSARINE_DRIVER_REPORT"));
  if (!report.open(QIODevice::Append | QIODevice::Text)) return;
  report.write(line.toUtf8() + '\n');
}

QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && qobject_cast<QDialog*>(widget) == nullptr &&
        widget->findChild<QMenuBar*>() != nullptr)
      return widget;
  return nullptr;
}

QAction* MenuItem(const QString& text) {
  QWidget* window = MainWindow();
  if (window == nullptr) return nullptr;
  for (QMenuBar* bar : window->findChildren<QMenuBar*>())
    for (QAction* top : bar->actions())
      if (top->menu() != nullptr)
        for (QAction* item : top->menu()->actions())
          if (item->text() == text && item->isEnabled()) return item;
  return nullptr;
}

// Runs the command to its end: its dialogs are answered by the watcher meanwhile.
void Choose(const QString& text) {
  if (QAction* item = MenuItem(text))
    item->trigger();
  else
    Report("problema: no hay \"" + text + "\" en el menú");
}

void RunScript() {
  Choose("Muchas");
  if (!g_prompt_answered) Report("problema: \"Muchas\" no preguntó cuántos cartones");
  if (MenuItem("Salir") == nullptr) {
    Report("problema: no hay \"Salir\" en el menú");
    std::_Exit(kCannotLeave);
  }
  Choose("Salir");
}

void Answer(QDialog* dialog) {
  if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
    Report(box->text());
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
  } else if (auto* edit = dialog->findChild<QLineEdit*>(); edit != nullptr && !g_prompt_answered) {
    g_prompt_answered = true;
    QTest::keyClicks(edit, qEnvironmentVariable("TESSARINE_DRIVER_ANSWER"));
    QTest::keyClick(edit, Qt::Key_Return);
  } else {
    Report("problema: un diálogo que nadie esperaba: " + dialog->windowTitle());
  }
  if (dialog->isVisible()) {
    Report("problema: sigue abierto: " + dialog->windowTitle());
    dialog->reject();
  }
}

// Each tick: start the script once the window is up, answer one new dialog.
void Tick() {
  if (!g_script_started) {
    if (MenuItem("Muchas") == nullptr) return;
    g_script_started = true;
    QTimer::singleShot(0, RunScript);
    return;
  }
  g_seen.removeAll(QPointer<QDialog>());
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog == nullptr || !dialog->isVisible() || g_seen.contains(dialog)) continue;
    g_seen.append(dialog);
    Answer(dialog);
    return;  // the answer may have opened or closed windows: look again next tick
  }
}

}  // namespace

class BatchDriverPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "batch_driver.json")

 public:
  QObject* create(const QString& key, const QString& parameters) override {
    (void)parameters;
    if (key.compare("tessarinebatch", Qt::CaseInsensitive) != 0) return nullptr;
    // Qt owns what create returns and deletes it with the application.
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, Tick);
    timer->start(kTickMs);
    return timer;
  }
};

#include "batch_driver.moc"
