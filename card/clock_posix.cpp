#include <ctime>

#include "card/random.h"

uint32_t MillisecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  // A leap second reads as 23:59:60; keep the reading inside the day.
  const uint32_t seconds = static_cast<uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 +
                                                 (local.tm_sec > 59 ? 59 : local.tm_sec));
  return seconds * 1000u + static_cast<uint32_t>(now.tv_nsec / 1000000);
}
