// The board takes the window; the organiser's controls stand in a column on the right,
// a fifth of the window wide. Every widget is wired to one controller command; after
// each, Refresh draws what the controller says the window shows.
#include "bingo/qt/bingo_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include "bingo/qt/board_view.h"
#include "bingo/qt/claim_box.h"
#include "bingo/qt/forecast_chart.h"
#include "bingo/qt/hall_window.h"
#include "bingo/qt/prepare_cards.h"
#include "bingo/qt/page_box.h"

namespace {
constexpr int kControlsWidth = 280;
constexpr QSize kFrameRoom(16, 64);

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QColor QColorOf(Colour colour) {
  return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

// The night's game and its money, a line each: what the caller reads out before the first ball.
QString NightLines(const BingoScreen& screen) {
  QString lines = Text(screen.night);
  for (const std::string& line : screen.money) lines += (lines.isEmpty() ? "" : "\n") + Text(line);
  for (const std::string& line : screen.forecast_money) lines += "\n" + Text(line);
  return lines;
}

QLabel* Label(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}
}  // namespace

BingoWindow::BingoWindow(const QString& game_folder, QWidget* parent) : QMainWindow(parent) {
  InitBingo(&bingo_, this, game_folder.toStdString());
  setWindowTitle(kBingoTitle);
  board_ = new BoardView;
  auto* central = new QWidget;
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(board_, 1);
  layout->addWidget(MakeControls());
  setCentralWidget(central);
  MakeMenu();
  board_->setFocusPolicy(Qt::StrongFocus);
  board_->setFocus();  // Space draws at once; typing goes to the ball field
  // Within the screen's work area, 1280 x 800 where there is room. The window manager's
  // frame is not known until the window is shown: room is kept for a title bar and borders.
  const QRect area = screen()->availableGeometry();
  resize(qMin(1280, area.width() - kFrameRoom.width()), qMin(800, area.height() - kFrameRoom.height()));
  move(area.x() + (area.width() - width() - kFrameRoom.width()) / 2,
       area.y() + (area.height() - height() - kFrameRoom.height()) / 2);
  voice_.why_not = tr("Buscando la voz del sistema…");
  OpenVoice(this, [this](const Voice& voice) {
    voice_ = voice;
    Refresh();
    emit voiceKnown();
  });
  Refresh();
}

BingoWindow::~BingoWindow() {
  // A voice probe still asking must not call back into a window being taken down.
  for (QProcess* probe : findChildren<QProcess*>()) {
    probe->disconnect();
    probe->kill();
    probe->waitForFinished();
    delete probe;
  }
  CloseBingo(&bingo_);
}

namespace {
struct MenuItem {
  const char* text;
  QKeySequence keys;
  BingoCommand command;
};
}  // namespace

void BingoWindow::MakeMenu() {
  const MenuItem game[] = {
      {"&Nueva partida…", QKeySequence(Qt::CTRL | Qt::Key_N), BingoCommand::kNewGame},
      {"&Preparar cartones…", QKeySequence(Qt::CTRL | Qt::Key_P), BingoCommand::kPrepareCards},
      {"&Guardar el acta…", QKeySequence(Qt::CTRL | Qt::Key_S), BingoCommand::kSaveRecord},
      {"Pantalla &completa", QKeySequence(Qt::Key_F11), BingoCommand::kFullScreen},
      {"Pantalla de la sala…", QKeySequence(Qt::Key_F5), BingoCommand::kHallScreen},
      {"&Salir", QKeySequence(Qt::CTRL | Qt::Key_Q), BingoCommand::kQuit},
  };
  const MenuItem night[] = {
      {"&Siguiente partida…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), BingoCommand::kNextGame},
      {"&Vender cartones…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), BingoCommand::kSellCards},
      {"&Empezar la partida", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), BingoCommand::kStartSoldGame},
      {"Guardar el acta de la &noche…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       BingoCommand::kSaveNightRecord},
  };
  QMenu* menu = menuBar()->addMenu(tr("&Partida"));
  for (const MenuItem& item : game) {
    QAction* action = menu->addAction(tr(item.text));
    action->setShortcut(item.keys);
    connect(action, &QAction::triggered, this, [this, item] { Run(item.command); });
    if (item.command == BingoCommand::kHallScreen) hall_action_ = action;
  }
  menu = menuBar()->addMenu(tr("&Noche"));
  for (const MenuItem& item : night) {
    QAction* action = menu->addAction(tr(item.text));
    action->setShortcut(item.keys);
    connect(action, &QAction::triggered, this, [this, item] { Run(item.command); });
  }
}

QWidget* BingoWindow::MakeControls() {
  controls_ = new QWidget;
  controls_->setFixedWidth(kControlsWidth);
  auto* column = new QVBoxLayout(controls_);
  draw_ = new QPushButton(tr("Sacar bola (Espacio)"));
  draw_->setObjectName("sacar");
  number_ = new QLineEdit;
  number_->setObjectName("numero");
  number_->setPlaceholderText(tr("Número de la jaula y Intro"));
  undo_ = new QPushButton(tr("Deshacer (Ctrl+Z)"));
  undo_->setObjectName("deshacer");
  voice_switch_ = new QCheckBox(tr("Voz"));
  voice_switch_->setObjectName("voz");
  voice_why_not_ = Label("sin_voz");
  voice_why_not_->setEnabled(false);  // greyed, beside the switch it explains
  status_ = Label("estado");
  hall_label_ = Label("estado_sala");
  prize_ = Label("premio");
  money_ = Label("dinero");
  // Its lines are read out before the first ball: never squeezed under the others.
  money_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
  winners_ = new QListWidget;
  winners_->setObjectName("ganadores");
  winners_->setMaximumHeight(110);
  confirm_ = new QPushButton(tr("Confirmar premio (Ctrl+Intro)"));
  confirm_->setObjectName("confirmar");
  forecast_ = new ForecastChart;
  for (QWidget* widget : std::initializer_list<QWidget*>{draw_, number_, undo_, voice_switch_,
                                                         voice_why_not_, status_, prize_,
                                                         money_, winners_, confirm_, hall_label_})
    column->addWidget(widget);
  run_progress_ = new QProgressBar;
  run_progress_->setObjectName("progreso");
  run_cancel_ = new QPushButton(tr("Cancelar la tanda"));
  run_cancel_->setObjectName("cancelar");
  run_progress_->hide();
  run_cancel_->hide();
  column->addWidget(run_progress_);
  column->addWidget(run_cancel_);
  page_ = new PageBox;
  claim_ = new ClaimBox;
  column->addWidget(page_);
  column->addWidget(claim_);
  column->addWidget(forecast_);
  column->addStretch(1);
  WireControls();
  return controls_;
}

void BingoWindow::WireControls() {
  connect(draw_, &QPushButton::clicked, this, [this] { Run(BingoCommand::kDraw); });
  // After Enter the board has the focus again: Space draws, Ctrl+Z undoes, typing goes on.
  connect(number_, &QLineEdit::returnPressed, this, [this] {
    Run(BingoCommand::kMark);
    board_->setFocus();
  });
  connect(undo_, &QPushButton::clicked, this, [this] { Run(BingoCommand::kUndo); });
  connect(confirm_, &QPushButton::clicked, this, [this] { Run(BingoCommand::kConfirmPrize); });
  connect(voice_switch_, &QCheckBox::toggled, this, [this] { Run(BingoCommand::kVoice); });
  connect(board_, &BoardView::drawAsked, this, [this] { Run(BingoCommand::kDraw); });
  connect(board_, &BoardView::typed, this, [this](const QString& text) {
    number_->setFocus();
    number_->insert(text);
  });
  connect(board_, &BoardView::numberClicked, this, [this](int number) {
    BingoClickNumber(&bingo_, number);
    Refresh();
  });
  connect(page_, &PageBox::switched, this, [this] { Run(BingoCommand::kPage); });
  connect(claim_, &ClaimBox::claimed, this, [this] { Run(BingoCommand::kClaim); });
  auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
  connect(undo, &QShortcut::activated, this, [this] { Run(BingoCommand::kUndo); });
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    auto* confirm = new QShortcut(QKeySequence(Qt::CTRL | key), this);
    connect(confirm, &QShortcut::activated, this, [this] { Run(BingoCommand::kConfirmPrize); });
  }
}

void BingoWindow::Run(BingoCommand command) {
  // While a run of cards works, the window's loop runs too: no other command starts.
  if (bingo_.making_run) return;
  switch (command) {
    case BingoCommand::kNewGame: BingoNewGame(&bingo_); break;
    case BingoCommand::kPrepareCards: BingoPrepareCards(&bingo_); break;
    case BingoCommand::kSaveRecord: BingoSaveRecord(&bingo_); break;
    case BingoCommand::kFullScreen: isFullScreen() ? showNormal() : showFullScreen(); break;
    case BingoCommand::kHallScreen: ToggleHall(); break;
    case BingoCommand::kQuit: close(); break;
    case BingoCommand::kDraw: BingoDraw(&bingo_); break;
    case BingoCommand::kMark: {
      const QString typed = number_->text();
      number_->clear();
      BingoEnterNumber(&bingo_, typed.toStdString());
      break;
    }
    case BingoCommand::kUndo: BingoUndo(&bingo_); break;
    case BingoCommand::kConfirmPrize:
      BingoConfirm(&bingo_);
      board_->setFocus();  // the button just went grey: Space draws again
      break;
    case BingoCommand::kClaim: BingoClaim(&bingo_, claim_->TakeTyped().toStdString()); break;
    case BingoCommand::kVoice: break;  // read when the next number is said
    case BingoCommand::kNextGame: BingoNextGame(&bingo_); break;
    case BingoCommand::kSellCards: BingoSellCards(&bingo_); break;
    case BingoCommand::kStartSoldGame: BingoStartSoldGame(&bingo_); break;
    case BingoCommand::kSaveNightRecord: BingoSaveNightRecord(&bingo_); break;
    case BingoCommand::kPage: BingoSwitchPage(&bingo_, page_->SwitchedOn()); break;
  }
  Refresh();
}

// Space where no control has the focus draws, as on the board.
void BingoWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    Run(BingoCommand::kDraw);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

// The claimed card scales with its column, a fifth of the window.
void BingoWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  controls_->setFixedWidth(qMax(kControlsWidth, width() / 5));
  centralWidget()->layout()->activate();  // laid out at the new width now, not later
}

QString BingoWindow::Open() {
  const QString refused = Text(BingoOpen(&bingo_));
  Refresh();
  return refused;
}

QString BingoWindow::StartGame(const QString& list_path, const QString& in_play) {
  const QString failed = Text(BingoStartGame(&bingo_, list_path.toStdString(), in_play.toStdString()));
  Refresh();
  return failed;
}

bool BingoWindow::Ask(const std::string& question, bool default_no) {
  return QMessageBox::question(this, kBingoTitle, Text(question), QMessageBox::Yes | QMessageBox::No,
                               default_no ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

bool BingoWindow::AskText(const std::string& question, const std::string& initial,
                          std::string* answer) {
  bool answered = false;
  const QString text = QInputDialog::getText(this, kBingoTitle, Text(question), QLineEdit::Normal,
                                             Text(initial), &answered);
  *answer = text.toStdString();
  return answered;
}

void BingoWindow::Warn(const std::string& text) { QMessageBox::warning(this, kBingoTitle, Text(text)); }

std::string BingoWindow::ChooseList() {
  return QFileDialog::getOpenFileName(this, tr("Lista de cartones"), QString(),
                                      tr("Listas de cartones (*.csv)"))
      .toStdString();
}

std::string BingoWindow::ChooseRecordFile(const std::string& folder, const std::string& offered) {
  return QFileDialog::getSaveFileName(this, tr("Acta de la partida (se guarda en PDF y en CSV)"),
                                      Text(folder + offered), tr("Acta en PDF y CSV (*.pdf *.csv)"))
      .toStdString();
}

bool BingoWindow::FillRunForm(CardRunRequest* request) { return AskCardRun(this, request); }

std::vector<std::string> BingoWindow::MakeRun(const CardRunRequest& request) {
  Refresh();  // the controls go grey while the run works
  const PreparedRun run = MakeRunShowingProgress(request, run_progress_, run_cancel_);
  std::vector<std::string> said;
  for (const QString& line : run.said) said.push_back(line.toStdString());
  return said;
}

void BingoWindow::OpenFile(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Text(path)));
}

std::string BingoWindow::Speak(int number) {
  return voice_switch_->isChecked() ? SayNumber(voice_, number).toStdString() : std::string();
}

void BingoWindow::Refresh() {
  BingoPublishPage(&bingo_);
  const BingoScreen screen = BingoScreenOf(bingo_);
  board_->SetColour(QColorOf(screen.colour));
  board_->ShowCalls(screen.called, screen.last, screen.balls, screen.highest_ball);
  draw_->setEnabled(screen.can_draw);
  // While the next game is sold, a cartón scanned at the door goes into the ball field.
  number_->setEnabled(screen.can_mark || screen.can_sell);
  number_->setPlaceholderText(screen.selling ? tr("Código del cartón vendido y Intro")
                                             : tr("Número de la jaula y Intro"));
  const QString money = NightLines(screen);
  money_->setText(money);
  money_->setVisible(!money.isEmpty());
  undo_->setEnabled(screen.can_undo);
  confirm_->setEnabled(screen.can_confirm);
  prize_->setText(Text(screen.commitment.empty() ? screen.prize
                                                : screen.prize + "\n" + screen.commitment));
  status_->setText(Text(screen.status));
  // A refusal stands out where the caller looks: larger, bold, in red.
  status_->setStyleSheet(screen.status_is_refusal ? "color: #b00000; font-weight: bold; font-size: 15pt"
                                                  : "");
  winners_->clear();
  for (const std::string& winner : screen.winners) winners_->addItem(Text(winner));
  claim_->Show(screen.claim);
  if (screen.shows_forecast) forecast_->ShowForecast(*screen.forecast);
  forecast_->setVisible(screen.shows_forecast);
  voice_switch_->setEnabled(CanSpeak(voice_));
  voice_switch_->setToolTip(voice_.why_not);
  voice_why_not_->setText(voice_.why_not);
  voice_why_not_->setVisible(!voice_.why_not.isEmpty());
  page_->Show(screen, controls_->width() - 24);
  if (hall_ != nullptr) hall_->Show(HallScreenOf(bingo_));
  hall_action_->setText(hall_ != nullptr ? tr("Cerrar la pantalla de la sala") : tr("Pantalla de la sala…"));
  hall_label_->setText(hall_ != nullptr ? tr("Pantalla de la sala: abierta en %1").arg(hall_screen_) : QString());
  hall_label_->setVisible(hall_ != nullptr);
}

void BingoWindow::ToggleHall() {
  if (hall_ != nullptr) {
    hall_->close();
    return;
  }
  const HallPlace place = AskHallPlace(this, ReadHallScreenChoice(bingo_));
  if (place.screen == nullptr) return;
  if (place.full_screen) {  // a screen chosen among several: offered first next time
    const std::string failed = KeepHallScreenChoice(bingo_, place.name.toStdString());
    if (!failed.empty()) Warn(failed);
  }
  hall_ = OpenHallWindow(this, place);
  hall_screen_ = place.name;
  connect(hall_, &HallWindow::closed, this, [this] {
    hall_ = nullptr;
    Refresh();
  });
  Refresh();
}
