// The bingo window on Qt: the board for the hall, and beside it what the organiser works
// with. Every command is the controller's (bingo/controller.h); this window only draws
// what the controller computed and answers its questions, files and run form.
#pragma once
#include <QMainWindow>
#include <QString>

#include "bingo/controller.h"
#include "bingo/qt/voice.h"

class BoardView;
class ClaimBox;
class ForecastChart;
class HallWindow;
class PageBox;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

enum class BingoCommand {
  kNewGame, kPrepareCards, kSaveRecord, kFullScreen, kHallScreen, kQuit,
  kDraw, kMark, kUndo, kConfirmPrize, kClaim, kVoice, kPage,
  kNextGame, kSellCards, kStartSoldGame, kSaveNightRecord,
};

class BingoWindow : public QMainWindow, public BingoFrontEnd {
  Q_OBJECT
 public:
  explicit BingoWindow(const QString& game_folder, QWidget* parent = nullptr);
  ~BingoWindow() override;
  // Locks the game folder and offers to continue a saved game. "" when the window can
  // be used, else why not (another window has this game).
  QString Open();
  // A new game from a list, every card in play, a línea then bingo.
  QString StartGame(const QString& list_path, const QString& in_play);
  const GameSession& Session() const { return bingo_.session; }
  const BingoController& Controller() const { return bingo_; }
  // The hall's window while it is open, else null.
  HallWindow* Hall() const { return hall_; }

  // What the controller asks of the window.
  bool Ask(const std::string& question, bool default_no) override;
  bool AskText(const std::string& question, const std::string& initial,
               std::string* answer) override;
  void Warn(const std::string& text) override;
  std::string ChooseList() override;
  std::string ChooseRecordFile(const std::string& folder, const std::string& offered) override;
  bool FillRunForm(CardRunRequest* request) override;
  std::vector<std::string> MakeRun(const CardRunRequest& request) override;
  void OpenFile(const std::string& path) override;
  std::string Speak(int number) override;

 public slots:
  void Run(BingoCommand command);

 signals:
  void voiceKnown();  // the voice is ready, or why there is none is known

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* MakeControls();
  void WireControls();
  void MakeMenu();
  void Refresh();
  void ToggleHall();

  BingoController bingo_;
  Voice voice_;
  QWidget* controls_ = nullptr;
  BoardView* board_ = nullptr;
  QPushButton* draw_ = nullptr;
  QPushButton* undo_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* prize_ = nullptr;
  QLabel* money_ = nullptr;  // the night's takings and prizes, before the first ball
  QListWidget* winners_ = nullptr;
  QPushButton* confirm_ = nullptr;
  ClaimBox* claim_ = nullptr;
  QCheckBox* voice_switch_ = nullptr;
  QLabel* voice_why_not_ = nullptr;
  QProgressBar* run_progress_ = nullptr;
  QPushButton* run_cancel_ = nullptr;
  ForecastChart* forecast_ = nullptr;
  HallWindow* hall_ = nullptr;
  QString hall_screen_;  // the name of the screen it opened on
  QAction* hall_action_ = nullptr;
  QLabel* hall_label_ = nullptr;
  PageBox* page_ = nullptr;
};
