// The local time on POSIX: localtime_r, with the TZ rules of the machine.
#include <time.h>

#include "game/game_clock.h"

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
