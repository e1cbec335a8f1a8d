// The caller's voice on Windows: SAPI's ISpVoice with a Spanish voice, found among the
// installed voices by their Language attribute (the Spanish LCIDs). Where SAPI is
// missing or has no Spanish voice, the program's own recordings speak instead
// (voice_recordings.cpp); `why_not` says which voice speaks, or why none does.
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include "bingo/voice_choice.h"
#include "bingo/win32/bingo_window.h"
#include "bingo/win32/voice_recordings.h"
#include "card/number_words.h"
#include "text/utf16_win32.h"

namespace {
const wchar_t* const kVoicesCategory = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";
// Spain (modern and traditional sort), Mexico, then the other Spanish-speaking lands.
const wchar_t* const kSpanishLanguages[] = {
    L"Language=C0A", L"Language=40A", L"Language=80A", L"Language=2C0A", L"Language=540A",
    L"Language=240A", L"Language=340A", L"Language=280A", L"Language=380A", L"Language=1C0A",
};

// The first voice of a Spanish language, null when there is none.
ISpObjectToken* SpanishToken() {
  ISpObjectTokenCategory* category = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                              IID_ISpObjectTokenCategory, reinterpret_cast<void**>(&category))))
    return nullptr;
  ISpObjectToken* found = nullptr;
  if (SUCCEEDED(category->SetId(kVoicesCategory, FALSE))) {
    for (const wchar_t* language : kSpanishLanguages) {
      IEnumSpObjectTokens* tokens = nullptr;
      if (FAILED(category->EnumTokens(language, nullptr, &tokens)) || tokens == nullptr) continue;
      ULONG fetched = 0;
      tokens->Next(1, &found, &fetched);
      tokens->Release();
      if (fetched == 1 && found != nullptr) break;
      found = nullptr;
    }
  }
  category->Release();
  return found;
}

// SAPI's Spanish voice, or why there is none.
Voice SystemVoice() {
  Voice voice;
  ISpVoice* speech = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                              reinterpret_cast<void**>(&speech))) ||
      speech == nullptr) {
    voice.why_not = "Sin voz: este Windows no tiene el servicio de voz (SAPI)";
    return voice;
  }
  ISpObjectToken* spanish = SpanishToken();
  if (spanish == nullptr) {
    speech->Release();
    voice.why_not = "Sin voz: Windows no tiene ninguna voz en español instalada";
    return voice;
  }
  const HRESULT chosen = speech->SetVoice(spanish);
  spanish->Release();
  if (FAILED(chosen)) {
    speech->Release();
    voice.why_not = "Sin voz: la voz en español no se pudo elegir";
    return voice;
  }
  voice.speech = speech;
  return voice;
}
}  // namespace

Voice OpenVoice() {
  Voice voice = SystemVoice();
  const bool system_speaks = voice.speech != nullptr;
  const VoiceChoice choice =
      ChooseVoice(system_speaks ? std::string() : voice.why_not, !system_speaks && RecordingsEmbedded());
  voice.recordings = choice.source == VoiceSource::kRecordings;
  voice.why_not = choice.note;
  return voice;
}

bool CanSpeak(const Voice& voice) { return voice.speech != nullptr || voice.recordings; }

void CloseVoice(Voice* voice) {
  if (voice->speech != nullptr) static_cast<ISpVoice*>(voice->speech)->Release();
  if (voice->recordings) StopRecording();
  voice->speech = nullptr;
  voice->recordings = false;
}

std::string SayNumber(const Voice& voice, int number) {
  const std::string words = SpanishNumberWords(number);
  if (words.empty() || !CanSpeak(voice)) return std::string();
  if (voice.speech == nullptr) return PlayRecording(number).empty() ? words : std::string();
  const std::wstring wide = WideOfUtf8(words);
  // Said in the background: the window goes on while the hall hears it.
  static_cast<ISpVoice*>(voice.speech)
      ->Speak(wide.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
  return words;
}
