// The times of a game: every event carries the wall-clock time it happened, in
// milliseconds since 1970 (UTC), and shows it as the local time of the machine.
#pragma once
#include <cstdint>
#include <string>

int64_t NowMilliseconds();

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// One small file per platform: the local time zone's reading of that moment.
LocalTime LocalTimeOf(int64_t milliseconds);

std::string DateText(const LocalTime& time);        // "2026-12-09"
std::string ClockText(const LocalTime& time);       // "20:14:03"
std::string HourMinuteText(const LocalTime& time);  // "20:14"
