// The local time on POSIX: localtime_r, with the TZ rules of the machine; the clock of
// day reads it too.
#include <time.h>

#include "card/local_time.h"
#include "card/random.h"

LocalTime LocalTimeOf(int64_t milliseconds) {
  const time_t seconds = static_cast<time_t>(milliseconds / 1000);
  struct tm parts {};
  LocalTime time;
  if (::localtime_r(&seconds, &parts) == nullptr) return time;
  time.year = parts.tm_year + 1900;
  time.month = parts.tm_mon + 1;
  time.day = parts.tm_mday;
  time.hour = parts.tm_hour;
  time.minute = parts.tm_min;
  time.second = parts.tm_sec;
  return time;
}

uint32_t MillisecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const LocalTime local = LocalTimeOf(static_cast<int64_t>(now.tv_sec) * 1000);
  // A leap second reads as 23:59:60; keep the reading inside the day.
  const uint32_t seconds = static_cast<uint32_t>(local.hour * 3600 + local.minute * 60 +
                                                 (local.second > 59 ? 59 : local.second));
  return seconds * 1000u + static_cast<uint32_t>(now.tv_nsec / 1000000);
}
