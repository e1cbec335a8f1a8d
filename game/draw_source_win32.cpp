// The system's cryptographic source on Windows: BCryptGenRandom with the system's
// preferred generator, from bcrypt.dll (one of Windows' own, Vista and later). It is
// looked up at run time, from the system folder only, rather than imported: as with the
// known folders, an import the loader of an older Windows cannot resolve would stop the
// whole program before it starts, where only the draw needs it.
#include <windows.h>
// bcrypt.h needs the types of windows.h before it.
#include <bcrypt.h>

#include "game/draw_source.h"

namespace {
using GenRandom = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);
constexpr ULONG kMostBytesAtOnce = 0x10000000u;

GenRandom SystemGenRandom() {
  const HMODULE bcrypt = LoadLibraryExW(L"bcrypt.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (bcrypt == nullptr) return nullptr;
  return reinterpret_cast<GenRandom>(
      reinterpret_cast<void*>(GetProcAddress(bcrypt, "BCryptGenRandom")));
}
}  // namespace

std::string FillFromSystemSource(void* bytes, size_t size) {
  static const GenRandom generate = SystemGenRandom();
  if (generate == nullptr)
    return "este Windows no tiene BCryptGenRandom (hace falta Windows Vista o posterior)";
  auto* at = static_cast<unsigned char*>(bytes);
  while (size > 0) {
    const ULONG part = size > kMostBytesAtOnce ? kMostBytesAtOnce : static_cast<ULONG>(size);
    if (generate(nullptr, at, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
      return "el sistema no da números al azar (BCryptGenRandom falló)";
    at += part;
    size -= part;
  }
  return "";
}
