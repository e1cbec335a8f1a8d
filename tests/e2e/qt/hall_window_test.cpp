// The hall's window end to end: opened from the caller's menu, it follows the game (a
// ball, an undo, a prize confirmed) and shows nothing of the caller's desk.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "bingo/hall_screen.h"
#include "bingo/qt/bingo_window.h"
#include "bingo/qt/hall_window.h"
#include "driver.h"
#include "files/card_files.h"
#include "formats/card_list.h"
#include "tests/support/test_support.h"

namespace {
const QRgb kBoardColour = qRgb(0x1F, 0x5F, 0xBF);

void Type(QWidget* window, const QString& text) {
  auto* edit = window->findChild<QLineEdit*>("numero");
  edit->setFocus();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The pixels of the board colour in a box of the hall's image.
int InkIn(const QImage& image, const BoardBox& box) {
  int ink = 0;
  for (int y = box.top; y < box.bottom; y += 2)
    for (int x = box.left; x < box.right; x += 2)
      if ((image.pixel(x, y) | 0xFF000000) == kBoardColour) ++ink;
  return ink;
}

HallLayout LayoutOf(HallWindow* hall) {
  return HallPaintOf(hall->width(), hall->height(), hall->Shown().highest_ball).layout;
}

// The screen's pixels are the hall's painting, its last ball drawn: nothing else shows
// there. Returns what the screen showed.
QImage ScreenShowsTheHall(QScreen* screen, HallWindow* hall) {
  const QImage shown = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage painted = hall->grab().toImage().convertToFormat(QImage::Format_RGB32);
  [&] {
    QCOMPARE(shown.size(), painted.size());
    int differ = 0;
    for (int y = 0; y < shown.height(); y += 3)
      for (int x = 0; x < shown.width(); x += 3)
        if (shown.pixel(x, y) != painted.pixel(x, y)) ++differ;
    QVERIFY2(differ == 0, qPrintable(QString("%1 pixels differ").arg(differ)));
    QVERIFY(InkIn(shown, LayoutOf(hall).last) > 50);
  }();
  return shown;
}
}  // namespace

class HallWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir work_;
  std::vector<ListLine> list_;

  int windows_opened_ = 0;

  // A game folder of its own each time: run whole, one case's saved game is not the next's.
  std::unique_ptr<BingoWindow> OpenWindow() {
    const QString list = work_.filePath("cartones.csv");
    list_.clear();
    for (int card = 1; card <= 12; ++card)
      list_.push_back(ListLineOf(CardFileName(card, ".bmp"), 0x4730F0CAu + 7919u * card));
    WriteWholeFile(list.toStdString(), CardListBytes(list_));
    auto window = std::make_unique<BingoWindow>(work_.filePath(QString("datos-%1").arg(++windows_opened_)));
    window->resize(1280, 800);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
    if (!window->Open().isEmpty() || !window->StartGame(list, "1").isEmpty()) return nullptr;
    return window;
  }

 private slots:
  void init() { WatchDialogs(); }
  void cleanup() {
    QVERIFY2(AllExpectedDialogsSeen(), "a dialog the test waited for never came");
    const QStringList unexpected = TakeUnexpectedDialogs();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(" | ")));
    ForgetDialogs();
  }

  void followsTheGameWithOneScreen() {
    if (QGuiApplication::screens().size() > 1) QSKIP("this display has more than one screen");
    auto window = OpenWindow();
    QVERIFY(window);
    QVERIFY(Choose(window.get(), "Pantalla de la sala…"));
    HallWindow* hall = window->Hall();
    QVERIFY(hall != nullptr);
    QVERIFY(hall->isWindow() && hall->isVisible() && hall->window() != window.get());
    QVERIFY(hall->findChildren<QPushButton*>().isEmpty() && hall->findChildren<QLineEdit*>().isEmpty());
    QVERIFY(!hall->isFullScreen());  // one screen: an ordinary window
    QCOMPARE(window->findChild<QLabel*>("estado_sala")->text(),
             "Pantalla de la sala: abierta en " + window->screen()->name());
    QVERIFY(QTest::qWaitForWindowExposed(hall));

    const HallLayout layout = LayoutOf(hall);
    QCOMPARE(InkIn(hall->grab().toImage(), layout.last), 0);
    // Before the first ball the whole commitment, across the width, never cut at its edge.
    const QImage before = hall->grab().toImage();
    int rightmost = -1;
    for (int y = layout.commitment.top; y < layout.commitment.bottom; ++y)
      for (int x = layout.commitment.left; x < layout.commitment.right; ++x)
        if (qGray(before.pixel(x, y)) < 128) rightmost = std::max(rightmost, x);
    QVERIFY2(rightmost > layout.bottom.right && rightmost < layout.commitment.right - 10,
             qPrintable(QString("the commitment's ink ends at %1").arg(rightmost)));
    Type(window.get(), "12");
    QImage image = hall->grab().toImage();
    QVERIFY(InkIn(image, layout.last) > 50);
    QVERIFY(InkIn(image, BoardCellOf(layout.board, 12)) > 10);
    QCOMPARE(hall->windowTitle(), QString("Pantalla de la sala: 12"));
    // A question opens over the caller's window, never over the hall's.
    QWidget* asked_over = nullptr;
    ExpectDialog([&asked_over](QDialog* dialog) {
      asked_over = dialog->parentWidget();
      qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->click();
    });
    window->Run(BingoCommand::kUndo);
    QCOMPARE(asked_over, static_cast<QWidget*>(window.get()));
    image = hall->grab().toImage();
    QCOMPARE(InkIn(image, layout.last), 0);
    QCOMPARE(InkIn(image, BoardCellOf(layout.board, 12)), 0);

    // Card 0001's first row: a winner pending shows nothing; confirmed, the banner.
    for (uint8_t number : list_[0].layout.cell[0])
      if (number != 0) Type(window.get(), QString::number(number));
    QVERIFY(hall->Shown().banner.empty());
    // The banner fills the screen's width: its left edge, white beside the last ball before.
    const BoardBox banner_edge{0, layout.banner.top, 8, layout.banner.bottom};
    QCOMPARE(InkIn(hall->grab().toImage(), banner_edge), 0);
    window->Run(BingoCommand::kConfirmPrize);
    QCOMPARE(hall->Shown().banner, std::string("¡LÍNEA! Cartón 0001"));
    QVERIFY(InkIn(hall->grab().toImage(), banner_edge) > 100);
    int next = 99;
    while (window->Session().game.called.place[next] != 0) --next;
    Type(window.get(), QString::number(next));
    QCOMPARE(InkIn(hall->grab().toImage(), banner_edge), 0);
    QCOMPARE(hall->Shown().given, std::vector<std::string>{"Línea: cartón 0001"});

    QVERIFY(Choose(window.get(), "Cerrar la pantalla de la sala"));
    QTRY_VERIFY(window->Hall() == nullptr);
    QVERIFY(window->findChild<QLabel*>("estado_sala")->isHidden());
  }

  // On an X display: the hall's window put full screen, the screen shows it and it alone.
  void fullScreenShowsOnlyTheHall() {
    if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display");
    if (QGuiApplication::screens().size() > 1) QSKIP("this display has more than one screen");
    auto window = OpenWindow();
    QVERIFY(window);
    QVERIFY(Choose(window.get(), "Pantalla de la sala…"));
    HallWindow* hall = window->Hall();
    QVERIFY(hall != nullptr);
    Type(window.get(), "47");
    const QRect screen = hall->screen()->geometry();
    hall->setGeometry(screen);  // where no window manager takes the full-screen state
    hall->showFullScreen();
    hall->raise();
    QTRY_COMPARE(hall->geometry(), screen);
    QTest::qWait(300);  // the window system draws it
    ScreenShowsTheHall(hall->screen(), hall);
  }

  // Two screens, the caller's desk and the projector: the hall's asked for and put full
  // screen on the second, which shows it and nothing else, while the caller's keeps its
  // window; asked again, the screen kept from last time is offered first.
  void opensFullScreenOnTheSecondScreen() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) QSKIP("one screen on this display: run on the two-screen Xvfb");
    auto window = OpenWindow();
    QVERIFY(window);
    QCOMPARE(window->screen(), screens.at(0));
    QStringList offered;
    const auto answer = [&offered](int item) {
      return [&offered, item](QDialog* dialog) {
        auto* ask = qobject_cast<QInputDialog*>(dialog);
        offered = ask->comboBoxItems();
        ask->setTextValue(offered.at(item));
        dialog->accept();
      };
    };
    ExpectDialog(answer(0));
    QVERIFY(Choose(window.get(), "Pantalla de la sala…"));
    // Not the caller's own screen first; two X screens of one name told apart.
    QCOMPARE(offered.size(), 2);
    QVERIFY(offered.at(0) != offered.at(1));
    HallWindow* hall = window->Hall();
    QVERIFY(hall != nullptr);
    QTRY_VERIFY(hall->isFullScreen());
    QCOMPARE(hall->screen(), screens.at(1));
    QTRY_COMPARE(hall->geometry(), screens.at(1)->geometry());
    QCOMPARE(window->findChild<QLabel*>("estado_sala")->text(),
             "Pantalla de la sala: abierta en " + offered.at(0));
    Type(window.get(), "47");
    QTest::qWait(300);  // the window system draws it

    // The projector's screen: the hall, pixel for pixel, and nothing of the controls.
    const QImage hall_shown = ScreenShowsTheHall(screens.at(1), hall);
    if (QTest::currentTestFailed()) return;
    // The caller's screen: the caller's window, where the hall's last ball is not.
    const QImage desk = screens.at(0)->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage caller = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect seen = window->geometry().intersected(desk.rect());
    const QPoint at = window->geometry().topLeft();
    QVERIFY(seen.height() > 400);
    int differ = 0;
    for (int y = seen.top(); y <= seen.bottom(); y += 5)
      for (int x = seen.left(); x <= seen.right(); x += 5)
        if (desk.pixel(x, y) != caller.pixel(x - at.x(), y - at.y())) ++differ;
    QVERIFY2(differ < seen.width() * seen.height() / 25 / 100,
             qPrintable(QString("%1 pixels of the caller's window differ").arg(differ)));
    const QString shots = qEnvironmentVariable("TESSARINE_SCREENSHOTS");
    if (!shots.isEmpty()) {
      desk.save(QDir(shots).filePath("two-screens-caller.png"));
      hall_shown.save(QDir(shots).filePath("two-screens-hall.png"));
    }
    QCOMPARE(QString::fromStdString(ReadHallScreenChoice(window->Controller())), offered.at(0));
  }
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  HallWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "hall_window_test.moc"
