// The board takes the window; the organiser's controls stand in a narrow column on the
// right. Every action is wired to Run, which hands it to the procedure that does it.
#include "bingo/qt/bingo_window.h"

#include <QAction>
#include <QDesktopServices>
#include <QProgressBar>
#include <QUrl>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QVBoxLayout>

#include "bingo/qt/board_view.h"
#include "bingo/qt/card_view.h"
#include "bingo/qt/forecast_chart.h"
#include "bingo/qt/prepare_cards.h"
#include "bingo/record_pdf.h"
#include "game/forecast.h"
#include "game/game_clock.h"
#include "game/record.h"

namespace {
constexpr int kControlsWidth = 280;
const char* const kWindowTitle = "Tessarine Bingo";

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// A code as the sheets' barcode gives it: eight hexadecimal digits.
bool LooksLikeCode(const QString& text) {
  static const QRegularExpression code("^[0-9A-Fa-f]{8}$");
  return code.match(text).hasMatch();
}
}  // namespace

BingoWindow::BingoWindow(const QString& game_folder, QWidget* parent)
    : QMainWindow(parent), game_folder_(game_folder) {
  setWindowTitle(kWindowTitle);
  board_ = new BoardView;
  auto* central = new QWidget;
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(board_, 1);
  layout->addWidget(MakeControls());
  setCentralWidget(central);
  MakeMenu();
  board_->setFocusPolicy(Qt::StrongFocus);
  board_->setFocus();  // Space draws at once; typing goes to a field once clicked
  connect(board_, &BoardView::typed, this, [this](const QString& text) {
    number_->setFocus();
    number_->insert(text);
  });
  connect(board_, &BoardView::numberClicked, this, [this](int number) { Mark(number); });
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
  CloseGameFolder(&session_);
}

void BingoWindow::MakeMenu() {
  QMenu* menu = menuBar()->addMenu(tr("&Partida"));
  const struct {
    const char* text;
    QKeySequence keys;
    BingoCommand command;
  } items[] = {
      {"&Nueva partida…", QKeySequence(Qt::CTRL | Qt::Key_N), BingoCommand::kNewGame},
      {"&Preparar cartones…", QKeySequence(Qt::CTRL | Qt::Key_P), BingoCommand::kPrepareCards},
      {"&Guardar el acta…", QKeySequence(Qt::CTRL | Qt::Key_S), BingoCommand::kSaveRecord},
      {"Pantalla &completa", QKeySequence(Qt::Key_F11), BingoCommand::kFullScreen},
      {"&Salir", QKeySequence(Qt::CTRL | Qt::Key_Q), BingoCommand::kQuit},
  };
  for (const auto& item : items) {
    QAction* action = menu->addAction(tr(item.text));
    action->setShortcut(item.keys);
    connect(action, &QAction::triggered, this, [this, item] { Run(item.command); });
  }
}

QWidget* BingoWindow::MakeControls() {
  auto* controls = new QWidget;
  controls->setFixedWidth(kControlsWidth);
  auto* column = new QVBoxLayout(controls);
  draw_ = new QPushButton(tr("Sacar bola (Espacio)"));
  draw_->setObjectName("sacar");
  number_ = new QLineEdit;
  number_->setObjectName("numero");
  number_->setPlaceholderText(tr("Número de la jaula y Intro"));
  undo_ = new QPushButton(tr("Deshacer (Ctrl+Z)"));
  undo_->setObjectName("deshacer");
  voice_switch_ = new QCheckBox(tr("Voz"));
  voice_switch_->setObjectName("voz");
  voice_why_not_ = new QLabel;
  voice_why_not_->setObjectName("sin_voz");
  voice_why_not_->setWordWrap(true);
  voice_why_not_->setEnabled(false);  // greyed, beside the switch it explains
  status_ = new QLabel;
  status_->setObjectName("estado");
  status_->setWordWrap(true);
  prize_ = new QLabel;
  prize_->setObjectName("premio");
  winners_ = new QListWidget;
  winners_->setObjectName("ganadores");
  winners_->setMaximumHeight(110);
  confirm_ = new QPushButton(tr("Confirmar premio"));
  confirm_->setObjectName("confirmar");
  forecast_ = new ForecastChart;
  for (QWidget* widget : {static_cast<QWidget*>(draw_), static_cast<QWidget*>(number_),
                          static_cast<QWidget*>(undo_), static_cast<QWidget*>(voice_switch_),
                          static_cast<QWidget*>(voice_why_not_),
                          static_cast<QWidget*>(status_), static_cast<QWidget*>(prize_),
                          static_cast<QWidget*>(winners_), static_cast<QWidget*>(confirm_)})
    column->addWidget(widget);
  run_progress_ = new QProgressBar;
  run_progress_->setObjectName("progreso");
  run_cancel_ = new QPushButton(tr("Cancelar la tanda"));
  run_cancel_->setObjectName("cancelar");
  run_progress_->hide();
  run_cancel_->hide();
  column->addWidget(run_progress_);
  column->addWidget(run_cancel_);
  column->addWidget(MakeClaimBox());
  column->addWidget(forecast_);
  column->addStretch(1);
  WireControls();
  return controls;
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
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
  connect(space, &QShortcut::activated, this, [this] { Run(BingoCommand::kDraw); });
  auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
  connect(undo, &QShortcut::activated, this, [this] { Run(BingoCommand::kUndo); });
}

QWidget* BingoWindow::MakeClaimBox() {
  auto* box = new QWidget;
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 8, 0, 0);
  column->addWidget(new QLabel(tr("Comprobar un cartón (número o código):")));
  claim_ = new QLineEdit;
  claim_->setObjectName("reclamacion");
  claim_->setPlaceholderText(tr("0300 o 4730F0CA y Intro"));
  claim_card_ = new CardView;
  claim_card_->setMinimumHeight(100);
  verdict_ = new QLabel;
  verdict_->setObjectName("veredicto");
  verdict_->setWordWrap(true);
  QFont large = verdict_->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.2);
  verdict_->setFont(large);
  column->addWidget(claim_);
  column->addWidget(claim_card_);
  column->addWidget(verdict_);
  connect(claim_, &QLineEdit::returnPressed, this, [this] {
    Run(BingoCommand::kClaim);
    board_->setFocus();
  });
  return box;
}

void BingoWindow::Run(BingoCommand command) {
  // While a run of cards works, the window's loop runs too: no other command starts.
  if (making_run_) return;
  switch (command) {
    case BingoCommand::kNewGame: NewGame(); break;
    case BingoCommand::kPrepareCards: PrepareCards(); break;
    case BingoCommand::kSaveRecord: SaveRecord(); break;
    case BingoCommand::kFullScreen: isFullScreen() ? showNormal() : showFullScreen(); break;
    case BingoCommand::kQuit: close(); break;
    case BingoCommand::kDraw: {
      const SessionDraw drawn = DrawAndCall(&session_, NowMilliseconds());
      Called(drawn.error, drawn.number);
      break;
    }
    case BingoCommand::kMark: Mark(0); break;
    case BingoCommand::kUndo: Undo(); break;
    case BingoCommand::kConfirmPrize: ConfirmPrize(); break;
    case BingoCommand::kClaim: Claim(); break;
    case BingoCommand::kVoice: break;  // read when the next number is said
  }
}

QString BingoWindow::Open() {
  const std::string refused = OpenGameFolder(game_folder_.toStdString(), &session_);
  if (!refused.empty()) return Text(refused);
  const SavedGame saved = LookForSavedGame(session_.folder);
  if (saved.state == SavedGameState::kFound && !saved.over) {
    const auto answer = QMessageBox::question(this, kWindowTitle, Text(saved.offer) + "?",
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
      const std::string failed = ContinueSavedGame(&session_, NowMilliseconds());
      if (!failed.empty()) QMessageBox::warning(this, kWindowTitle, Text(failed));
    }
  } else if (saved.state == SavedGameState::kDamaged) {
    // Continuing keeps the damaged file aside, untouched, and says where it went.
    QMessageBox::warning(this, kWindowTitle, Text(ContinueSavedGame(&session_, NowMilliseconds())));
  }
  Refresh();
  return QString();
}

QString BingoWindow::StartGame(const QString& list_path, const QString& in_play) {
  const std::string failed = StartNewGame(&session_, list_path.toStdString(),
                                          in_play.toStdString(), PrizePlan::kLineThenBingo,
                                          NowMilliseconds());
  claim_card_->Clear();
  verdict_->clear();
  Say(failed.empty() ? tr("Partida nueva con %1 cartones").arg(session_.game.play.count)
                     : Text(failed));
  if (failed.empty()) ShowForecast();
  Refresh();
  return Text(failed);
}

void BingoWindow::ShowForecast() {
  forecast_->ShowForecast(RunForecastFromSystem(InPlayLayouts(session_.game), kForecastGames));
}

void BingoWindow::Mark(int number) {
  if (number == 0) {
    const QString typed = number_->text().trimmed();
    number_->clear();
    if (LooksLikeCode(typed)) {  // a card's barcode scanned into the number field
      claim_->setText(typed);
      Claim();
      return;
    }
    const TypedBall ball = ReadTypedBall(typed.toStdString());
    if (!ball.error.empty()) {
      Say(Text(ball.error));
      return;
    }
    number = ball.number;
  }
  Called(MarkCalled(&session_, number, NowMilliseconds()), number);
}

// The ball is saved by now: only then is it shown and said.
void BingoWindow::Called(const std::string& error, int number) {
  if (!error.empty()) {
    Say(Text(error));
    return;
  }
  QString words;
  if (voice_switch_->isChecked()) words = SayNumber(voice_, number);
  Say(words.isEmpty() ? tr("Bola %1").arg(number) : tr("Bola %1: %2").arg(number).arg(words));
  Refresh();
}

void BingoWindow::Undo() {
  if (session_.game.standing.empty()) {
    Say(tr("No hay ninguna bola que deshacer"));
    return;
  }
  const int last = session_.game.calls[session_.game.standing.back()].number;
  const auto answer = QMessageBox::question(
      this, kWindowTitle, tr("¿Anular la bola %1? En el acta constará como anulada.").arg(last),
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  if (answer != QMessageBox::Yes) return;
  const std::string failed = UndoLastCall(&session_, NowMilliseconds());
  Say(failed.empty() ? tr("Bola %1 anulada").arg(last) : Text(failed));
  Refresh();
}

void BingoWindow::ConfirmPrize() {
  const std::vector<uint32_t> winners = CurrentWinners(session_.game);
  const QString prize = Text(PrizeText(CurrentPrize(session_.game)));
  const std::string failed = ::ConfirmPrize(&session_, winners, NowMilliseconds());
  if (!failed.empty()) {
    Say(Text(failed));
    return;
  }
  Say(tr("Premio confirmado: %1").arg(prize));
  Refresh();
  if (GameOver(session_.game) &&
      QMessageBox::question(this, kWindowTitle,
                            tr("La partida ha terminado. ¿Guardar el acta de la partida?")) ==
          QMessageBox::Yes)
    SaveRecord();
}

void BingoWindow::Claim() {
  const QString typed = claim_->text().trimmed();
  claim_->clear();
  const ClaimVerdict verdict = JudgeClaim(session_.game, typed.toStdString());
  if (verdict.card_found)
    claim_card_->ShowCard(verdict.layout, verdict.marked);
  else
    claim_card_->Clear();
  verdict_->setText(Text(verdict.text));
  verdict_->setStyleSheet(verdict.valid ? "color: #1a7f1a" : "color: #b00000");
}

void BingoWindow::NewGame() {
  const Game& game = session_.game;
  if (HasGame(session_) && !game.standing.empty() && !GameOver(game) &&
      QMessageBox::question(this, kWindowTitle,
                            tr("Hay una partida en curso. ¿Dejarla y empezar otra?"),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  const QString list = QFileDialog::getOpenFileName(this, tr("Lista de cartones"), QString(),
                                                    tr("Listas de cartones (*.csv)"));
  if (list.isEmpty()) return;
  bool answered = false;
  const QString in_play = QInputDialog::getText(
      this, kWindowTitle, tr("Cartones en juego (por ejemplo 1-250, 300-320; vacío: todos):"),
      QLineEdit::Normal, QString(), &answered);
  if (!answered) return;
  const QString failed = StartGame(list, in_play);
  if (!failed.isEmpty()) QMessageBox::warning(this, kWindowTitle, failed);
}

void BingoWindow::SaveRecord() {
  if (!HasGame(session_)) {
    Say(tr("No hay ninguna partida de la que guardar el acta"));
    return;
  }
  const RecordNaming naming = RecordNamingOf(session_.game.list_path);
  const QString path = QFileDialog::getSaveFileName(
      this, tr("Acta de la partida (se guarda en PDF y en CSV)"),
      Text(naming.folder + naming.offered), tr("Acta en PDF y CSV (*.pdf *.csv)"));
  if (path.isEmpty()) return;
  Say(Text(SaveRecordFiles(session_.game, naming.title, path.toStdString())));
}

void BingoWindow::PrepareCards() {
  CardRunRequest request;
  if (!AskCardRun(this, &request)) return;
  const QColor colour(request.colour & 0xFF, (request.colour >> 8) & 0xFF,
                      (request.colour >> 16) & 0xFF);
  board_->SetColour(colour);
  claim_card_->SetColour(colour);
  making_run_ = true;
  const PreparedRun run = MakeRunShowingProgress(request, run_progress_, run_cancel_);
  making_run_ = false;
  Say(run.said.join("\n"));
  const QString sheets = QString::fromStdString(request.pdf);
  if (!QFileInfo::exists(sheets)) return;
  if (QMessageBox::question(this, kWindowTitle, run.said.join("\n") + tr("\n\n¿Abrir las hojas?")) ==
      QMessageBox::Yes)
    QDesktopServices::openUrl(QUrl::fromLocalFile(sheets));
  if (QMessageBox::question(this, kWindowTitle, tr("¿Empezar la partida con esta lista?")) ==
      QMessageBox::Yes) {
    const QString failed = StartGame(QString::fromStdString(request.list), QString());
    if (!failed.isEmpty()) QMessageBox::warning(this, kWindowTitle, failed);
  }
}

void BingoWindow::Say(const QString& text) { status_->setText(text); }

void BingoWindow::Refresh() {
  const Game& game = session_.game;
  const bool playing = HasGame(session_) && !GameOver(game);
  std::array<bool, 100> called{};
  for (uint8_t number : game.called.order) called[number] = true;
  const int last = game.standing.empty() ? 0 : game.calls[game.standing.back()].number;
  board_->ShowCalls(called, HasGame(session_) ? last : 0,
                    HasGame(session_) ? int(game.standing.size()) : 0);
  draw_->setEnabled(playing);
  number_->setEnabled(playing);
  undo_->setEnabled(playing && !game.standing.empty());
  if (!HasGame(session_))
    prize_->setText(tr("Sin partida: Partida ▸ Nueva partida…"));
  else
    prize_->setText(playing ? tr("Se juega: %1").arg(Text(PrizeText(CurrentPrize(game))))
                            : tr("Partida terminada: todos los premios dados"));
  winners_->clear();
  const std::vector<uint32_t> winners = HasGame(session_) ? CurrentWinners(game) : std::vector<uint32_t>();
  for (uint32_t card : winners)
    winners_->addItem(tr("Cartón %1").arg(Text(WinnerText(game, card))));
  confirm_->setEnabled(!winners.empty());
  forecast_->setVisible(forecast_->HasForecast() && game.standing.empty());
  voice_switch_->setEnabled(voice_.speech != nullptr);
  voice_switch_->setToolTip(voice_.why_not);
  voice_why_not_->setText(voice_.why_not);
  voice_why_not_->setVisible(!voice_.why_not.isEmpty());
}
