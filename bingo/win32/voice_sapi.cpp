// The caller's voice on Windows: SAPI's ISpVoice with a Spanish voice, found among the
// installed voices by their Language attribute (the Spanish LCIDs). Where SAPI is
// missing or has no Spanish voice, `why_not` says so and nothing is said.
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include "bingo/win32/bingo_window.h"
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
}  // namespace

Voice OpenVoice() {
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

void CloseVoice(Voice* voice) {
  if (voice->speech != nullptr) static_cast<ISpVoice*>(voice->speech)->Release();
  voice->speech = nullptr;
}

std::string SayNumber(const Voice& voice, int number) {
  if (voice.speech == nullptr) return std::string();
  const std::string words = SpanishNumberWords(number);
  const std::wstring wide = WideOfUtf8(words);
  // Said in the background: the window goes on while the hall hears it.
  static_cast<ISpVoice*>(voice.speech)
      ->Speak(wide.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
  return words;
}
