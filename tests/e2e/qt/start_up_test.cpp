// The front end's start-up, run for real (RunFrontEnd is this program's main): Qt's own
// dialogs speak Spanish on a system set to another language, and the colour chooser
// leaves nothing in the user's configuration folder, during the run or after it.
#include <QApplication>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "driver.h"
#include "files/card_files.h"
#include "ui/window.h"

namespace {

const char* const kChildVariable = "TESSARINE_E2E_CHILD";
const QColor kAddedColour(0x12, 0x34, 0x56);

QStringList ActionTexts(const QWidget* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text().section('\t', 0, 0);
  return texts;
}

QStringList LabelTexts(const QWidget* dialog) {
  QStringList texts;
  for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
  return texts;
}

QPushButton* ButtonReading(const QWidget* dialog, const QString& text) {
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

void PressChooserButton(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  if (buttons != nullptr && buttons->button(which) != nullptr) buttons->button(which)->click();
  if (dialog->isVisible()) dialog->reject();
}

// Everything in a folder, hidden files included.
QStringList EverythingIn(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

QString ConfigFolder() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }

// Runs `function` of this program again in a process of its own, with the user's
// configuration folder set to `config`; its output, and whether it passed.
bool RunChild(const char* function, const QString& config, QString* output) {
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(kChildVariable, "1");
  environment.insert("XDG_CONFIG_HOME", config);
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QApplication::applicationFilePath(), {function});
  const bool finished = child.waitForFinished(120000);
  if (!finished) child.kill();
  *output = QString::fromLocal8Bit(child.readAll());
  return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
         output->contains(QString("PASS   : StartUpTest::%1()").arg(function));
}

}  // namespace

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The system speaks German here (see main): Spanish must not come from the locale.
    QVERIFY2(QLocale::system().language() != QLocale::Spanish,
             qPrintable(QLocale::system().name()));
  }

  void init() {
    ForgetDialogs();
    RemoveTree(BatchFolder());
  }

  void cleanup() {
    RemoveTree(BatchFolder());
    QVERIFY2(TakeUnexpectedDialogs().isEmpty(), "a dialog nobody expected was open");
    QVERIFY(AllExpectedDialogsSeen());
    ForgetDialogs();
  }

  void colourChooserSpeaksSpanish() {
    RunProgram([](QWidget* window) {
      QString title;
      QStringList labels;
      bool adds = false, accepts = false, cancels = false;
      ExpectDialog([&](QDialog* dialog) {
        title = dialog->windowTitle();
        labels = LabelTexts(dialog);
        adds = ButtonReading(dialog, "&Añadir a los colores personalizados") != nullptr;
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        accepts = buttons != nullptr && buttons->button(QDialogButtonBox::Ok)->text() == "Aceptar";
        cancels = buttons != nullptr &&
                  buttons->button(QDialogButtonBox::Cancel)->text() == "Cancelar";
        PressChooserButton(dialog, QDialogButtonBox::Cancel);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(title, QString("Selecciona color"));
      QVERIFY2(labels.contains("Colores &básicos"), qPrintable(labels.join(" | ")));
      QVERIFY2(labels.contains("&Colores personalizados"), qPrintable(labels.join(" | ")));
      QVERIFY(adds);
      QVERIFY(accepts);
      QVERIFY(cancels);
    });
  }

  void messageBoxButtonReadsAceptar() {
    RunProgram([](QWidget* window) {
      QStringList buttons;
      Message message;
      ExpectDialog([&](QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
          for (QAbstractButton* button : box->buttons()) buttons << button->text();
        ReadMessage(&message)(dialog);
      });
      QVERIFY(Choose(window, "Autor"));
      QCOMPARE(buttons, QStringList({"Aceptar"}));
      QCOMPARE(message.title, QString("Programador"));
    });
  }

  void editFieldMenuSpeaksSpanishAndThePromptKeepsItsButtons() {
    RunProgram([](QWidget* window) {
      QStringList menu, buttons;
      ExpectDialog([&](QDialog* dialog) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) buttons << button->text();
        auto* edit = dialog->findChild<QLineEdit*>();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &click);
        QWidget* popup = QApplication::activePopupWidget();
        if (popup != nullptr) {
          menu = ActionTexts(popup);
          popup->close();
        }
        DismissPrompt("Cancel")(dialog);
      });
      QVERIFY(Choose(window, "Muchas"));
      QVERIFY2(menu.contains("&Deshacer"), qPrintable(menu.join(" | ")));
      QVERIFY2(menu.contains("Cor&tar"), qPrintable(menu.join(" | ")));
      QVERIFY2(menu.contains("&Pegar"), qPrintable(menu.join(" | ")));
      QVERIFY(!menu.contains("&Undo"));
      // The number prompt's own buttons read the same in every language.
      buttons.sort();
      QCOMPARE(buttons, QStringList({"Cancel", "OK"}));
    });
  }

  void customColoursAreWrittenNowhere() {
    if (!qEnvironmentVariableIsSet(kChildVariable)) {
      QTemporaryDir config;
      QVERIFY(config.isValid());
      QString output;
      QVERIFY2(RunChild("customColoursAreWrittenNowhere", config.path(), &output),
               qPrintable(output));
      // The program has ended: nothing was written at its end either.
      QCOMPARE(EverythingIn(config.path()), QStringList());
      return;
    }
    RunProgram([](QWidget* window) {
      QStringList during;
      QColor added;
      ExpectDialog([&](QDialog* dialog) {
        auto* chooser = qobject_cast<QColorDialog*>(dialog);
        chooser->setCurrentColor(kAddedColour);
        QPushButton* add = ButtonReading(
            dialog, QCoreApplication::translate("QColorDialog", "&Add to Custom Colors"));
        if (add != nullptr) add->click();
        added = QColorDialog::customColor(0);
        PressChooserButton(dialog, QDialogButtonBox::Ok);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(added, kAddedColour);
      // The chooser has closed, which is when Qt would write its file.
      QCOMPARE(EverythingIn(ConfigFolder()), QStringList());
      // The added colour lives on in the process: the next chooser offers it.
      QColor offered;
      ExpectDialog([&](QDialog* dialog) {
        offered = QColorDialog::customColor(0);
        PressChooserButton(dialog, QDialogButtonBox::Cancel);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(offered, kAddedColour);
      QCOMPARE(EverythingIn(ConfigFolder()), QStringList());
    });
  }

  void usersQtSettingsAreLeftAlone() {
    const QByteArray settings = "[Qt]\ncustomColors\\0=4278256131\n";
    if (!qEnvironmentVariableIsSet(kChildVariable)) {
      QTemporaryDir config;
      QVERIFY(config.isValid());
      QFile file(config.filePath("QtProject.conf"));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(settings);
      file.close();
      QString output;
      QVERIFY2(RunChild("usersQtSettingsAreLeftAlone", config.path(), &output),
               qPrintable(output));
      QCOMPARE(EverythingIn(config.path()), QStringList({"QtProject.conf"}));
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), settings);
      return;
    }
    RunProgram([](QWidget* window) {
      // A colour of an earlier run of some Qt program is not one of this run's.
      QColor offered;
      ExpectDialog([&](QDialog* dialog) {
        offered = QColorDialog::customColor(0);
        qobject_cast<QColorDialog*>(dialog)->setCurrentColor(kAddedColour);
        QPushButton* add = ButtonReading(
            dialog, QCoreApplication::translate("QColorDialog", "&Add to Custom Colors"));
        if (add != nullptr) add->click();
        PressChooserButton(dialog, QDialogButtonBox::Ok);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(offered, QColor(0, 0, 0));
    });
  }
};

namespace {
int g_argc = 0;
char** g_argv = nullptr;

int RunTests() {
  StartUpTest test;
  return QTest::qExec(&test, g_argc, g_argv);
}
}  // namespace

int main(int argc, char** argv) {
  // A system set to German, whose own language Qt would otherwise speak or fall back from.
  setenv("LC_ALL", "C.UTF-8", 1);
  setenv("LANG", "de_DE.UTF-8", 1);
  setenv("LANGUAGE", "de", 1);
  g_argc = argc;
  g_argv = argv;
  return RunFrontEnd(argc, argv, RunTests);
}

#include "start_up_test.moc"
