// PlaySound is given the resource's own memory, mapped with the executable for as long as
// the program runs, so an asynchronous play never outlives its bytes.
#include "bingo/win32/voice_recordings.h"

#include <windows.h>
#include <mmsystem.h>

namespace {
const void* RecordingOf(int number) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(10));
  if (found == nullptr) return nullptr;
  const HGLOBAL loaded = LoadResource(nullptr, found);
  return loaded == nullptr ? nullptr : LockResource(loaded);
}
}  // namespace

bool RecordingsEmbedded() { return RecordingOf(1) != nullptr; }

std::string PlayRecording(int number) {
  const void* wave = RecordingOf(number);
  if (wave == nullptr) return "No hay grabación del " + std::to_string(number);
  if (!PlaySoundW(static_cast<const wchar_t*>(wave), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT))
    return "No se pudo reproducir la grabación del " + std::to_string(number);
  return "";
}

void StopRecording() { PlaySoundW(nullptr, nullptr, 0); }
