// The local time on Windows: the moment as a FILETIME (100 ns since 1601), read in
// the user's time zone by the system.
#include <windows.h>

#include "game/game_clock.h"

namespace {
constexpr int64_t kFileTimeOfUnixEpoch = 116444736000000000LL;
constexpr int64_t kFileTimeTicksPerMillisecond = 10000;
}  // namespace

LocalTime LocalTimeOf(int64_t milliseconds) {
  const uint64_t ticks =
      static_cast<uint64_t>(milliseconds * kFileTimeTicksPerMillisecond + kFileTimeOfUnixEpoch);
  FILETIME universal{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, local{};
  LocalTime time;
  if (!FileTimeToSystemTime(&universal, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return time;
  time.year = local.wYear;
  time.month = local.wMonth;
  time.day = local.wDay;
  time.hour = local.wHour;
  time.minute = local.wMinute;
  time.second = local.wSecond;
  return time;
}
