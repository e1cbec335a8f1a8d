#include "bingo/voice_choice.h"

VoiceChoice ChooseVoice(const std::string& why_no_system_voice, bool has_recordings) {
  if (why_no_system_voice.empty()) return {VoiceSource::kSystem, "Voz: la del sistema (español)"};
  if (has_recordings)
    return {VoiceSource::kRecordings,
            "Voz: grabaciones de Tessarine (no hay voz del sistema en español)"};
  return {VoiceSource::kNone, why_no_system_voice};
}
