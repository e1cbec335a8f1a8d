// The system's cryptographic source on Windows: BCryptGenRandom with the system's
// preferred generator, from bcrypt.dll, one of Windows' own DLLs (Vista and later).
#include <windows.h>
#include <bcrypt.h>

#include "game/draw_source.h"

std::string FillFromSystemSource(void* bytes, size_t size) {
  auto* at = static_cast<unsigned char*>(bytes);
  while (size > 0) {
    const ULONG part = size > 0x10000000u ? 0x10000000u : static_cast<ULONG>(size);
    if (BCryptGenRandom(nullptr, at, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
      return "el sistema no da números al azar (BCryptGenRandom falló)";
    at += part;
    size -= part;
  }
  return "";
}
