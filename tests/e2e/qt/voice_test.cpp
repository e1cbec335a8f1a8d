// The recordings stand in for a missing system voice: chosen, named by the switch, and
// played by the window through Qt Multimedia on the audio output there is (a PulseAudio
// null sink, started by with_null_sink.sh).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>

#include "bingo/qt/bingo_window.h"
#include "bingo/qt/voice.h"
#include "files/card_files.h"
#include "formats/card_list.h"
#include "tests/support/test_support.h"

namespace {
const QString kRecordingsNote = "Voz: grabaciones de Tessarine (no hay voz del sistema en español)";

void WriteList(const QString& path) {
  std::vector<ListLine> lines;
  for (int card = 1; card <= 12; ++card)
    lines.push_back(ListLineOf(CardFileName(card, ".bmp"), 0x4730F0CAu + 7919u * card));
  WriteWholeFile(path.toStdString(), CardListBytes(lines));
}
}  // namespace

class VoiceTest : public QObject {
  Q_OBJECT
  QTemporaryDir work_;

 private slots:
  // The choice itself, with the probe's answer made up: the system has no voice.
  void recordingsStandInForAMissingSystemVoice() {
    QObject owner;
    Voice system;
    system.why_not = "Sin voz: no hay servicio de voz (paquete speech-dispatcher)";
    const Voice voice = WithRecordings(system, &owner);
    QVERIFY(CanSpeak(voice));
    QVERIFY(voice.speech == nullptr);
    QVERIFY(voice.recordings != nullptr);
    QCOMPARE(voice.why_not, kRecordingsNote);
    QCOMPARE(SayNumber(voice, 100), QString());  // no ball 100, nothing said
    for (int number : {1, 47, 99})
      QVERIFY2(QFile(QString(":/voz/%1.wav").arg(number)).size() > 1000, qPrintable(QString::number(number)));
  }

  // The whole window where speech-dispatcher is absent (not on the PATH): the switch
  // says the recordings speak, and a number typed plays its own recording.
  void theWindowPlaysANumberOnTheAudioOutput() {
    if (QMediaDevices::audioOutputs().isEmpty())
      QSKIP("no audio output here: no sound server answers (with_null_sink.sh starts one)");
    QVERIFY(work_.isValid());
    QVERIFY(QDir(work_.path()).mkpath("sin-programas"));
    qputenv("PATH", QFile::encodeName(work_.filePath("sin-programas")));
    const QString list = work_.filePath("cartones.csv");
    WriteList(list);
    BingoWindow window(work_.filePath("datos"));
    window.show();
    QCOMPARE(window.Open(), QString());
    QCOMPARE(window.StartGame(list, QString()), QString());
    auto* note = window.findChild<QLabel*>("sin_voz");
    QTRY_COMPARE_WITH_TIMEOUT(note->text(), kRecordingsNote, 10000);
    auto* voice_switch = window.findChild<QCheckBox*>("voz");
    QVERIFY(voice_switch->isEnabled());
    QCOMPARE(voice_switch->toolTip(), kRecordingsNote);
    voice_switch->setChecked(true);
    auto* number = window.findChild<QLineEdit*>("numero");
    number->setFocus();
    QTest::keyClicks(number, "47");
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(window.findChild<QLabel*>("estado")->text(), QString("Bola 47: cuarenta y siete"));
    auto* player = window.findChild<QSoundEffect*>();
    QVERIFY(player != nullptr);
    QCOMPARE(player->source(), QUrl("qrc:/voz/47.wav"));
    // Playing is set as soon as play() is asked; the sample is loaded and sent after.
    QTRY_VERIFY_WITH_TIMEOUT(
        (player->status() == QSoundEffect::Ready && player->isPlaying()) || player->status() == QSoundEffect::Error,
        10000);
    QCOMPARE(player->status(), QSoundEffect::Ready);
    QVERIFY(player->isPlaying());
  }
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  VoiceTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "voice_test.moc"
