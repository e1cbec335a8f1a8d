// Qt's speechd engine asks the service for its voices when it is made, and waits for ever
// if the service is stuck; so the service is first asked by spd-say, with a deadline,
// and the engine made only once it has answered. Even then the engine talks to the service
// synchronously, when it is made and each time it speaks, and a service that stops
// answering half-way (its speech module gone) would hold the window for ever: so the engine
// lives on a thread of its own, made there with a deadline, and the window only posts it
// the words.
#include "bingo/qt/voice.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSoundEffect>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <memory>

#include <signal.h>
#include <sys/prctl.h>
#include <QTextToSpeech>

#include "bingo/voice_choice.h"
#include "card/number_words.h"

// The recordings are compiled into the library's archive; a static archive's resources
// are registered only when something asks for them by name.
static bool RecordingsEmbedded() {
  Q_INIT_RESOURCE(voz);
  return QFile::exists(QStringLiteral(":/voz/1.wav"));
}

struct SystemSpeech {
  QThread* thread = nullptr;
  QTextToSpeech* engine = nullptr;  // made on `thread`, and used only there

  ~SystemSpeech() {
    // The engine goes on its own thread, which then ends; a thread held by a service that
    // no longer answers ends with the program, since waiting for it would hold the window.
    if (engine != nullptr) {
      QTextToSpeech* going = engine;
      QMetaObject::invokeMethod(going, [going] {
        delete going;
        QThread::currentThread()->quit();
      });
    } else {
      thread->quit();
    }
    if (thread->wait(kEngineLetGoMs)) delete thread;
  }
  static constexpr int kEngineLetGoMs = 500;
};

namespace {
constexpr int kAnswerDeadlineMs = 6000;

Voice NoVoice(const QString& why) {
  Voice voice;
  voice.why_not = why;
  return voice;
}

// On the voice's own thread: the engine, set to Spanish, or why there is none.
QString MakeSpanishEngine(SystemSpeech* speech) {
  if (QTextToSpeech::availableEngines().isEmpty())
    return QObject::tr("Sin voz: falta el módulo de voz de Qt (paquete qt6-speech-speechd-plugin)");
  auto engine = std::make_unique<QTextToSpeech>();
  if (engine->state() == QTextToSpeech::Error)
    return QObject::tr("Sin voz: %1").arg(engine->errorString());
  for (const QLocale& locale : engine->availableLocales())
    if (locale.language() == QLocale::Spanish) {
      engine->setLocale(locale);
      speech->engine = engine.release();
      return QString();
    }
  return QObject::tr("Sin voz: el servicio de voz no tiene español (paquete espeak-ng)");
}

// Makes the engine on a thread of its own and hands the voice, or why there is none, to
// `done` on the owner's thread; a service that does not answer in time is told so.
void OpenSpanishVoice(QObject* owner, std::function<void(const Voice&)> done) {
  auto speech = std::make_shared<SystemSpeech>();
  speech->thread = new QThread();
  speech->thread->setObjectName("voz");
  speech->thread->start();
  auto* maker = new QObject();
  maker->moveToThread(speech->thread);
  QMetaObject::invokeMethod(maker, [owner, maker, speech, done] {
    const QString why_not = MakeSpanishEngine(speech.get());
    QMetaObject::invokeMethod(owner, [speech, why_not, done] {
      Voice voice = NoVoice(why_not);
      if (speech->engine != nullptr) voice.speech = speech;
      done(voice);
    }, Qt::QueuedConnection);
    delete maker;
  }, Qt::QueuedConnection);
}
}  // namespace

Voice WithRecordings(const Voice& system, QObject* owner) {
  const bool system_speaks = system.speech != nullptr;
  const VoiceChoice choice =
      ChooseVoice(system_speaks ? std::string() : system.why_not.toStdString(),
                  !system_speaks && RecordingsEmbedded());
  Voice voice;
  voice.speech = system.speech;
  voice.why_not = QString::fromStdString(choice.note);
  if (choice.source == VoiceSource::kRecordings) voice.recordings = new QSoundEffect(owner);
  return voice;
}

bool CanSpeak(const Voice& voice) { return voice.speech != nullptr || voice.recordings != nullptr; }

void OpenVoice(QObject* owner, std::function<void(const Voice&)> done) {
  auto* probe = new QProcess(owner);
  auto answered = std::make_shared<bool>(false);
  auto finish = [owner, probe, done, answered](const Voice& system) {
    if (*answered) return;
    *answered = true;
    done(WithRecordings(system, owner));
    probe->deleteLater();
  };
  QObject::connect(probe, &QProcess::finished, owner, [owner, probe, finish](int code) {
    if (code == 0) return OpenSpanishVoice(owner, finish);
    finish(NoVoice(QObject::tr("Sin voz: el servicio de voz falló (%1)")
                       .arg(QString(probe->readAllStandardError()).trimmed())));
  });
  QObject::connect(probe, &QProcess::errorOccurred, owner, [finish](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
      finish(NoVoice(QObject::tr("Sin voz: no hay servicio de voz (paquete speech-dispatcher)")));
  });
  // One deadline for the service's answer and the engine's making alike.
  QTimer::singleShot(kAnswerDeadlineMs, owner, [probe, finish, answered] {
    if (*answered) return;
    probe->kill();
    finish(NoVoice(QObject::tr("Sin voz: el servicio de voz (speech-dispatcher) no responde")));
  });
  // A window killed while asking must not leave the question hanging on a stuck service.
  probe->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
  probe->start("spd-say", {"--list-synthesis-voices"});
}

QString SayNumber(const Voice& voice, int number) {
  if (!CanSpeak(voice)) return QString();
  const QString words = QString::fromStdString(SpanishNumberWords(number));
  if (words.isEmpty()) return QString();
  if (voice.speech != nullptr) {
    QTextToSpeech* engine = voice.speech->engine;
    QMetaObject::invokeMethod(engine, [engine, words] { engine->say(words); });
  } else {
    // A new number cuts the last one short, as the system voice's say() does.
    voice.recordings->setSource(QUrl(QStringLiteral("qrc:/voz/%1.wav").arg(number)));
    voice.recordings->play();
  }
  return words;
}
