// The program end to end on Qt's offscreen platform: its real main routine, window,
// menu and dialogs, driven as a user drives them, and the files it leaves behind.
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

#include <memory>

#include "app/shell.h"
#include "driver.h"
#include "files/card_files.h"
#include "disk/file_system.h"
#include "disk/folder_lock.h"

namespace {

constexpr int kPictureWidth = 721;
constexpr int kPictureHeight = 241;
constexpr qint64 kCardFileBytes = 521578;
constexpr int32_t kGrey = 0xC0C0C0;
const char* const kChildVariable = "TESSARINE_E2E_CHILD";

// What is wrong with the picture as a card in `colour`, or "" if nothing: 12 blank cells
// (4 a row) filled with the colour, 15 white cells with numbers in it, and the
// one-pixel gaps between cells white.
QString CardProblem(const QImage& picture, int32_t colour) {
  const QRgb card = RgbOf(colour) & 0xFFFFFF;
  auto at = [&picture](int x, int y) { return picture.pixel(x, y) & 0xFFFFFF; };
  if (picture.size() != QSize(kPictureWidth, kPictureHeight))
    return QString("picture of %1 x %2").arg(picture.width()).arg(picture.height());
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x <= 720; x += 80)
      if (at(x, y) != 0xFFFFFF) return QString("gap column %1 not white at row %2").arg(x).arg(y);
  for (int y = 0; y <= 240; y += 80)
    for (int x = 0; x < kPictureWidth; ++x)
      if (at(x, y) != 0xFFFFFF) return QString("gap row %1 not white at column %2").arg(y).arg(x);
  for (int row = 0; row < 3; ++row) {
    int blanks = 0;
    for (int column = 0; column < 9; ++column) {
      const int x1 = 80 * column + 1;
      const int y1 = 80 * row + 1;
      if (at(x1, y1 + 40) != card || at(x1 + 78, y1 + 40) != card)
        return QString("cell %1,%2 without its outline").arg(row).arg(column);
      // Below and right of where two digits can reach.
      const QRgb inside = at(x1 + 74, y1 + 74);
      if (inside == card) {
        ++blanks;
        continue;
      }
      if (inside != 0xFFFFFF) return QString("cell %1,%2 neither blank nor white").arg(row).arg(column);
      int glyph_pixels = 0;
      for (int y = y1 + 1; y < y1 + 78; ++y)
        for (int x = x1 + 1; x < x1 + 78; ++x)
          if (at(x, y) != 0xFFFFFF) ++glyph_pixels;
      if (glyph_pixels < 100) return QString("cell %1,%2 shows no number").arg(row).arg(column);
    }
    if (blanks != 4) return QString("row %1 has %2 blank cells").arg(row).arg(blanks);
  }
  return QString();
}

QImage ImageOfFile(const QString& path) {
  return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool SameImage(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) return false;
  return true;
}

QString BatchFolderPath() { return QString::fromStdString(BatchFolder()); }

// Hidden ones too: no lock file or temporary may stay among the cards.
QStringList BatchFiles() {
  return QDir(BatchFolderPath()).entryList(
      QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QColorDialog* ChooserOf(QDialog* dialog) { return qobject_cast<QColorDialog*>(dialog); }

void PressChooserButton(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  if (buttons != nullptr && buttons->button(which) != nullptr)
    buttons->button(which)->click();
  if (dialog->isVisible()) dialog->reject();
}

// Runs a command that runs a shell tool; false (with the reason) if the machine refuses.
bool RunTool(const QString& program, const QStringList& arguments, QString* reason) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    *reason = program + " " + arguments.join(' ') + ": " +
              QString::fromLocal8Bit(process.readAllStandardError()).trimmed() +
              process.errorString();
    return false;
  }
  return true;
}

// A folder that cannot be written, even by root: the immutable mark, else a read-only
// bind mount of the folder on itself. Undone at the end.
struct UnwritableFolder {
  explicit UnwritableFolder(const QString& folder) : path(folder) {
    QString chattr_reason;
    if (RunTool("chattr", {"+i", path}, &chattr_reason)) {
      immutable = true;
    } else if (RunTool("mount", {"--bind", path, path}, &reason)) {
      mounted = true;
      if (!RunTool("mount", {"-o", "remount,bind,ro", path}, &reason)) return;
    } else {
      reason = chattr_reason + "; " + reason;
      return;
    }
    ready = ::access(path.toLocal8Bit().constData(), W_OK) != 0;
    if (!ready) reason = "the folder can still be written";
  }
  ~UnwritableFolder() {
    QString ignored;
    if (immutable) RunTool("chattr", {"-i", path}, &ignored);
    if (mounted) RunTool("umount", {path}, &ignored);
  }
  QString path;
  bool immutable = false;
  bool mounted = false;
  bool ready = false;
  QString reason;
};

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ForgetDialogs();
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
    previous_folder_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(scratch_->path()));
    RemoveTree(BatchFolder());
    RemoveTree(SwatchPath());
  }

  void cleanup() {
    QDir::setCurrent(previous_folder_);
    RemoveTree(BatchFolder());
    RemoveTree(SwatchPath());
    QVERIFY2(TakeUnexpectedDialogs().isEmpty(), "a dialog nobody expected was open");
    QVERIFY(AllExpectedDialogsSeen());
    ForgetDialogs();
    scratch_.reset();
  }

  void opensAtItsPlaceWithAWhitePicture() {
    RunProgram([](QWidget* window) {
      QVERIFY(window != nullptr);
      QCOMPARE(window->frameGeometry().topLeft(), QPoint(105, 94));
      // The bar takes its height from the 739 x 280 client area; the outer size stays.
      QCOMPARE(window->size(), QSize(739, 280));
      QMenuBar* bar = MenuBarOf(window);
      QVERIFY(bar != nullptr);
      QCOMPARE(bar->geometry().topLeft(), QPoint(0, 0));
      QVERIFY(bar->height() > 0);
      QWidget* picture = PictureOf(window);
      QVERIFY(picture != nullptr);
      QCOMPARE(picture->size(), QSize(kPictureWidth, kPictureHeight));
      QCOMPARE(picture->mapTo(window, QPoint(0, 0)), QPoint(8, 8 + bar->height()));
      QCOMPARE(picture->parentWidget()->geometry(), QRect(0, bar->height(), 739, 280 - bar->height()));
      // A title and nothing else: no minimise, maximise or close button.
      const Qt::WindowFlags flags = window->windowFlags();
      QVERIFY(flags.testFlag(Qt::WindowTitleHint));
      QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
      QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
      QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
      QCOMPARE(window->windowTitle(), QString("Tessarine"));
      // No card yet: the picture is white.
      QCOMPARE(CountNot(PictureImage(window), kWhiteRgb), 0);
    });
  }

  void menuHoldsItsCommandsAndTheSwatch() {
    RunProgram([](QWidget* window) {
      QMenuBar* bar = MenuBarOf(window);
      QVERIFY(bar != nullptr);
      QCOMPARE(bar->actions().size(), 1);
      QCOMPARE(bar->actions()[0]->text(), QString("Operaciones"));
      QStringList texts;
      for (QAction* item : bar->actions()[0]->menu()->actions())
        texts << (item->isSeparator() ? "-" : item->text());
      QCOMPARE(texts, QStringList({"Nuevo 1", "Muchas", "-", "Fotocopia", "-", "Elegir Color",
                                   "-", "Autor", "Salir"}));
      // The swatch: a box of the card colour with a black outline; its last column white.
      const QImage swatch = SwatchImage(window);
      QCOMPARE(swatch.size(), QSize(16, 16));
      QCOMPARE(swatch.pixel(7, 7) & 0xFFFFFF, RgbOf(kGrey) & 0xFFFFFF);
      QCOMPARE(swatch.pixel(7, 0) & 0xFFFFFF, 0u);
      QCOMPARE(swatch.pixel(15, 7) & 0xFFFFFF, 0xFFFFFFu);
      // The swatch file was only there while the menu was built.
      QVERIFY(!QFileInfo::exists(QString::fromStdString(SwatchPath())));
    });
  }

  void newCardFillsThePicture() {
    RunProgram([](QWidget* window) {
      QVERIFY(Choose(window, "Nuevo 1"));
      const QString problem = CardProblem(PictureImage(window), kGrey);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
    });
  }

  void photocopySavesThePictureInTheCurrentFolder() {
    RunProgram([](QWidget* window) {
      QVERIFY(Choose(window, "Nuevo 1"));
      Message first;
      ExpectDialog(ReadMessage(&first));
      QVERIFY(Choose(window, "Fotocopia"));
      QCOMPARE(first.text, QString("Fotocopia Archivada ..."));
      QCOMPARE(first.title, QString("Programador"));
      QCOMPARE(QFileInfo("0001.bmp").size(), kCardFileBytes);
      QVERIFY(SameImage(ImageOfFile("0001.bmp"), PictureImage(window)));
      // The next photocopy of the same card: the next number, the same bytes.
      Message second;
      ExpectDialog(ReadMessage(&second));
      QVERIFY(Choose(window, "Fotocopia"));
      QCOMPARE(second.text, QString("Fotocopia Archivada ..."));
      QCOMPARE(ReadFileBytes("0002.bmp"), ReadFileBytes("0001.bmp"));
    });
  }

  void photocopyBeforeAnyCardSavesTheWhitePicture() {
    RunProgram([](QWidget* window) {
      Message message;
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Fotocopia"));
      QCOMPARE(message.text, QString("Fotocopia Archivada ..."));
      const QImage saved = ImageOfFile("0001.bmp");
      QCOMPARE(saved.size(), QSize(kPictureWidth, kPictureHeight));
      QCOMPARE(CountNot(saved, kWhiteRgb), 0);
    });
  }

  void photocopyIntoAFolderThatCannotBeWrittenSaysSo() {
    QTemporaryDir folder;
    UnwritableFolder guard(folder.path());
    if (!guard.ready) QSKIP(qPrintable("cannot make a folder unwritable here: " + guard.reason));
    QVERIFY(QDir::setCurrent(folder.path()));
    RunProgram([](QWidget* window) {
      QVERIFY(Choose(window, "Nuevo 1"));
      Message message;
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Fotocopia"));
      QCOMPARE(message.text, QString("No se pudo archivar la fotocopia 0001.bmp ..."));
      QCOMPARE(message.title, QString("Programador"));
    });
    QVERIFY(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  }

  void batchWritesNumberedCardsBesideTheProgram() {
    RunProgram([](QWidget* window) {
      Message message;
      ExpectDialog(AnswerPrompt("3"));
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Muchas"));
      QCOMPARE(message.text, QString("Creados 3 cartones del bingo ..."));
      QCOMPARE(message.title, QString("Programador"));
      QCOMPARE(BatchFiles(), QStringList({"0001.bmp", "0002.bmp", "0003.bmp"}));
      QStringList contents;
      for (const QString& name : BatchFiles()) {
        const QString path = BatchFolderPath() + "/" + name;
        QCOMPARE(QFileInfo(path).size(), kCardFileBytes);
        const QString problem = CardProblem(ImageOfFile(path), kGrey);
        QVERIFY2(problem.isEmpty(), qPrintable(name + ": " + problem));
        contents << QString::fromLatin1(QByteArray::fromStdString(ReadFileBytes(path.toStdString())).toBase64());
      }
      QCOMPARE(contents.removeDuplicates(), qsizetype(0));
      // The picture shows the last card, and a photocopy goes on from its number.
      QVERIFY(SameImage(PictureImage(window), ImageOfFile(BatchFolderPath() + "/0003.bmp")));
      Message copied;
      ExpectDialog(ReadMessage(&copied));
      QVERIFY(Choose(window, "Fotocopia"));
      QVERIFY(QFileInfo::exists("0004.bmp"));
    });
  }

  void batchIntoAFolderAnotherBatchHoldsIsRefused() {
    QVERIFY(MakeFolder(BatchFolder()));
    FolderLock other;
    QCOMPARE(LockFolder(BatchFolder(), &other), FolderLockResult::kLocked);
    RunProgram([](QWidget* window) {
      Message message;
      ExpectDialog(AnswerPrompt("2"));
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Muchas"));
      QCOMPARE(message.text,
               QString::fromStdString("La carpeta " + BatchFolder() + " está en uso por otra tanda ..."));
      QCOMPARE(message.title, QString("Programador"));
      QCOMPARE(BatchFiles(), QStringList({FolderLockName()}));
      QCOMPARE(CountNot(PictureImage(window), kWhiteRgb), 0);
    });
    UnlockFolder(&other);
    QCOMPARE(BatchFiles(), QStringList());
  }

  void batchRefusesWhatItCannotCount_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("refusal");
    const QString not_digits = "Tienes que escribir un número de 1 a 30.000 ...";
    QTest::newRow("blank before") << " 5" << not_digits;
    QTest::newRow("blank after") << "5 " << not_digits;
    QTest::newRow("plus") << "+5" << not_digits;
    QTest::newRow("minus") << "-5" << not_digits;
    QTest::newRow("point") << "5.0" << not_digits;
    QTest::newRow("letters") << "abc" << not_digits;
    QTest::newRow("over the limit") << "30001" << "Excedes el número permitido de cartones ...";
  }

  void batchRefusesWhatItCannotCount() {
    QFETCH(QString, answer);
    QFETCH(QString, refusal);
    RunProgram([answer, refusal](QWidget* window) {
      Message message;
      ExpectDialog(AnswerPrompt(answer));
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Muchas"));
      QCOMPARE(message.text, refusal);
      QCOMPARE(message.title, QString("Programador"));
      QVERIFY(!QFileInfo::exists(BatchFolderPath()));
      QCOMPARE(CountNot(PictureImage(window), kWhiteRgb), 0);
    });
  }

  void batchLimitAndLeadingZerosPassTheChecks() {
    // 30,000 cards are not made here; the check the command applies is.
    for (const char* answer : {"30000", "030000"}) {
      const BatchAnswer checked = CheckBatchAnswer(answer);
      QCOMPARE(int(checked.kind), int(BatchAnswerKind::kCount));
      QCOMPARE(checked.count, 30000);
    }
    QCOMPARE(int(CheckBatchAnswer("30001").kind), int(BatchAnswerKind::kTooMany));
  }

  void batchWithoutACountMakesOnlyTheFolder_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("empty answer") << "";
    QTest::newRow("zeros") << "000";
  }

  void batchWithoutACountMakesOnlyTheFolder() {
    QFETCH(QString, how);
    RunProgram([how](QWidget* window) {
      const bool answered = how.isEmpty() || how.startsWith('0');
      ExpectDialog(answered ? AnswerPrompt(how) : DismissPrompt(how));
      QVERIFY(Choose(window, "Muchas"));
      QVERIFY(QFileInfo(BatchFolderPath()).isDir());
      QCOMPARE(BatchFiles(), QStringList());
      QCOMPARE(CountNot(PictureImage(window), kWhiteRgb), 0);
    });
  }

  void chooseColourCancelChangesNothing() {
    RunProgram([](QWidget* window) {
      QVERIFY(Choose(window, "Nuevo 1"));
      const QImage card = PictureImage(window);
      const QImage swatch = SwatchImage(window);
      bool seen = false;
      ExpectDialog([window, &seen](QDialog* dialog) {
        seen = ChooserOf(dialog) != nullptr;
        // Opened 30 pixels right of and below the window's corner, with the window
        // disabled until it closes.
        QCOMPARE(dialog->pos(), window->frameGeometry().topLeft() + QPoint(30, 30));
        QVERIFY(!window->isEnabled());
        QCOMPARE(ChooserOf(dialog)->currentColor(), QColor(0x80, 0x80, 0x80));
        ChooserOf(dialog)->setCurrentColor(QColor(200, 10, 10));
        PressChooserButton(dialog, QDialogButtonBox::Cancel);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QVERIFY(seen);
      QVERIFY(window->isEnabled());
      QVERIFY(SameImage(PictureImage(window), card));
      QVERIFY(SameImage(SwatchImage(window), swatch));
      QVERIFY(Choose(window, "Nuevo 1"));
      const QString problem = CardProblem(PictureImage(window), kGrey);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
    });
  }

  void chooseColourRenewsTheSwatchNotTheCardOnShow() {
    constexpr int32_t kChosen = 0x2060A0;  // blue 0x20, green 0x60, red 0xA0
    RunProgram([](QWidget* window) {
      QVERIFY(Choose(window, "Nuevo 1"));
      const QImage card = PictureImage(window);
      ExpectDialog([](QDialog* dialog) {
        ChooserOf(dialog)->setCurrentColor(QColor(0xA0, 0x60, 0x20));
        PressChooserButton(dialog, QDialogButtonBox::Ok);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(SwatchImage(window).pixel(7, 7) & 0xFFFFFF, RgbOf(kChosen) & 0xFFFFFF);
      QVERIFY(SameImage(PictureImage(window), card));
      QVERIFY(!QFileInfo::exists(QString::fromStdString(SwatchPath())));
      // The new colour is the next card's, and the batch's.
      QVERIFY(Choose(window, "Nuevo 1"));
      QString problem = CardProblem(PictureImage(window), kChosen);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
      Message message;
      ExpectDialog(AnswerPrompt("1"));
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Muchas"));
      problem = CardProblem(ImageOfFile(BatchFolderPath() + "/0001.bmp"), kChosen);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
    });
  }

  void chooserOkAloneGivesItsStartingColour() {
    RunProgram([](QWidget* window) {
      ExpectDialog([](QDialog* dialog) { PressChooserButton(dialog, QDialogButtonBox::Ok); });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(SwatchImage(window).pixel(7, 7) & 0xFFFFFF, 0x808080u);
      // Before any card, only the swatch changes.
      QCOMPARE(CountNot(PictureImage(window), kWhiteRgb), 0);
    });
  }

  void chooserKeepsCustomColoursForTheRun() {
    RunProgram([](QWidget* window) {
      ExpectDialog([](QDialog* dialog) {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
          QCOMPARE(QColorDialog::customColor(i), QColor(0, 0, 0));
        QColorDialog::setCustomColor(2, QColor(1, 2, 3));  // "Add to Custom Colors"
        PressChooserButton(dialog, QDialogButtonBox::Cancel);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      // Something else in the process changes the toolkit's own copy in between.
      QColorDialog::setCustomColor(2, QColor(9, 9, 9));
      QColor offered;
      ExpectDialog([&offered](QDialog* dialog) {
        offered = QColorDialog::customColor(2);
        PressChooserButton(dialog, QDialogButtonBox::Cancel);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QCOMPARE(offered, QColor(1, 2, 3));
    });
  }

  void authorMessage() {
    RunProgram([](QWidget* window) {
      Message message;
      ExpectDialog(ReadMessage(&message));
      QVERIFY(Choose(window, "Autor"));
      QCOMPARE(message.text, QString("Programa realizado por https://tessarine.example.org"));
      QCOMPARE(message.title, QString("Programador"));
    });
  }

  void messagesAndThePromptLeaveTheWindowUsable() {
    RunProgram([](QWidget* window) {
      // While the author's message is open, the user makes a card from the window.
      ExpectDialog([window](QDialog* dialog) {
        QVERIFY(window->isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(Choose(window, "Nuevo 1"));
        dialog->accept();
      });
      QVERIFY(Choose(window, "Autor"));
      const QString problem = CardProblem(PictureImage(window), kGrey);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
      ExpectDialog([window](QDialog* dialog) {
        QVERIFY(window->isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        DismissPrompt("Cancel")(dialog);
      });
      QVERIFY(Choose(window, "Muchas"));
    });
  }

  void focusComesBackWhenTheWindowIsActiveAgain() {
    RunProgram([](QWidget* window) {
      QVERIFY(QTest::qWaitForWindowActive(window));
      QWidget* picture = PictureOf(window);
      QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(20, 20));
      QVERIFY(picture->hasFocus());
      // The user works in another window, where the focus in this one moves away.
      QLineEdit elsewhere;
      elsewhere.show();
      elsewhere.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
      window->setFocus();
      QVERIFY(window->focusWidget() != picture);
      window->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window));
      QVERIFY(picture->hasFocus());
    });
  }

  void exitEndsTheProgram() {
    bool chosen = false;
    const int result = RunProgram([&chosen](QWidget* window) { chosen = Choose(window, "Salir"); });
    QVERIFY(chosen);
    QCOMPARE(result, 0);
    QVERIFY(MainWindow() == nullptr);
  }

  void systemCloseEndsTheProgram() {
    bool closed = true;
    const int result = RunProgram([&closed](QWidget* window) {
      // The window refuses the close event itself and ends through the program.
      closed = window->close();
    });
    QVERIFY(!closed);
    QCOMPARE(result, 0);
    QVERIFY(MainWindow() == nullptr);
  }

  void swatchComesFromMemoryWhenItsFileCannotBeWritten() {
    // A folder in the way of the swatch file: the file cannot be written.
    QVERIFY(QDir().mkpath(QString::fromStdString(SwatchPath())));
    RunProgram([](QWidget* window) {
      const QImage swatch = SwatchImage(window);
      QCOMPARE(swatch.size(), QSize(16, 16));
      QCOMPARE(swatch.pixel(7, 7) & 0xFFFFFF, RgbOf(kGrey) & 0xFFFFFF);
      QCOMPARE(swatch.pixel(7, 0) & 0xFFFFFF, 0u);
      QVERIFY(Choose(window, "Nuevo 1"));
      const QString problem = CardProblem(PictureImage(window), kGrey);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
    });
  }

  void swatchInAReadOnlyInstall() {
    if (qEnvironmentVariableIsSet(kChildVariable)) {
      // The copy of this program in a read-only folder.
      QVERIFY(::access(ExecutableFolder().c_str(), W_OK) != 0);
      RunProgram([](QWidget* window) {
        QCOMPARE(SwatchImage(window).pixel(7, 7) & 0xFFFFFF, RgbOf(kGrey) & 0xFFFFFF);
      });
      return;
    }
    QTemporaryDir install;
    const QString copy = install.path() + "/" + QFileInfo(QApplication::applicationFilePath()).fileName();
    QVERIFY(QFile::copy(QApplication::applicationFilePath(), copy));
    UnwritableFolder guard(install.path());
    if (!guard.ready) QSKIP(qPrintable("cannot make the install folder read-only: " + guard.reason));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kChildVariable, "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(copy, {"swatchInAReadOnlyInstall"});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    QVERIFY2(child.exitCode() == 0, qPrintable(output));
    QVERIFY2(output.contains("PASS   : ProgramTest::swatchInAReadOnlyInstall()"), qPrintable(output));
  }

 private:
  std::unique_ptr<QTemporaryDir> scratch_;  // the current folder of each test
  QString previous_folder_;
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
