// The caller's voice: each number said in Spanish words through the system's speech
// (Qt TextToSpeech over speech-dispatcher, whose espeak-ng speaks Spanish). Where there
// is no speech service, one that does not answer, or no Spanish voice, `why_not` says so and nothing is said.
#pragma once
#include <QString>
#include <functional>

class QTextToSpeech;
class QObject;

struct Voice {
  QTextToSpeech* speech = nullptr;  // owned by the window that opened it
  QString why_not;                  // "" when the voice can speak
};

// Asks speech-dispatcher for its voices in the background (a stuck service must not
// stop the window) and hands the voice, or why there is none, to `done`.
void OpenVoice(QObject* owner, std::function<void(const Voice&)> done);
// The words said ("cuarenta y siete"), or "" when there is no voice.
QString SayNumber(const Voice& voice, int number);
