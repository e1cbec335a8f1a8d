// "Preparar cartones…": the settings of a run asked in one dialog, and the run made by
// the same code as tessarine-cards (runs/card_run.h) on a thread of its own, its
// progress shown in the window, Cancel keeping what was saved as Ctrl-C does.
#pragma once
#include <QString>
#include <QStringList>

#include "runs/card_run.h"

class QWidget;
class QProgressBar;
class QPushButton;

// The run the user asked for, the form starting from `request`'s colour; false if the
// dialog was cancelled. Writes the list and
// the sheets always, in the folder chosen; card files only when asked.
bool AskCardRun(QWidget* parent, CardRunRequest* request);

struct PreparedRun {
  CardRunOutcome outcome = CardRunOutcome::kFailed;
  QStringList said;  // the run's lines, errors and results in order
};
// Makes the run on a worker thread while the window's bar shows it and its button
// cancels it; returns when the run has ended.
PreparedRun MakeRunShowingProgress(const CardRunRequest& request, QProgressBar* bar,
                                   QPushButton* cancel);
