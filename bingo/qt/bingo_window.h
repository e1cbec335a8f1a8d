// The bingo window: the board for the hall, and beside it what the organiser works
// with: draw a ball, mark one from a cage, undo, the prize in play and the cards that
// have just won it, a claim checked by card number or code, the voice and the forecast.
// Every command goes through the game session, which saves the game before anything
// is shown or said.
#pragma once
#include <QMainWindow>
#include <QString>

#include "bingo/qt/voice.h"
#include "game/session.h"

class BoardView;
class CardView;
class ForecastChart;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

enum class BingoCommand {
  kNewGame, kPrepareCards, kSaveRecord, kFullScreen, kQuit,
  kDraw, kMark, kUndo, kConfirmPrize, kClaim, kVoice,
};

class BingoWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit BingoWindow(const QString& game_folder, QWidget* parent = nullptr);
  ~BingoWindow() override;
  // Locks the game folder and offers to continue a saved game. "" when the window can
  // be used, else why not (another window has this game).
  QString Open();
  // A new game from a list, every card in play, a línea then bingo.
  QString StartGame(const QString& list_path, const QString& in_play);
  const GameSession& Session() const { return session_; }

 public slots:
  void Run(BingoCommand command);

 signals:
  void voiceKnown();  // the voice is ready, or why there is none is known

 private:
  QWidget* MakeControls();
  void WireControls();
  QWidget* MakeClaimBox();
  void MakeMenu();
  void Mark(int number);
  void Called(const std::string& error, int number);
  void Undo();
  void ConfirmPrize();
  void Claim();
  void NewGame();
  void SaveRecord();
  void PrepareCards();
  void Refresh();
  void Say(const QString& text);
  void ShowForecast();

  QString game_folder_;
  bool making_run_ = false;
  GameSession session_;
  Voice voice_;
  BoardView* board_ = nullptr;
  QPushButton* draw_ = nullptr;
  QPushButton* undo_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* prize_ = nullptr;
  QListWidget* winners_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QLineEdit* claim_ = nullptr;
  CardView* claim_card_ = nullptr;
  QLabel* verdict_ = nullptr;
  QCheckBox* voice_switch_ = nullptr;
  QLabel* voice_why_not_ = nullptr;
  QProgressBar* run_progress_ = nullptr;
  QPushButton* run_cancel_ = nullptr;
  ForecastChart* forecast_ = nullptr;
};
