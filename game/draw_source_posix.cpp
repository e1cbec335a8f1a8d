// The system's cryptographic source on Linux: getrandom(2) from the kernel's pool,
// which blocks only until the pool is first seeded after boot.
#include <errno.h>
#include <sys/random.h>

#include "game/draw_source.h"

std::string FillFromSystemSource(void* bytes, size_t size) {
  auto* at = static_cast<unsigned char*>(bytes);
  while (size > 0) {
    const ssize_t got = ::getrandom(at, size, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return "el sistema no da números al azar (getrandom falló)";
    }
    at += got;
    size -= static_cast<size_t>(got);
  }
  return "";
}
