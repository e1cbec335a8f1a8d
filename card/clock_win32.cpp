// The local time on Windows. The clock of day is GetLocalTime's, as the first program
// has always read it; a moment is read as a FILETIME (100 ns since 1601) in the user's
// time zone by the system.
#include <windows.h>

#include "card/local_time.h"
#include "card/random.h"

uint32_t MillisecondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600000u + now.wMinute * 60000u + now.wSecond * 1000u + now.wMilliseconds;
}

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
