// The caller's voice: each number said in Spanish words through the system's speech
// (Qt TextToSpeech over speech-dispatcher, whose espeak-ng speaks Spanish), or, where the
// system has no Spanish voice (no speech service, one that does not answer, no Spanish),
// through the program's own recordings, embedded as Qt resources and played by Qt
// Multimedia. `why_not` is what the «Voz» switch says: which voice speaks, or why none does.
#pragma once
#include <QString>
#include <functional>
#include <memory>

class QSoundEffect;
class QObject;
struct SystemSpeech;  // the system's engine, on a thread of its own

struct Voice {
  std::shared_ptr<SystemSpeech> speech;  // the system's Spanish voice
  QSoundEffect* recordings = nullptr;  // else the recordings' player, owned by the window
  QString why_not;                     // the voice in use, or why there is none
};

// Asks speech-dispatcher for its voices in the background (a stuck service must not
// stop the window) and hands the voice chosen, and what the switch says, to `done`.
void OpenVoice(QObject* owner, std::function<void(const Voice&)> done);
// The voice chosen from what the system offered: `system.speech` where it has a Spanish
// voice, else its reason in `system.why_not`; the recordings stand in for a missing one.
Voice WithRecordings(const Voice& system, QObject* owner);
// Whether the voice can say a number: the switch is greyed out otherwise.
bool CanSpeak(const Voice& voice);
// The words said ("cuarenta y siete"), or "" when there is no voice.
QString SayNumber(const Voice& voice, int number);
