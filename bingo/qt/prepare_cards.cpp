// The worker thread only makes the run and queues what it says to the window's thread;
// the window's own event loop keeps running, so Cancel and repaints go on.
#include "bingo/qt/prepare_cards.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <thread>

#include "bingo/run_form.h"
#include "disk/file_system.h"

namespace {
Colour ColourOf(const QColor& colour) {
  return Colour(colour.red()) | Colour(colour.green()) << 8 | Colour(colour.blue()) << 16;
}

// The kind of cards: the program's own, or 90-ball cartones in series of six, whose
// count is then of series.
QComboBox* KindChoice(QSpinBox* count) {
  auto* kind = new QComboBox;
  kind->setObjectName("tipo");
  for (const char* choice : kRunFormKinds) kind->addItem(QString::fromUtf8(choice));
  QObject::connect(kind, &QComboBox::currentIndexChanged, count,
                   [count](int index) { count->setRange(1, RunFormMostCount(index)); });
  return kind;
}

QPushButton* ColourButton(QColor* chosen) {
  auto* button = new QPushButton(QObject::tr("Color…"));
  button->setObjectName("color");
  QObject::connect(button, &QPushButton::clicked, button, [button, chosen] {
    const QColor colour = QColorDialog::getColor(*chosen, button, QObject::tr("Color de los cartones"));
    if (colour.isValid()) *chosen = colour;
    button->setStyleSheet(QString("background: %1").arg(chosen->name()));
  });
  return button;
}
}  // namespace

bool AskCardRun(QWidget* parent, CardRunRequest* request) {
  const auto text = [](const char* utf8) { return QString::fromUtf8(utf8); };
  QDialog dialog(parent);
  dialog.setWindowTitle(text(kRunFormTitle));
  auto* count = new QSpinBox;
  count->setObjectName("cuantos");
  count->setRange(1, kRunFormMostCards);
  count->setValue(kRunFormDefaultCount);
  QComboBox* kind = KindChoice(count);
  QColor colour(int(request->colour & 0xFF), int(request->colour >> 8 & 0xFF),
                int(request->colour >> 16 & 0xFF));
  auto* title = new QLineEdit;
  title->setObjectName("titulo");
  auto* paper = new QComboBox;
  paper->setObjectName("papel");
  for (const char* choice : kRunFormPapers) paper->addItem(text(choice));
  auto* folder = new QLineEdit(QDir::home().filePath("cartones"));
  folder->setObjectName("carpeta");
  auto* files = new QComboBox;
  files->setObjectName("archivos");
  for (const char* choice : kRunFormExtras) files->addItem(text(choice));
  auto* form = new QFormLayout(&dialog);
  form->addRow(text(kRunFormKindLabel), kind);
  form->addRow(text(kRunFormCountLabel), count);
  form->addRow(text(kRunFormColourLabel), ColourButton(&colour));
  form->addRow(text(kRunFormTitleLabel), title);
  form->addRow(text(kRunFormPaperLabel), paper);
  form->addRow(text(kRunFormFolderLabel), folder);
  form->addRow(text(kRunFormExtraLabel), files);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  RunFormAnswers answers;
  answers.kind = kind->currentIndex();
  answers.count = count->value();  // the spin box keeps it in range
  answers.colour = ColourOf(colour);
  answers.title = title->text().toStdString();
  answers.paper = paper->currentIndex();
  answers.folder = folder->text().toStdString();
  answers.extra = files->currentIndex();
  *request = RunRequestOf(answers, *request);
  return true;
}

namespace {
struct RunWatch {
  QProgressBar* bar = nullptr;
  QStringList said;  // touched only on the window's thread
};

void QueueSaid(void* context, bool, const std::string& text) {
  auto* watch = static_cast<RunWatch*>(context);
  const QString line = QString::fromStdString(text);
  QMetaObject::invokeMethod(watch->bar, [watch, line] { watch->said.append(line); },
                            Qt::QueuedConnection);
}

void QueueProgress(void* context, int32_t done) {
  auto* watch = static_cast<RunWatch*>(context);
  QMetaObject::invokeMethod(watch->bar, [watch, done] { watch->bar->setValue(done); },
                            Qt::QueuedConnection);
}
}  // namespace

PreparedRun MakeRunShowingProgress(const CardRunRequest& request, QProgressBar* bar,
                                   QPushButton* cancel) {
  QDir().mkpath(QString::fromStdString(request.out));  // the list's folder, files or not
  RunWatch watch;
  watch.bar = bar;
  bar->setRange(0, request.count);
  bar->setValue(0);
  bar->show();
  cancel->setEnabled(true);
  cancel->show();
  // The same stop as Ctrl-C: the card in hand is finished, what is saved is listed. One
  // stop a run: a second click, after the run has taken the first and goes on to write
  // its list and sheets, would stop those instead.
  const auto stop = QObject::connect(cancel, &QPushButton::clicked, cancel, [cancel] {
    cancel->setEnabled(false);
    AbandonSaves();
  });
  CardRunHooks hooks;
  hooks.context = &watch;
  hooks.say = QueueSaid;
  hooks.progress = QueueProgress;
  PreparedRun run;
  QEventLoop loop;
  std::thread worker([&] {
    run.outcome = MakeCardRun(request, hooks);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  QCoreApplication::sendPostedEvents(bar);  // the lines said last
  QObject::disconnect(stop);
  // A Cancel after the run had looked must not stop the game's own saves later.
  ResumeSaves();
  bar->hide();
  cancel->hide();
  run.said = watch.said;
  return run;
}
