// Where the program's windows land and what their frames offer, as the window system
// really did it. Run three ways: on Qt's offscreen platform (no window system), and on
// an X display (xcb) with and without a real window manager; on X every place and hint
// is read back with xwininfo and xprop, and the close command is a real WM_DELETE_WINDOW.
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "driver.h"
#include "files/card_files.h"
#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/window.h"
#include "x11_tools.h"

namespace {

constexpr QPoint kMainWindowCorner(105, 94);
constexpr QSize kMainClientSize(739, 280);
constexpr QPoint kChooserOffset(30, 30);
// _MOTIF_WM_HINTS: flags (functions and decorations given), functions (move only),
// decorations (border and title).
constexpr uint32_t kMotifFlags = 0x1 | 0x2;
constexpr uint32_t kMotifMoveOnly = 0x4;
constexpr uint32_t kMotifBorderAndTitle = 0x2 | 0x8;
constexpr int kSettleMs = 5000;

// "openbox" or "none" on an X display (set by the script that starts it); "" offscreen.
QString WindowManager() { return qEnvironmentVariable("TESSARINE_WINDOW_MANAGER"); }
bool UnderWindowManager() { return OnX11() && WindowManager() != "none"; }

// How a window was placed: by its frame before it was first shown (so it never shows
// elsewhere first), or put right once shown (a centred window that had no framed window
// to learn its frame's size from).
enum class Placed { kFromTheStart, kOnceShown };

// The window's frame on the screen: as X holds it on an X display, else as Qt has it.
// Under a window manager the frame must have come: its extents are waited for.
bool ReadFrame(QWidget* window, QRect* frame, QRect* client, QString* reason,
               Placed placed = Placed::kFromTheStart) {
  if (!QTest::qWaitForWindowExposed(window)) {
    *reason = "the window was never shown";
    return false;
  }
  if (!OnX11()) {
    *frame = window->frameGeometry();
    *client = window->geometry();
    return true;
  }
  XWindowPlace place;
  const bool read = QTest::qWaitFor(
      [&] {
        return ReadPlace(window->winId(), &place, reason) &&
               (place.has_extents || !UnderWindowManager());
      },
      kSettleMs);
  if (!read) {
    if (reason->isEmpty()) *reason = "the window manager gave the window no frame extents";
    return false;
  }
  *frame = place.Frame();
  *client = place.client;
  // Placed by its frame from the start: the window manager puts the frame's corner at the
  // place asked for, so the window never shows elsewhere first.
  if (placed == Placed::kOnceShown) return true;
  const QString gravity = WindowGravityOf(window->winId(), reason);
  if (gravity != "NorthWest") {
    *reason = "window gravity \"" + gravity + "\", not NorthWest " + *reason;
    return false;
  }
  return true;
}

// Reads the frame until it stands at `wanted` or the wait is over; the last frame read,
// which the caller compares, so a frame that never got there shows where it is.
QRect FrameOnceSettled(QWidget* window, QPoint wanted, QString* reason,
                       Placed placed = Placed::kFromTheStart) {
  QRect frame, client;
  (void)QTest::qWaitFor(
      [&] {
        return ReadFrame(window, &frame, &client, reason, placed) && frame.topLeft() == wanted;
      },
      kSettleMs);
  return frame;
}

QRect WorkAreaOnScreen(QString* reason) {
  if (OnX11()) return RootWorkArea(reason);
  return QGuiApplication::primaryScreen()->availableGeometry();
}

// The dialog manager's centring of a frame of this size in the work area.
QPoint Centred(QRect area, QSize frame) {
  return QPoint(std::max(0, (2 * area.x() + area.width() - frame.width()) / 2),
                std::max(0, (2 * area.y() + area.height() - frame.height()) / 2));
}

void PressCancel(QDialog* dialog) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  if (buttons != nullptr && buttons->button(QDialogButtonBox::Cancel) != nullptr)
    buttons->button(QDialogButtonBox::Cancel)->click();
  else
    dialog->reject();
}

// A Wayland compositor of its own: weston's headless backend, its socket in `runtime`.
// False, with the reason, where weston is missing or does not come up.
bool StartWeston(const QTemporaryDir& runtime, QProcess* weston, QString* socket,
                 QString* reason) {
  *socket = QString("tessarine-%1").arg(QCoreApplication::applicationPid());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", runtime.path());
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  weston->setProcessEnvironment(environment);
  weston->setProcessChannelMode(QProcess::MergedChannels);
  weston->start("weston", {"--backend=headless-backend.so", "--socket=" + *socket,
                           "--idle-time=0", "--no-config"});
  if (!weston->waitForStarted()) {
    *reason = "weston does not start: " + weston->errorString();
    return false;
  }
  const QString path = QDir(runtime.path()).filePath(*socket);
  if (QTest::qWaitFor([&] { return QFile::exists(path); }, 15000)) return true;
  *reason = "weston made no socket: " + QString::fromLocal8Bit(weston->readAll());
  weston->kill();
  weston->waitForFinished();
  return false;
}

// The program's environment on a Wayland desktop whose user chose no Qt platform.
QProcessEnvironment WaylandDesktop(const QTemporaryDir& runtime, const QString& socket,
                                   const QString& config) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  environment.insert("XDG_RUNTIME_DIR", runtime.path());
  environment.insert("WAYLAND_DISPLAY", socket);
  environment.insert("XDG_SESSION_TYPE", "wayland");
  environment.insert("XDG_CONFIG_HOME", config);
  return environment;
}

void EndProcess(QProcess* process) {
  if (process->state() == QProcess::NotRunning) return;
  process->terminate();
  if (!process->waitForFinished(10000)) {
    process->kill();
    process->waitForFinished();
  }
}

}  // namespace

class WindowManagerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qInfo("platform %s, window manager: %s", qPrintable(QGuiApplication::platformName()),
          qPrintable(OnX11() ? WindowManager() : QString("none (offscreen)")));
    if (!WindowManager().isEmpty()) QVERIFY2(OnX11(), "an X display was started but Qt is not on it");
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

  void mainWindowFrameStandsAtItsPlace() {
    RunProgram([](QWidget* window) {
      QVERIFY(window != nullptr);
      QRect frame, client;
      QString reason;
      QVERIFY2(ReadFrame(window, &frame, &client, &reason), qPrintable(reason));
      QCOMPARE(frame.topLeft(), kMainWindowCorner);
      QCOMPARE(client.size(), kMainClientSize);
      // A window manager's frame holds the title bar above the client area.
      if (UnderWindowManager()) QVERIFY(client.top() > frame.top());
    });
  }

  void mainWindowHasItsCaptionAndNothingElse() {
    RunProgram([](QWidget* window) {
      QVERIFY(window != nullptr);
      const Qt::WindowFlags flags = window->windowFlags();
      QVERIFY(flags.testFlag(Qt::WindowTitleHint));
      QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
      QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
      QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
      QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
      if (!OnX11()) return;
      QString reason;
      const QVector<uint32_t> hints = MotifHintsOf(window->winId(), &reason);
      QVERIFY2(hints.size() == 5, qPrintable("_MOTIF_WM_HINTS: " + reason));
      QCOMPARE(hints[0] & kMotifFlags, kMotifFlags);
      QCOMPARE(hints[1], kMotifMoveOnly);
      QCOMPARE(hints[2], kMotifBorderAndTitle);
      QString name;
      QVERIFY2(RunXTool("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"},
                        &name, &reason),
               qPrintable(reason));
      QVERIFY2(name.contains("= \"Tessarine\""), qPrintable(name));
    });
  }

  void chooserFrameStandsBesideTheMainWindowsFrame() {
    RunProgram([](QWidget* window) {
      QRect main_frame, main_client, chooser_frame;
      QString reason;
      QVERIFY2(ReadFrame(window, &main_frame, &main_client, &reason), qPrintable(reason));
      bool seen = false;
      ExpectDialog([&](QDialog* dialog) {
        seen = qobject_cast<QColorDialog*>(dialog) != nullptr;
        chooser_frame = FrameOnceSettled(dialog, main_frame.topLeft() + kChooserOffset, &reason);
        PressCancel(dialog);
      });
      QVERIFY(Choose(window, "Elegir Color"));
      QVERIFY(seen);
      QVERIFY2(!chooser_frame.isNull(), qPrintable(reason));
      QCOMPARE(chooser_frame.topLeft(), main_frame.topLeft() + kChooserOffset);
    });
  }

  void promptFrameIsCentredInTheWorkArea() {
    RunProgram([](QWidget* window) {
      QString reason;
      const QRect area = WorkAreaOnScreen(&reason);
      QVERIFY2(!area.isEmpty(), qPrintable(reason));
      // The user asks once the window is on the screen, framed.
      QRect main_frame, main_client;
      QVERIFY2(ReadFrame(window, &main_frame, &main_client, &reason), qPrintable(reason));
      QRect frame;
      QPoint wanted;
      ExpectDialog([&](QDialog* dialog) {
        QRect first, client;
        if (ReadFrame(dialog, &first, &client, &reason)) {
          wanted = Centred(area, first.size());
          frame = FrameOnceSettled(dialog, wanted, &reason);
        }
        DismissPrompt("Cancel")(dialog);
      });
      QVERIFY(Choose(window, "Muchas"));
      QVERIFY2(!frame.isNull(), qPrintable(reason));
      QCOMPARE(frame.topLeft(), wanted);
    });
  }

  // No framed window to learn the frame's size from: the prompt is put right once shown.
  void promptAloneIsCentredToo() {
    QString reason;
    const QRect area = WorkAreaOnScreen(&reason);
    QVERIFY2(!area.isEmpty(), qPrintable(reason));
    QRect frame;
    QPoint wanted;
    ExpectDialog([&](QDialog* dialog) {
      QRect first, client;
      if (ReadFrame(dialog, &first, &client, &reason, Placed::kOnceShown)) {
        wanted = Centred(area, first.size());
        frame = FrameOnceSettled(dialog, wanted, &reason, Placed::kOnceShown);
      }
      AnswerPrompt("7")(dialog);
    });
    WatchDialogs();
    QCOMPARE(QString::fromStdString(PromptForText("<De 1 a 30000>", "Cuantos cartones quieres ?",
                                                  "", -1, -1)),
             QString("7"));
    QVERIFY2(!frame.isNull(), qPrintable(reason));
    QCOMPARE(frame.topLeft(), wanted);
  }

  void chooserWithoutOwnerOrPlaceIsCentred() {
    QString reason;
    const QRect area = WorkAreaOnScreen(&reason);
    QVERIFY2(!area.isEmpty(), qPrintable(reason));
    QRect frame;
    QPoint wanted;
    ExpectDialog([&](QDialog* dialog) {
      QRect first, client;
      if (ReadFrame(dialog, &first, &client, &reason, Placed::kOnceShown)) {
        wanted = QPoint((area.x() + area.width()) / 2 - first.width() / 2,
                        (area.y() + area.height()) / 2 - first.height() / 2);
        frame = FrameOnceSettled(dialog, wanted, &reason, Placed::kOnceShown);
      }
      PressCancel(dialog);
    });
    WatchDialogs();
    int32_t custom[kCustomColourCount] = {};
    QCOMPARE(PickColour(0, POS_DEFAULT, POS_DEFAULT, 0x808080, custom, CC_FULLOPEN), -1);
    QVERIFY2(!frame.isNull(), qPrintable(reason));
    QCOMPARE(frame.topLeft(), wanted);
  }

  void closeCommandEndsTheProgramWithZero() {
    if (!OnX11())
      QSKIP("no window system to send the close command through; the offscreen close is "
            "ProgramTest::systemCloseEndsTheProgram");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", work.path());
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(TESSARINE_PROGRAM, {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QString reason;
    const WId window = FindWindowOf(program.processId(), "Tessarine", &reason);
    if (window == 0) program.kill();
    QVERIFY2(window != 0, qPrintable(reason));
    QCOMPARE(program.state(), QProcess::Running);
    QVERIFY2(SendDeleteWindow(window, &reason), qPrintable(reason));
    const bool ended = program.waitForFinished(30000);
    if (!ended) program.kill();
    const QString output = QString::fromLocal8Bit(program.readAll());
    QVERIFY2(ended, qPrintable("still running after WM_DELETE_WINDOW: " + output));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, qPrintable(output));
  }
  // tessarine-bingo as a user starts it, on a 1280 x 800 screen: its frame, title bar
  // and all, within the work area, so that the board's last row is not cut off.
  void bingoWindowOpensWithinTheWorkArea() {
    if (!OnX11()) QSKIP("needs an X display");
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_DATA_HOME", home.filePath("datos"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(TESSARINE_BINGO_PROGRAM, {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QString reason;
    const WId window = FindWindowOf(program.processId(), "Tessarine Bingo", &reason);
    const QRect area = WorkAreaOnScreen(&reason);
    XWindowPlace place;
    const bool within = window != 0 && QTest::qWaitFor(
        [&] {
          return ReadPlace(window, &place, &reason) && (place.has_extents || !UnderWindowManager()) &&
                 area.contains(place.Frame());
        },
        kSettleMs);
    const QString output = QString::fromLocal8Bit(program.readAll());
    EndProcess(&program);
    QVERIFY2(window != 0, qPrintable("no window: " + reason + " " + output));
    QVERIFY2(within, qPrintable(QString("frame (%1, %2) %3 x %4 in a work area of %5 x %6 %7")
                                    .arg(place.Frame().x()).arg(place.Frame().y())
                                    .arg(place.Frame().width()).arg(place.Frame().height())
                                    .arg(area.width()).arg(area.height()).arg(reason)));
  }

  // On a Wayland desktop with XWayland the window still opens on X, at its place.
  void onWaylandWithAnXServerTheFrameStandsAtItsPlace() {
    if (!OnX11()) QSKIP("needs an X server beside the Wayland compositor; run on Xvfb");
    QTemporaryDir runtime, work;
    QVERIFY(runtime.isValid() && work.isValid());
    QProcess weston;
    QString socket, reason;
    if (!StartWeston(runtime, &weston, &socket, &reason)) QSKIP(qPrintable(reason));
    QProcess program;
    program.setProcessEnvironment(WaylandDesktop(runtime, socket, work.path()));
    program.setWorkingDirectory(work.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(TESSARINE_PROGRAM, {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const WId window = FindWindowOf(program.processId(), "Tessarine", &reason);
    XWindowPlace place;
    const bool placed = window != 0 && QTest::qWaitFor(
        [&] {
          return ReadPlace(window, &place, &reason) &&
                 (place.has_extents || !UnderWindowManager()) &&
                 place.Frame().topLeft() == kMainWindowCorner;
        },
        kSettleMs);
    const QString output = QString::fromLocal8Bit(program.readAll());
    EndProcess(&program);
    EndProcess(&weston);
    QVERIFY2(window != 0, qPrintable("no window on X: " + reason + " " + output));
    QVERIFY2(placed, qPrintable(QString("frame at (%1, %2) %3")
                                     .arg(place.Frame().x())
                                     .arg(place.Frame().y())
                                     .arg(reason)));
  }

  // With no X server the program stays on Wayland, and says nothing about it.
  void onWaylandAloneTheProgramRunsThereQuietly() {
    if (OnX11()) QSKIP("the run without an X display is the offscreen one's");
    QTemporaryDir runtime, work;
    QVERIFY(runtime.isValid() && work.isValid());
    QProcess weston;
    QString socket, reason;
    if (!StartWeston(runtime, &weston, &socket, &reason)) QSKIP(qPrintable(reason));
    QProcess program;
    QProcessEnvironment environment = WaylandDesktop(runtime, socket, work.path());
    environment.remove("DISPLAY");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(TESSARINE_PROGRAM, {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // A program that went looking for X here would have ended at once.
    QTest::qWait(3000);
    const bool running = program.state() == QProcess::Running;
    EndProcess(&program);
    EndProcess(&weston);
    const QString output = QString::fromLocal8Bit(program.readAll());
    QVERIFY2(running, qPrintable("the program ended on Wayland: " + output));
    QVERIFY2(output.trimmed().isEmpty(), qPrintable("the program said: " + output));
  }
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
