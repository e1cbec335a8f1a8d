// The times of a game: every event carries the wall-clock time it happened, in
// milliseconds since 1970 (UTC), and shows it as the local time of the machine.
#pragma once
#include <cstdint>
#include <string>

#include "card/local_time.h"

int64_t NowMilliseconds();

std::string DateText(const LocalTime& time);        // "2026-12-09"
std::string ClockText(const LocalTime& time);       // "20:14:03"
std::string HourMinuteText(const LocalTime& time);  // "20:14"
