// The bingo window end to end: its real widgets driven as the organiser drives them,
// the game saved in a data folder of the test's own, and a killed window continued.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>

#include "bingo/qt/bingo_window.h"
#include "bingo/qt/board_view.h"
#include "bingo/qt/card_view.h"
#include "bingo/qt/forecast_chart.h"
#include "bingo/qt/hall_window.h"
#include "card/card_code.h"
#include "driver.h"
#include "files/card_files.h"
#include "formats/card_list.h"
#include "game/record.h"
#include "tests/support/test_support.h"

namespace {
constexpr int kListCards = 20;
const char* const kChildVariable = "TESSARINE_BINGO_CHILD";
const char* const kNightChildVariable = "TESSARINE_BINGO_NIGHT_CHILD";
const QRgb kBoardColour = qRgb(0x1F, 0x5F, 0xBF);

std::vector<ListLine> MakeList(const QString& path, uint32_t first_seed = 0x4730F0CAu) {
  std::vector<ListLine> lines;
  for (int card = 1; card <= kListCards; ++card)
    lines.push_back(ListLineOf(CardFileName(card, ".bmp"), first_seed + 7919u * card));
  WriteWholeFile(path.toStdString(), CardListBytes(lines));
  return lines;
}

template <typename T>
T* Child(QWidget* window, const char* name) {
  return window->findChild<T*>(name);
}

QString Status(QWidget* window) { return Child<QLabel>(window, "estado")->text(); }
QString Verdict(QWidget* window) { return Child<QLabel>(window, "veredicto")->text(); }

void Type(QWidget* window, const char* field, const QString& text) {
  auto* edit = Child<QLineEdit>(window, field);
  edit->setFocus();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The board's cell of that number as painted: the card colour when called.
QRgb CellColour(QWidget* window, int number) {
  auto* board = window->findChild<BoardView*>();
  const QImage image = board->grab().toImage();
  const QRect cell = board->CellOf(number);
  return image.pixel(cell.left() + 3, cell.top() + 3) | 0xFF000000;
}

DialogHandler Press(QMessageBox::StandardButton which, QString* text = nullptr) {
  return [which, text](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (text != nullptr) *text = DialogText(dialog);
    if (box != nullptr && box->button(which) != nullptr)
      box->button(which)->click();
    else
      dialog->reject();
  };
}

DialogHandler ChooseFile(const QString& path) {
  return [path](QDialog* dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(dialog);
    if (chooser == nullptr) return dialog->reject();
    chooser->selectFile(path);
    dialog->accept();  // QDialog's: the chooser takes the file selected
  };
}

// The row numbers of a card's first row, in order.
std::vector<int> FirstRow(const ListLine& line) {
  std::vector<int> numbers;
  for (int column = 0; column < kCardColumns; ++column)
    if (line.layout.cell[0][column] != 0) numbers.push_back(line.layout.cell[0][column]);
  return numbers;
}

bool HasFullRow(const ListLine& line, const std::vector<int>& called) {
  for (int row = 0; row < kCardRows; ++row) {
    int missing = 0;
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = line.layout.cell[row][column];
      if (number != 0 && std::find(called.begin(), called.end(), number) == called.end())
        ++missing;
    }
    if (missing == 0) return true;
  }
  return false;
}


// The first number from `from` down (then wrapping round) that the game has not called:
// the balls drawn at random must not collide with the ones the test types.
int FirstUncalled(const Game& game, int from) {
  for (int step = 0; step < 99; ++step) {
    const int number = (from - 1 - step + 99) % 99 + 1;
    if (game.called.place[number] == 0) return number;
  }
  return 0;
}

// Fills the "Preparar cartones" dialog and presses OK.
DialogHandler FillRun(int count, const QString& folder, int files) {
  return [count, folder, files](QDialog* dialog) {
    auto* cards = dialog->findChild<QSpinBox*>("cuantos");
    auto* out = dialog->findChild<QLineEdit*>("carpeta");
    auto* kind = dialog->findChild<QComboBox*>("archivos");
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (cards == nullptr || out == nullptr || kind == nullptr || buttons == nullptr)
      return dialog->reject();
    cards->setValue(count);
    dialog->findChild<QLineEdit*>("titulo")->setText("Noche de prueba");
    out->setText(folder);
    kind->setCurrentIndex(files);
    buttons->button(QDialogButtonBox::Ok)->click();
  };
}

int FilesEndingIn(const QString& folder, const QString& ending) {
  return QDir(folder).entryList({"*" + ending}, QDir::Files).size();
}

// Run as a child: a window starts a game, draws five balls, prints them and is killed
// as a power cut would stop it, with no chance to close anything.
int KilledChild(int argc, char** argv) {
  QApplication application(argc, argv);
  BingoWindow window(qEnvironmentVariable("TESSARINE_TEST_FOLDER"));
  window.show();
  if (!window.Open().isEmpty()) return 3;
  if (!window.StartGame(qEnvironmentVariable("TESSARINE_TEST_LIST"), QString()).isEmpty()) return 4;
  for (int ball = 0; ball < 5; ++ball) window.Run(BingoCommand::kDraw);
  for (size_t call : window.Session().game.standing)
    std::printf("%d ", window.Session().game.calls[call].number);
  std::fflush(stdout);
  std::raise(SIGKILL);
  return 5;
}
// A prompt's offered text replaced by the answer, as a caller types over it (inserted
// whole: QTest types Latin-1 only, and "€" is not).
DialogHandler Retype(const QString& answer) {
  return [answer](QDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>();
    if (edit == nullptr) return dialog->reject();
    edit->selectAll();
    edit->insert(answer);
    QTest::keyClick(edit, Qt::Key_Return);
    if (dialog->isVisible()) dialog->reject();  // Enter did not answer: the test fails
  };
}

// Balls drawn and prizes confirmed by the window's button until the game's last prize,
// whose questions go to `at_the_end`.
void PlayOut(BingoWindow* window, const std::vector<DialogHandler>& at_the_end) {
  const Game& game = window->Session().game;
  auto* confirm = Child<QPushButton>(window, "confirmar");
  while (!GameOver(game)) {
    if (!confirm->isEnabled()) {
      window->Run(BingoCommand::kDraw);
      continue;
    }
    if (game.prizes_won + 1 == game.prizes.size())
      for (const DialogHandler& handler : at_the_end) ExpectDialog(handler);
    confirm->click();
  }
}

// Two cartones whose first rows share a number, the rest of both rows filling no row of
// either: called in that order, the shared number gives both the línea on one ball.
struct Tie {
  int a = -1, b = -1, number = 0;
  std::vector<int> before;
};

Tie FindTie(const std::vector<ListLine>& list) {
  for (int a = 0; a < int(list.size()); ++a)
    for (int b = a + 1; b < int(list.size()); ++b)
      for (int shared : FirstRow(list[a])) {
        const std::vector<int> other = FirstRow(list[b]);
        if (std::find(other.begin(), other.end(), shared) == other.end()) continue;
        std::vector<int> rest;
        for (const std::vector<int>& row : {FirstRow(list[a]), other})
          for (int n : row)
            if (n != shared && std::find(rest.begin(), rest.end(), n) == rest.end()) rest.push_back(n);
        if (HasFullRow(list[a], rest) || HasFullRow(list[b], rest)) continue;
        return {a, b, shared, rest};
      }
  return {};
}

// Run as a child: the first game of a night sold, played to its end, the second game's
// sale opened and three cartones scanned at the door; then killed as a power cut would.
int NightChild(int argc, char** argv) {
  QApplication application(argc, argv);
  WatchDialogs();
  BingoWindow window(qEnvironmentVariable("TESSARINE_TEST_FOLDER"));
  window.show();
  if (!window.Open().isEmpty()) return 3;
  const QString list = qEnvironmentVariable("TESSARINE_TEST_LIST");
  ExpectDialog(ChooseFile(list));
  ExpectDialog(AnswerPrompt(""));  // the night's symbol: the € offered
  for (const char* answer : {"1,50", "15 %", "50 %", "1-12"}) ExpectDialog(Retype(answer));
  window.Run(BingoCommand::kNextGame);
  window.Run(BingoCommand::kStartSoldGame);
  if (window.Session().game.play.count != 12) return 4;
  PlayOut(&window, {Press(QMessageBox::Yes), Press(QMessageBox::Yes), Retype("2"),
                    Retype("20 %"), Retype("5,00 €"), AnswerPrompt("")});
  if (!Selling(window.Session())) return 5;
  const std::vector<ListLine> cards = ReadCardList(list.toStdString()).lines;
  for (int card : {2, 4, 6}) Type(&window, "numero", QString::fromStdString(ListLineCode(cards[card])));
  std::printf("%zu", window.Session().night.sale.sold_count);
  std::fflush(stdout);
  std::raise(SIGKILL);
  return 6;
}
}  // namespace

class BingoWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work_;
  QString folder_, list_path_;
  std::vector<ListLine> list_;

  // This program again, as the child that `variable` names, on the test's folder and list.
  void StartChild(QProcess* child, const char* variable) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TESSARINE_TEST_FOLDER", folder_);
    environment.insert("TESSARINE_TEST_LIST", list_path_);
    child->setProcessEnvironment(environment);
    child->start(QCoreApplication::applicationFilePath(), {});
  }

  // Where TESSARINE_PICTURES names a folder, the hall's screen as shown, for the README.
  static void SaveHallPicture(BingoWindow* window, const char* name) {
    const QString folder = qEnvironmentVariable("TESSARINE_PICTURES");
    if (folder.isEmpty() || window->Hall() == nullptr) return;
    window->Hall()->resize(1280, 720);
    QTest::qWait(100);
    window->Hall()->grab().save(QDir(folder).filePath(name));
  }
  // The record's last page, with the last game's money and the night's totals.
  static void SavePdfPage(const QString& pdf, const char* name) {
    const QString folder = qEnvironmentVariable("TESSARINE_PICTURES");
    if (folder.isEmpty()) return;
    QProcess info;
    info.start("pdfinfo", {pdf});
    info.waitForFinished(20000);
    const QString pages = QRegularExpression("Pages:\\s+(\\d+)").match(info.readAllStandardOutput()).captured(1);
    QProcess::execute("pdftoppm", {"-png", "-r", "80", "-f", pages, "-l", pages, "-singlefile", pdf,
                                   QDir(folder).filePath(name)});
  }

  // A window on the test's game folder, with a game of every card started.
  std::unique_ptr<BingoWindow> OpenWindow(const QString& in_play = QString()) {
    auto window = std::make_unique<BingoWindow>(folder_);
    window->resize(1280, 800);
    window->show();
    window->activateWindow();
    // Shortcuts (Space, Ctrl+Z) reach only the active window.
    if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
    // Mouse events go through the window system's window: it must be on the screen.
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    if (!window->Open().isEmpty()) return nullptr;
    if (!window->StartGame(list_path_, in_play).isEmpty()) return nullptr;
    return window;
  }

 private slots:
  void init() {
    QVERIFY(work_.isValid());
    folder_ = work_.filePath(QString("datos-%1").arg(QTest::currentTestFunction()));
    list_path_ = work_.filePath("cartones.csv");
    list_ = MakeList(list_path_);
    QCOMPARE(int(list_.size()), kListCards);
    WatchDialogs();
  }
  void cleanup() {
    QVERIFY2(AllExpectedDialogsSeen(), "a dialog the test waited for never came");
    const QStringList unexpected = TakeUnexpectedDialogs();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(" | ")));
    ForgetDialogs();
  }

  void drawMarkAndRefuse() {
    auto window = OpenWindow();
    QVERIFY(window);
    QTest::keyClick(window.get(), Qt::Key_Space);
    const Game& game = window->Session().game;
    QCOMPARE(int(game.standing.size()), 1);
    const int drawn = game.calls[game.standing[0]].number;
    QCOMPARE(CellColour(window.get(), drawn), kBoardColour);
    const int typed = FirstUncalled(game, 47);
    Type(window.get(), "numero", QString::number(typed));
    QCOMPARE(int(game.called.order.size()), 2);
    QCOMPARE(int(game.called.order.back()), typed);
    QCOMPARE(CellColour(window.get(), typed), kBoardColour);
    Type(window.get(), "numero", QString::number(typed));
    QCOMPARE(Status(window.get()), QString("El %1 ya ha salido").arg(typed));
    Type(window.get(), "numero", "100");
    QVERIFY2(Status(window.get()).contains("del 1 al 99"), qPrintable(Status(window.get())));
    Type(window.get(), "numero", "0");
    QVERIFY2(Status(window.get()).contains("del 1 al 99"), qPrintable(Status(window.get())));
    Type(window.get(), "numero", "siete");
    QVERIFY2(Status(window.get()).contains("no es un número"), qPrintable(Status(window.get())));
    QCOMPARE(int(game.called.order.size()), 2);
    // A click on the board calls the number clicked once the caller confirms it.
    auto* board = window->findChild<BoardView*>();
    const int clicked = FirstUncalled(game, 99);
    QString asked;
    ExpectDialog(Press(QMessageBox::No, &asked));
    QTest::mouseClick(board, Qt::LeftButton, {}, board->CellOf(clicked).center());
    QCOMPARE(asked, QString("¿Cantar el %1?").arg(clicked));
    QCOMPARE(int(game.called.order.size()), 2);
    ExpectDialog(Press(QMessageBox::Yes));
    QTest::mouseClick(board, Qt::LeftButton, {}, board->CellOf(clicked).center());
    QCOMPARE(int(game.called.order.back()), clicked);
    QCOMPARE(CellColour(window.get(), clicked), kBoardColour);
    QVERIFY(CellColour(window.get(), FirstUncalled(game, 90)) != kBoardColour);
    // Typed with the board in focus, as from a cage: the digits go to the number field.
    const int cage = FirstUncalled(game, 31);
    QTest::keyClicks(board, QString::number(cage));
    QTest::keyClick(Child<QLineEdit>(window.get(), "numero"), Qt::Key_Return);
    QCOMPARE(int(game.called.order.back()), cage);
    QTest::keyClick(window.get(), Qt::Key_Space);
    QCOMPARE(int(game.called.order.size()), 5);
  }

  void prizesAndClaims() {
    auto window = OpenWindow("1-15");
    QVERIFY(window);
    const std::vector<int> row = FirstRow(list_[0]);
    std::vector<int> called;
    for (int number : row) {
      Type(window.get(), "numero", QString::number(number));
      called.push_back(number);
    }
    // Every card listed completes its row with the last number; card 0001 among them.
    auto* winners = Child<QListWidget>(window.get(), "ganadores");
    const QString code = QString::fromStdString(CardCode(list_[0].seed_bits));
    QVERIFY(winners->count() >= 1);
    QCOMPARE(winners->item(0)->text(), QString("Cartón 0001  %1  línea").arg(code));
    for (int item = 0; item < winners->count(); ++item) {
      const int card = winners->item(item)->text().mid(7, 4).toInt();
      QVERIFY(HasFullRow(list_[card - 1], called));
    }
    // A claim by the code typed, then by the code scanned into the number field.
    Type(window.get(), "reclamacion", code);
    QCOMPARE(Verdict(window.get()),
             QString("Línea válida: se completó con el %1, el último número").arg(row.back()));
    auto* card = window->findChild<CardView*>();
    QVERIFY(card->HasCard());
    for (int column = 0; column < kCardColumns; ++column)
      QCOMPARE(card->IsMarked(0, column), list_[0].layout.cell[0][column] != 0);
    Type(window.get(), "reclamacion", "0018");
    QCOMPARE(Verdict(window.get()), QString("El cartón 0018 no está en juego"));
    QVERIFY(!card->HasCard());
    Type(window.get(), "numero", code.toLower());
    QVERIFY2(Verdict(window.get()).startsWith("Línea válida"), qPrintable(Verdict(window.get())));
    QCOMPARE(int(window->Session().game.called.order.size()), 5);  // the scan called nothing
    // A card without a full row is told what it lacks.
    size_t loser = 1;
    while (HasFullRow(list_[loser], called)) ++loser;
    Type(window.get(), "reclamacion", QString::number(loser + 1));
    QVERIFY2(Verdict(window.get()).startsWith("No es línea: falta"), qPrintable(Verdict(window.get())));
    // Confirmed, the game moves on to bingo.
    QTest::mouseClick(Child<QPushButton>(window.get(), "confirmar"), Qt::LeftButton);
    QCOMPARE(Child<QLabel>(window.get(), "premio")->text(), QString("Se juega: bingo"));
    QCOMPARE(winners->count(), 0);
    QCOMPARE(int(window->Session().game.prizes_won), 1);
  }

  // Space draws only from the board; on a button it presses the button. A claim keeps
  // the focus in its field; Ctrl+Enter confirms the prize.
  void keysAndFocus() {
    auto window = OpenWindow("1");
    QVERIFY(window);
    const Game& game = window->Session().game;
    auto* undo = Child<QPushButton>(window.get(), "deshacer");
    Type(window.get(), "numero", QString::number(FirstRow(list_[0])[0]));
    QCOMPARE(int(game.standing.size()), 1);
    undo->setFocus();
    QString asked;
    ExpectDialog(Press(QMessageBox::No, &asked));
    QTest::keyClick(undo, Qt::Key_Space);
    QVERIFY2(asked.startsWith("¿Anular la bola"), qPrintable(asked));
    QCOMPARE(int(game.standing.size()), 1);  // pressed, not drawn
    auto* claim = Child<QLineEdit>(window.get(), "reclamacion");
    Type(window.get(), "reclamacion", "1");
    QCOMPARE(window->focusWidget(), static_cast<QWidget*>(claim));
    for (int number : FirstRow(list_[0]))
      if (game.called.place[number] == 0) Type(window.get(), "numero", QString::number(number));
    QVERIFY(!CurrentWinners(game).empty());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(int(game.prizes_won), 1);
    auto* board = window->findChild<BoardView*>();
    QCOMPARE(window->focusWidget(), static_cast<QWidget*>(board));  // Space draws again
    QTest::keyClick(board, Qt::Key_Space);
    QCOMPARE(int(game.standing.size()), 6);
  }

  void killedAndContinued() {
    QProcess child;
    StartChild(&child, kChildVariable);
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QStringList drawn = QString(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    QCOMPARE(drawn.size(), 5);

    BingoWindow window(folder_);
    window.show();
    QString offer;
    ExpectDialog(Press(QMessageBox::Yes, &offer));
    QCOMPARE(window.Open(), QString());
    QVERIFY2(QRegularExpression("^Continuar la partida de las \\d\\d:\\d\\d \\(5 bolas\\)\\?$")
                 .match(offer).hasMatch(), qPrintable(offer));
    const Game& game = window.Session().game;
    QCOMPARE(int(game.standing.size()), 5);
    for (int ball = 0; ball < 5; ++ball) {
      QCOMPARE(int(game.calls[game.standing[ball]].number), drawn[ball].toInt());
      QCOMPARE(CellColour(&window, drawn[ball].toInt()), kBoardColour);
    }
    QCOMPARE(Child<QLabel>(&window, "premio")->text(), QString("Se juega: línea"));
    // The game goes on from there.
    window.Run(BingoCommand::kDraw);
    QCOMPARE(int(game.standing.size()), 6);
  }

  // A night of three games: the first played and the second's sales begun by a window
  // that is killed; another window continues the sale, plays the second game and a third
  // on another list with a tied línea; the night's record read back.
  void nightOfThreeGames() {
    QProcess child;
    StartChild(&child, kNightChildVariable);
    QVERIFY(child.waitForFinished(120000));
    const QString said = child.readAllStandardError();
    QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable(said));
    QVERIFY2(QString(child.readAllStandardOutput()) == "3", qPrintable(said));

    BingoWindow window(folder_);
    window.resize(1280, 800);
    window.show();
    QString offer;
    ExpectDialog(Press(QMessageBox::Yes, &offer));
    QCOMPARE(window.Open(), QString());
    QCOMPARE(offer, QString("Continuar la noche: venta de la partida 2 (3 cartones vendidos)?"));
    Type(&window, "numero", QString::fromStdString(ListLineCode(list_[4])));
    QCOMPARE(Status(&window), QString("El cartón 0005 ya está vendido"));
    Type(&window, "numero", "9");
    ExpectDialog(Retype("15-16"));
    window.Run(BingoCommand::kSellCards);
    const QString money = Child<QLabel>(&window, "dinero")->text();
    QVERIFY2(money.contains("Recaudación: 12,00 € (6 cartones a 2,00 €)\nLínea (20 %): 2,40 €\nBingo: 5,00 €"),
             qPrintable(money));
    QVERIFY(!Child<QPushButton>(&window, "sacar")->isEnabled());
    window.Run(BingoCommand::kStartSoldGame);
    QCOMPARE(int(window.Session().game.play.count), 6);
    QVERIFY(Child<QLabel>(&window, "dinero")->text().startsWith("Noche: partida 2\nRecaudación: 12,00 €"));
    window.Run(BingoCommand::kHallScreen);
    QVERIFY(window.Hall() != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(window.Hall()));
    SaveHallPicture(&window, "sala-noche.png");
    if (!qEnvironmentVariable("TESSARINE_PICTURES").isEmpty())
      window.grab().save(QDir(qEnvironmentVariable("TESSARINE_PICTURES")).filePath("ventana-noche.png"));

    // The third game on another list: its línea tied by two cartones.
    const QString other_path = work_.filePath("otros.csv");
    const std::vector<ListLine> other = MakeList(other_path, 0x1C0FFEE5u);
    const Tie tie = FindTie(other);
    QVERIFY(tie.number > 0);
    QString sold = QString("%1,%2").arg(tie.a + 1).arg(tie.b + 1);
    for (int card = 0, more = 0; more < 4; ++card) {
      if (card == tie.a || card == tie.b) continue;
      sold += QString(",%1").arg(card + 1);
      ++more;
    }
    PlayOut(&window, {Press(QMessageBox::Yes), Press(QMessageBox::No), ChooseFile(other_path),
                      Retype("1"), Retype("10 %"), Retype("60 %"), Retype(sold)});
    QVERIFY2(Selling(window.Session()), qPrintable(Status(&window)));
    window.Run(BingoCommand::kStartSoldGame);
    QCOMPARE(int(window.Session().game.play.count), 6);
    for (int n : tie.before) Type(&window, "numero", QString::number(n));
    Type(&window, "numero", QString::number(tie.number));
    QCOMPARE(Child<QListWidget>(&window, "ganadores")->count(), 2);
    Child<QPushButton>(&window, "confirmar")->click();
    // 6 cartones at 1,00: 10 % is 0,60, 0,30 each.
    QCOMPARE(Status(&window), QString("Premio confirmado: línea, 0,60 € entre 2: 0,30 € cada uno"));
    SaveHallPicture(&window, "sala-noche-empate.png");
    PlayOut(&window, {Press(QMessageBox::No)});

    const QString record = work_.filePath("acta-noche.pdf");
    ExpectDialog(AnswerPrompt(""));
    ExpectDialog(ChooseFile(record));
    window.activateWindow();  // the hall's window took the focus when it opened
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY2(Status(&window).startsWith("Acta de la noche guardada en "), qPrintable(Status(&window)));
    const QString csv = QString::fromStdString(ReadFileBytes(work_.filePath("acta-noche.csv").toStdString()));
    QVERIFY2(csv.startsWith(kNightRecordHeader), qPrintable(csv));
    QVERIFY2(csv.contains("3,importe,,,,,,línea (10 %),60\r\n"), qPrintable(csv));
    QCOMPARE(csv.count(QRegularExpression("\r\n3,pago,[^\r]*,línea,30\r\n")), 2);
    QProcess text;
    text.start("pdftotext", {"-layout", record, "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* said : {"Acta de la noche", "Partida 1", "Partida 2", "Partida 3",
                             "Recaudación (12 cartones): 18,00 €", "Premio de bingo (5,00 €): 5,00 €",
                             "Totales de la noche"})
      QVERIFY2(printed.contains(QString::fromUtf8(said)), qPrintable(said + QString("\n") + printed));
    SavePdfPage(record, "acta-noche");
  }

  void secondWindowRefused() {
    auto first = OpenWindow();
    QVERIFY(first);
    BingoWindow second(folder_);
    const QString refused = second.Open();
    QVERIFY2(refused.startsWith("Esta partida ya está abierta en otra ventana"), qPrintable(refused));
  }

  void damagedGameKeptAside() {
    QDir().mkpath(folder_);
    const std::string damaged = "esto no es una partida\n";
    const QString game_file = QDir(folder_).filePath("partida.txt");
    QFile file(game_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(damaged.data(), qint64(damaged.size()));
    file.close();
    BingoWindow window(folder_);
    QString explained;
    ExpectDialog(Press(QMessageBox::Ok, &explained));
    QCOMPARE(window.Open(), QString());
    QVERIFY2(!explained.isEmpty(), "the damage was not explained");
    // The damaged bytes are still somewhere in the folder, whole.
    bool kept = false;
    for (const QString& name : QDir(folder_).entryList(QDir::Files | QDir::Hidden))
      kept = kept || ReadFileBytes(QDir(folder_).filePath(name).toStdString()) == damaged;
    QVERIFY2(kept, qPrintable(explained));
    QVERIFY(window.StartGame(list_path_, QString()).isEmpty());
    bool still_kept = false;
    for (const QString& name : QDir(folder_).entryList(QDir::Files | QDir::Hidden))
      still_kept = still_kept || ReadFileBytes(QDir(folder_).filePath(name).toStdString()) == damaged;
    QVERIFY2(still_kept, "a new game overwrote the damaged one");
  }

  // The last number's digits stand at least a third of the window high.
  void lastNumberLarge() {
    auto window = OpenWindow();
    QVERIFY(window);
    Type(window.get(), "numero", "88");
    auto* board = window->findChild<BoardView*>();
    const QImage image = board->grab().toImage();
    const QRect area = board->LastNumberArea();
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if ((image.pixel(x, y) | 0xFF000000) == kBoardColour) {
          top = qMin(top, y);
          bottom = qMax(bottom, y);
        }
    // Whole in its column: not cut at either side.
    for (int y = 0; y < image.height(); ++y) {
      QVERIFY((image.pixel(area.left(), y) | 0xFF000000) != kBoardColour);
      QVERIFY((image.pixel(area.right(), y) | 0xFF000000) != kBoardColour);
    }
    QVERIFY2(bottom - top + 1 >= window->height() / 3,
             qPrintable(QString("digits %1 high in a window %2 high").arg(bottom - top + 1).arg(window->height())));
    const QString shots = qEnvironmentVariable("TESSARINE_SCREENSHOTS");
    if (shots.isEmpty()) return;
    for (int ball = 0; ball < 10; ++ball) window->Run(BingoCommand::kDraw);
    Type(window.get(), "reclamacion", "0003");
    Child<QCheckBox>(window.get(), "pagina")->click();  // the address and QR code shown too
    QTest::qWait(100);  // the column laid out again round the verdict and the QR code
    window->grab().save(QDir(shots).filePath("bingo-1280x800.png"));
    window->resize(1920, 1080);
    window->grab().save(QDir(shots).filePath("bingo-1920x1080.png"));
  }

  void voiceSwitchSaysWhichVoice() {
    auto window = OpenWindow();
    QVERIFY(window);
    auto* voice = Child<QCheckBox>(window.get(), "voz");
    QSignalSpy known(window.get(), &BingoWindow::voiceKnown);
    // The service is asked in the background, with a deadline of its own.
    QVERIFY(known.wait(30000));
    // The system's voice or, where it has none, the program's recordings: never greyed
    // out, and saying which of the two speaks.
    QVERIFY(voice->isEnabled());
    QVERIFY2(voice->toolTip() == "Voz: la del sistema (español)" ||
                 voice->toolTip() == "Voz: grabaciones de Tessarine (no hay voz del sistema en español)",
             qPrintable(voice->toolTip()));
    QCOMPARE(Child<QLabel>(window.get(), "sin_voz")->text(), voice->toolTip());
    voice->setChecked(true);
    Type(window.get(), "numero", "47");
    QCOMPARE(Status(window.get()), QString("Bola 47: cuarenta y siete"));
  }

  // A whole game from the menu: the list chosen in the file dialog, a línea and a bingo
  // confirmed, and the record offered at the end and saved.
  void wholeGameFromTheMenu() {
    BingoWindow window(folder_);
    window.resize(1280, 800);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.Open(), QString());
    ExpectDialog(ChooseFile(list_path_));
    ExpectDialog(AnswerPrompt("1-12, 14"));
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(HasGame(window.Session()));
    QCOMPARE(int(window.Session().game.play.count), 13);
    // Before the first ball, the draw's commitment under the prize, in groups of four.
    const QString prize = Child<QLabel>(&window, "premio")->text();
    QVERIFY2(QRegularExpression("^Se juega: línea\nCompromiso del sorteo: ([0-9a-f]{4} ){15}[0-9a-f]{4}$")
                 .match(prize).hasMatch(), qPrintable(prize));
    QVERIFY(window.findChild<ForecastChart*>()->isVisible());
    auto* confirm = Child<QPushButton>(&window, "confirmar");
    for (int row = 0; row < kCardRows; ++row)
      for (int column = 0; column < kCardColumns; ++column) {
        const int number = list_[0].layout.cell[row][column];
        if (number == 0) continue;
        Type(&window, "numero", QString::number(number));
        if (confirm->isEnabled() && window.Session().game.prizes_won == 0) confirm->click();
      }
    QCOMPARE(int(window.Session().game.prizes_won), 1);
    QVERIFY(!window.findChild<ForecastChart*>()->isVisible());
    QCOMPARE(Child<QListWidget>(&window, "ganadores")->item(0)->text().left(20),
             QString("Cartón 0001  %1").arg(QString::fromStdString(CardCode(list_[0].seed_bits))).left(20));
    const QString record = work_.filePath("acta-final.csv");
    QString offered;
    ExpectDialog(Press(QMessageBox::Yes, &offered));
    ExpectDialog(AnswerPrompt(""));  // the record's title: the one offered
    ExpectDialog(ChooseFile(record));
    confirm->click();
    QVERIFY2(offered.contains("Guardar el acta"), qPrintable(offered));
    QCOMPARE(Child<QLabel>(&window, "premio")->text(),
             QString("Partida terminada: todos los premios dados"));
    QVERIFY(!Child<QPushButton>(&window, "sacar")->isEnabled());
    const QString csv = QString::fromStdString(ReadFileBytes(record.toStdString()));
    QVERIFY2(csv.contains(QRegularExpression(",0001,[0-9A-F]{8},línea")), qPrintable(csv));
    QVERIFY2(csv.contains(QRegularExpression(",0001,[0-9A-F]{8},bingo")), qPrintable(csv));
    // The same record printed beside it, read back by poppler.
    QProcess text;
    text.start("pdftotext", {"-layout", work_.filePath("acta-final.pdf"), "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.contains("Acta de la partida") && printed.contains("Premios"), qPrintable(printed));
    const QString code = QString::fromStdString(CardCode(list_[0].seed_bits));
    QVERIFY2(printed.contains(QRegularExpression("0001\\s+" + code + "\\s+línea")), qPrintable(printed));
    QVERIFY2(printed.contains(QRegularExpression("0001\\s+" + code + "\\s+bingo")), qPrintable(printed));
    QVERIFY2(printed.contains("SHA-256 de la lista: " +
                              QString::fromStdString(window.Session().game.list_sha256)),
             qPrintable(printed));
    // F11 puts the board on the whole screen and back.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(window.windowState() & Qt::WindowFullScreen);
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(!(window.windowState() & Qt::WindowFullScreen));
  }

  // A run prepared in the window, by the same code as tessarine-cards, and the game
  // started with its list.
  void prepareCardsAndPlay() {
    BingoWindow window(folder_);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.Open(), QString());
    const QString run = work_.filePath("tanda");
    QString said;
    ExpectDialog(FillRun(8, run, 1));
    ExpectDialog(Press(QMessageBox::No, &said));  // no PDF viewer in a test
    ExpectDialog(Press(QMessageBox::Yes));
    ExpectDialog(AnswerPrompt(""));  // every card in play
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    QVERIFY2(said.contains("8 cartones en ") && said.contains("hojas en ") &&
                 said.contains("lista en "), qPrintable(said));
    QCOMPARE(FilesEndingIn(run, ".png"), 8);
    QVERIFY(ReadFileBytes(QDir(run).filePath("hojas.pdf").toStdString()).rfind("%PDF", 0) == 0);
    const CardListFile list = ReadCardList(QDir(run).filePath("cartones.csv").toStdString());
    QVERIFY2(list.error.empty(), list.error.c_str());
    const std::vector<ListLine>& lines = list.lines;
    QCOMPARE(int(lines.size()), 8);
    QVERIFY(HasGame(window.Session()));
    QCOMPARE(int(window.Session().game.cards.size()), 8);
    QCOMPARE(window.Session().game.cards[0].seed_bits, lines[0].seed_bits);
    QVERIFY(!Child<QProgressBar>(&window, "progreso")->isVisible());
    // Another run into the folder of the list in play is refused, and writes nothing.
    const std::string list_bytes = ReadFileBytes(QDir(run).filePath("cartones.csv").toStdString());
    QString refused;
    ExpectDialog(FillRun(4, run, 0));
    ExpectDialog(Press(QMessageBox::Ok, &refused));
    window.Run(BingoCommand::kPrepareCards);
    QVERIFY2(refused.startsWith("No se prepara la tanda: «" + QDir(run).filePath("cartones.csv") +
                                "» es la lista de la partida en juego"),
             qPrintable(refused));
    QCOMPARE(ReadFileBytes(QDir(run).filePath("cartones.csv").toStdString()), list_bytes);
    QCOMPARE(FilesEndingIn(run, ".png"), 8);
  }

  // A game of 90 prepared in the window: series of six, the cage of 1 to 90, a cartón's
  // code scanned into the ball field, and the record saying which cards were played.
  void gameOfNinety() {
    BingoWindow window(folder_);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.Open(), QString());
    const QString run = work_.filePath("series");
    ExpectDialog([run](QDialog* dialog) {
      auto* kind = dialog->findChild<QComboBox*>("tipo");
      auto* cards = dialog->findChild<QSpinBox*>("cuantos");
      if (kind == nullptr || cards == nullptr) return dialog->reject();
      kind->setCurrentIndex(1);
      cards->setValue(2);  // two series
      dialog->findChild<QLineEdit*>("carpeta")->setText(run);
      dialog->findChild<QComboBox*>("archivos")->setCurrentIndex(0);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ExpectDialog(Press(QMessageBox::No));
    ExpectDialog(Press(QMessageBox::Yes));
    ExpectDialog(AnswerPrompt(""));
    window.Run(BingoCommand::kPrepareCards);
    const Game& game = window.Session().game;
    QVERIFY(HasGame(window.Session()));
    QCOMPARE(int(game.cards.size()), 12);
    QVERIFY(game.type == CardType::kSeries90);
    Type(&window, "numero", "91");
    QCOMPARE(Status(&window), QString("El 91 no está en el bombo: las bolas van del 1 al 90"));
    auto* board = window.findChild<BoardView*>();
    QVERIFY(board->CellOf(90).isValid() && board->CellOf(90).bottom() <= board->height());
    for (int number : FirstRow(game.cards[0])) Type(&window, "numero", QString::number(number));
    const QString code = QString::fromStdString(ListLineCode(game.cards[0]));
    Type(&window, "numero", code);  // as a scanner types it
    QVERIFY2(Verdict(&window).startsWith("Línea válida"), qPrintable(Verdict(&window)));
    Child<QPushButton>(&window, "confirmar")->click();
    QCOMPARE(int(game.prizes_won), 1);
    const QString record = work_.filePath("acta90");
    ExpectDialog(AnswerPrompt(""));
    ExpectDialog(ChooseFile(record + ".pdf"));
    window.Run(BingoCommand::kSaveRecord);
    const QString csv = QString::fromStdString(ReadFileBytes((record + ".csv").toStdString()));
    QVERIFY2(csv.contains("cartones,,,,,,\"de 90 bolas, en series de 6\""), qPrintable(csv));
    QVERIFY2(csv.contains(",0001," + code + ",línea"), qPrintable(csv));
  }

  // Cancel stops the run after the card in hand and keeps what was saved, listed.
  void prepareCardsCancelled() {
    BingoWindow window(folder_);
    window.show();
    QCOMPARE(window.Open(), QString());
    auto* bar = Child<QProgressBar>(&window, "progreso");
    auto* cancel = Child<QPushButton>(&window, "cancelar");
    bool clicked = false, clickable_again = false;
    QObject::connect(bar, &QProgressBar::valueChanged, cancel,
                     [cancel, &window, &clicked, &clickable_again](int done) {
      if (done < 1) return;
      // Commands wait for the run: a second run or a ball now would be refused silently.
      window.Run(BingoCommand::kPrepareCards);
      window.Run(BingoCommand::kNewGame);
      // One stop a run: clicked again while the run writes its list and sheets, Cancel
      // would stop those too.
      clickable_again = clickable_again || (clicked && cancel->isEnabled());
      clicked = true;
      cancel->click();
    });
    const QString run = work_.filePath("cancelada");
    ExpectDialog(FillRun(3000, run, 2));
    QString said;
    ExpectDialog(Press(QMessageBox::No, &said));
    ExpectDialog(Press(QMessageBox::No));
    window.Run(BingoCommand::kPrepareCards);
    QVERIFY2(said.contains(QRegularExpression("interrumpido: \\d+ cartones guardados")), qPrintable(said));
    QVERIFY2(!clickable_again, "Cancel could still be clicked once the run had taken its stop");
    const CardListFile list = ReadCardList(QDir(run).filePath("cartones.csv").toStdString());
    QVERIFY2(list.error.empty(), list.error.c_str());
    const std::vector<ListLine>& lines = list.lines;
    QVERIFY(lines.size() < 3000);
    QCOMPARE(FilesEndingIn(run, ".bmp"), int(lines.size()));
    QVERIFY(!HasGame(window.Session()));
  }

  void undoAfterConfirmation() {
    auto window = OpenWindow();
    QVERIFY(window);
    Type(window.get(), "numero", "12");
    Type(window.get(), "numero", "80");
    ExpectDialog(Press(QMessageBox::No));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(window->Session().game.standing.size()), 2);
    // The closed question gives the activation back only through the window system.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QString asked;
    ExpectDialog(Press(QMessageBox::Yes, &asked));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY2(asked.contains("80"), qPrintable(asked));
    QCOMPARE(int(window->Session().game.standing.size()), 1);
    QVERIFY(CellColour(window.get(), 80) != kBoardColour);
    QCOMPARE(CellColour(window.get(), 12), kBoardColour);
    // The record keeps the ball taken back.
    const QString record = work_.filePath("acta.csv");
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    ExpectDialog(AnswerPrompt("Noche del jueves"));
    ExpectDialog(ChooseFile(record));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    const QString csv = QString::fromStdString(ReadFileBytes(record.toStdString()));
    QVERIFY2(csv.startsWith(kRecordHeader), qPrintable(csv));
    QVERIFY2(csv.contains("titulo,,,,,,Noche del jueves"), qPrintable(csv));
    QVERIFY2(csv.contains(QRegularExpression(",80,,,anulada a las \\d\\d:\\d\\d:\\d\\d")),
             qPrintable(csv));
    QVERIFY2(csv.contains(QRegularExpression("bola,1,\\d\\d:\\d\\d:\\d\\d,12,")), qPrintable(csv));
  }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet(kChildVariable)) return KilledChild(argc, argv);
  if (qEnvironmentVariableIsSet(kNightChildVariable)) return NightChild(argc, argv);
  QApplication application(argc, argv);
  BingoWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "bingo_window_test.moc"
