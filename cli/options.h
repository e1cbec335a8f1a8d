// The command line of tessarine-cards, checked whole before anything is made.
#pragma once
#include <cstdint>
#include <string>

#include "draw/draw.h"

struct CliOptions {
  bool help = false;
  bool layout = false;          // print the card's layout instead of writing files
  bool has_time = false;        // a clock reading was given
  uint32_t time_ms = 0;         // milliseconds since midnight
  int32_t count = 1;
  std::string out = "muchas";
  Colour colour = 0xC0C0C0;     // 0x00BBGGRR
};

// False with a message (Spanish, naming what is wrong) for any bad input.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error);

// "HH:MM:SS.mmm" to milliseconds since midnight.
bool ParseClockTime(const std::string& text, uint32_t* milliseconds, std::string* error);
// "RRGGBB" (hexadecimal, as users write colours) to a colour value 0x00BBGGRR.
bool ParseColour(const std::string& text, Colour* colour, std::string* error);
// A card count from 1 to 30000.
bool ParseCount(const std::string& text, int32_t* count, std::string* error);

extern const char* const kCliUsage;
