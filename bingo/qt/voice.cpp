// Qt's speechd engine asks the service for its voices when it is made, and waits for ever
// if the service is stuck; so the service is first asked by spd-say, with a deadline,
// and the engine made only once it has answered.
#include "bingo/qt/voice.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSoundEffect>
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

namespace {
constexpr int kAnswerDeadlineMs = 4000;

Voice SpanishVoice(QObject* owner) {
  Voice voice;
  if (QTextToSpeech::availableEngines().isEmpty()) {
    voice.why_not = QObject::tr("Sin voz: falta el módulo de voz de Qt (paquete "
                                "qt6-speech-speechd-plugin)");
    return voice;
  }
  auto* speech = new QTextToSpeech(owner);
  if (speech->state() == QTextToSpeech::Error) {
    voice.why_not = QObject::tr("Sin voz: %1").arg(speech->errorString());
    delete speech;
    return voice;
  }
  for (const QLocale& locale : speech->availableLocales())
    if (locale.language() == QLocale::Spanish) {
      speech->setLocale(locale);
      voice.speech = speech;
      return voice;
    }
  voice.why_not = QObject::tr("Sin voz: el servicio de voz no tiene español (paquete espeak-ng)");
  delete speech;
  return voice;
}

Voice NoVoice(const QString& why) {
  Voice voice;
  voice.why_not = why;
  return voice;
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
    finish(code == 0 ? SpanishVoice(owner)
                     : NoVoice(QObject::tr("Sin voz: el servicio de voz falló (%1)")
                                   .arg(QString(probe->readAllStandardError()).trimmed())));
  });
  QObject::connect(probe, &QProcess::errorOccurred, owner, [finish](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
      finish(NoVoice(QObject::tr("Sin voz: no hay servicio de voz (paquete speech-dispatcher)")));
  });
  QTimer::singleShot(kAnswerDeadlineMs, probe, [probe, finish] {
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
    voice.speech->say(words);
  } else {
    // A new number cuts the last one short, as the system voice's say() does.
    voice.recordings->setSource(QUrl(QStringLiteral("qrc:/voz/%1.wav").arg(number)));
    voice.recordings->play();
  }
  return words;
}
