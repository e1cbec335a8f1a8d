// Which voice says the numbers, the same on both bingo windows: the system's Spanish voice
// where it has one, else the program's own recordings (bingo/voz), else none; and what the
// «Voz» switch says about it. Portable.
#pragma once
#include <string>

enum class VoiceSource { kSystem, kRecordings, kNone };

struct VoiceChoice {
  VoiceSource source = VoiceSource::kNone;
  std::string note;  // beside the switch: the voice in use, or why there is none
};

// `why_no_system_voice` is "" where the system has a Spanish voice, else its reason
// ("Sin voz: ..."), which is what the switch says when there are no recordings either.
VoiceChoice ChooseVoice(const std::string& why_no_system_voice, bool has_recordings);
