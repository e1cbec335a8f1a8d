#include "game/game_clock.h"

#include <chrono>
#include <cstdio>

int64_t NowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string DateText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
  return text;
}

std::string ClockText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

std::string HourMinuteText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
  return text;
}
