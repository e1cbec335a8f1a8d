// The phones' page end to end: the real bingo window turns it on, and a real browser
// (headless Chromium, tests/e2e/page/browse.py) follows the game on it: a ball called,
// a ball undone, a cartón typed in and marked, and the server stopped and started again
// while balls were called, which the page catches up with by itself.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "bingo/page_server.h"
#include "bingo/qt/bingo_window.h"
#include "bingo/qt/hall_window.h"
#include "driver.h"
#include "files/card_files.h"
#include "formats/card_list.h"
#include "tests/support/test_support.h"

namespace {
constexpr int kSkipped = 77;

void Type(QWidget* window, const QString& text) {
  auto* edit = window->findChild<QLineEdit*>("numero");
  edit->setFocus();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The browser, one command a line and one answer a line.
struct Browser {
  QProcess process;
  QString failed;  // why it could not start; "" when it runs

  void Start() {
    process.start("/usr/bin/python3", {TESSARINE_BROWSE_SCRIPT});
    if (!process.waitForStarted(10000)) failed = "no se pudo empezar python3";
    const QString first = Answer(60000);
    if (first != "listo") failed = first.isEmpty() ? "el navegador no respondió" : first;
  }
  QString Answer(int milliseconds = 20000) {
    while (!process.canReadLine())
      if (!process.waitForReadyRead(milliseconds)) return process.state() == QProcess::Running ? "" : "terminó";
    return QString::fromUtf8(process.readLine()).trimmed();
  }
  QString Do(const QString& command) {
    process.write((command + "\n").toUtf8());
    process.waitForBytesWritten();
    return Answer();
  }
  ~Browser() {
    if (process.state() != QProcess::Running) return;
    process.write("salir\n");
    if (!process.waitForFinished(10000)) process.kill();
  }
};

int LastBall(const BingoWindow& window) {
  const Game& game = window.Session().game;
  return game.standing.empty() ? 0 : game.calls[game.standing.back()].number;
}
}  // namespace

class PageTest : public QObject {
  Q_OBJECT

  QTemporaryDir work_;
  std::vector<ListLine> list_;

 private slots:
  void init() { WatchDialogs(); }
  void cleanup() {
    const QString trouble = DialogTroubleThenForget();
    QVERIFY2(trouble.isEmpty(), qPrintable(trouble));
  }

  void aBrowserFollowsTheGameAndCatchesUpAfterTheServerStopped() {
    const QString list = work_.filePath("cartones.csv");
    for (int card = 1; card <= 12; ++card)
      list_.push_back(ListLineOf(CardFileName(card, ".bmp"), 0x4730F0CAu + 7919u * card));
    WriteWholeFile(list.toStdString(), CardListBytes(list_));
    BingoWindow window(work_.filePath("datos"));
    window.resize(1280, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Open().isEmpty());
    QVERIFY(window.StartGame(list, "1-6").isEmpty());
    // A port of its own, kept as a first choice is: no other test takes it while it is off.
    auto probe = NewPageServer();
    const int port = StartPageServer(probe.get(), 0).port;
    StopPageServer(probe.get());
    WriteWholeFile(work_.filePath("datos/pagina-puerto.txt").toStdString(), std::to_string(port) + "\n");

    // Where to keep the screenshots to look at (docs/movil.png is one of them); none if unset.
    const QString shots = qEnvironmentVariable("TESSARINE_PAGE_SHOTS");
    auto* page_switch = window.findChild<QCheckBox*>("pagina");
    QVERIFY(page_switch && !page_switch->isChecked());
    QVERIFY(window.findChild<QLabel*>("direccion_pagina")->isHidden());
    page_switch->click();
    QVERIFY(page_switch->isChecked());
    const QString address = window.findChild<QLabel*>("direccion_pagina")->text();
    QVERIFY2(address.startsWith("http://") && address.endsWith(QString(":%1/").arg(port)), qPrintable(address));
    QVERIFY(!window.findChild<QLabel*>("qr_pagina")->pixmap().isNull());
    QTest::qWait(50);  // laid out anew
    if (!shots.isEmpty()) window.grab().save(shots + "/ventana-antes.png");
    QVERIFY(Choose(&window, "Pantalla de la sala…"));
    QVERIFY(window.Hall() != nullptr);
    QCOMPARE(QString::fromStdString(window.Hall()->Shown().page_address), address);
    QVERIFY(window.Hall()->Shown().page_qr.side >= 21);
    // The hall sees the QR code in its own column, the board beside it.
    HallWindow* hall = window.Hall();
    hall->resize(1280, 720);
    QVERIFY(QTest::qWaitForWindowExposed(hall));
    const HallLayout layout = HallPaintOf(hall->width(), hall->height(), hall->Shown().highest_ball, true).layout;
    QVERIFY(layout.board.grid.right <= layout.page_qr.left && layout.page_qr.right <= hall->width());
    const QImage seen = hall->grab().toImage();
    int dark = 0;
    for (int y = layout.page_qr.top; y < layout.page_qr.bottom; ++y)
      for (int x = layout.page_qr.left; x < layout.page_qr.right; ++x) dark += qGray(seen.pixel(x, y)) < 64;
    QVERIFY2(dark > layout.page_qr.right - layout.page_qr.left, qPrintable(QString::number(dark)));

    Browser browser;
    browser.Start();
    if (!browser.failed.isEmpty()) QSKIP(qPrintable("sin Chromium: " + browser.failed));
    QCOMPARE(browser.Do("abrir " + address), QString("ok"));
    const QString mine = QString::fromStdString(ListLineCode(list_[0]));
    const QString not_in_play = QString::fromStdString(ListLineCode(list_[9]));
    QCOMPARE(browser.Do("carton " + mine), QString("ok"));
    QCOMPARE(browser.Do("carton " + not_in_play), QString("ok"));
    QCOMPARE(browser.Do("dice " + not_in_play + " no está en juego"), QString("ok"));

    // A ball called on the window shows on the page; undone, it goes.
    QTest::mouseClick(window.findChild<QPushButton*>("sacar"), Qt::LeftButton);
    const int drawn = LastBall(window);
    QCOMPARE(browser.Do(QString("bola %1").arg(drawn)), QString("ok"));
    QCOMPARE(browser.Do(QString("anuncia Bola %1. 1 bola").arg(drawn)), QString("ok"));
    ExpectDialog([](QDialog* dialog) { qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->click(); });
    window.Run(BingoCommand::kUndo);
    QCOMPARE(browser.Do(QString("sin-bola %1").arg(drawn)), QString("ok"));

    // Four of my cartón's first row: marked, and one more for the línea.
    std::vector<int> row;
    for (uint8_t number : list_[0].layout.cell[0])
      if (number != 0) row.push_back(number);
    for (size_t at = 0; at < 4; ++at) Type(&window, QString::number(row[at]));
    QCOMPARE(browser.Do(QString("bola %1").arg(row[3])), QString("ok"));
    for (size_t at = 0; at < 4; ++at) QCOMPARE(browser.Do(QString("marcado %1 %2").arg(mine).arg(row[at])), QString("ok"));
    QCOMPARE(browser.Do("dice " + mine + " Le falta 1 número para línea."), QString("ok"));
    // The codes are the phone's own: opened again, the page still has them.
    QCOMPARE(browser.Do("recargar"), QString("ok"));
    QCOMPARE(browser.Do(QString("marcado %1 %2").arg(mine).arg(row[3])), QString("ok"));
    QCOMPARE(browser.Do("captura " + work_.filePath("movil.png")), QString("ok"));
    QCOMPARE(browser.Do("captura " + work_.filePath("movil-200.png") + " 2 entera"), QString("ok"));

    // The server stops: the page says it is reconnecting; two balls come meanwhile.
    page_switch->click();
    QVERIFY(!page_switch->isChecked());
    QCOMPARE(browser.Do("reconectando"), QString("ok"));
    if (!shots.isEmpty()) QCOMPARE(browser.Do("captura " + shots + "/reconectando.png"), QString("ok"));
    int missed[2] = {0, 0};
    for (int& ball : missed) {
      int next = 99;
      while (window.Session().game.called.place[next] != 0 || next == row[4]) --next;
      Type(&window, QString::number(next));
      ball = next;
    }
    page_switch->click();
    QCOMPARE(window.findChild<QLabel*>("direccion_pagina")->text(), address);  // the port kept
    QCOMPARE(browser.Do(QString("bola %1").arg(missed[1])), QString("ok"));
    QCOMPARE(browser.Do(QString("tablero %1").arg(missed[0])), QString("ok"));
    QCOMPARE(browser.Do("conectado"), QString("ok"));
    QCOMPARE(browser.Do(QString("marcado %1 %2").arg(mine).arg(row[0])), QString("ok"));
    if (!shots.isEmpty()) {
      QCOMPARE(browser.Do("captura " + shots + "/movil.png"), QString("ok"));
      QCOMPARE(browser.Do("captura " + shots + "/movil-200.png 2 entera"), QString("ok"));
      window.grab().save(shots + "/ventana.png");
      window.Hall()->grab().save(shots + "/sala.png");
    }
    window.Hall()->close();
  }
};

QTEST_MAIN(PageTest)
#include "page_test.moc"
