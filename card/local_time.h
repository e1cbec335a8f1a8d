// The machine's local time, one small file per platform (card/clock_posix.cpp,
// card/clock_win32.cpp), for the cards' clock seeds and the game's times alike.
#pragma once
#include <cstdint>

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// The local time zone's reading of a moment, in milliseconds since 1970 (UTC).
LocalTime LocalTimeOf(int64_t milliseconds);
