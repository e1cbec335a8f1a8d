#include <windows.h>

#include "card/random.h"

uint32_t MillisecondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600000u + now.wMinute * 60000u + now.wSecond * 1000u + now.wMilliseconds;
}
