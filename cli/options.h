// The command line of tessarine-cards, checked whole before anything is made.
#pragma once
#include <cstdint>
#include <string>

#include "card/card_run.h"
#include "draw/draw.h"
#include "sheets/sheet_layout.h"

struct CliOptions {
  bool help = false;
  bool layout = false;          // print the card's layout instead of writing files
  RunStart start;               // --code, --time: where the first card comes from
  int32_t count = 1;
  std::string out = "muchas";
  Colour colour = 0xC0C0C0;     // 0x00BBGGRR
  bool png = false;             // PNG card files instead of bitmaps
  bool no_files = false;        // no card files: only the list or the sheets
  std::string list;             // --list FILE.csv; "" for none
  std::string pdf;              // --pdf FILE.pdf; "" for none
  Paper paper = Paper::kA4;
  std::string title;
  bool check = false;           // check a claimed win instead of making cards
  std::string check_list;       // the list checked; "" when a --code card is
  bool has_called = false;      // --called TEXT
  std::string called;
  std::string called_file;      // --called-file F; "" for none
  std::string forecast_list;    // --forecast LISTA.csv: simulate games instead; "" for none
  std::string in_play;          // --in-play RANGOS: the cards in play; "" for all
  std::string verify_draw;      // --verify-draw ACTA.csv: check a game's draw instead; "" for none
};

// The longest title a sheet's title line holds, in characters.
constexpr size_t kMostTitleCharacters = 80;

// False with a message (Spanish, naming what is wrong) for any bad input.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error);

// "HH:MM:SS.mmm" to milliseconds since midnight.
bool ParseClockTime(const std::string& text, uint32_t* milliseconds, std::string* error);
// "RRGGBB" (hexadecimal, as users write colours) to a colour value 0x00BBGGRR.
bool ParseColour(const std::string& text, Colour* colour, std::string* error);
// A sheet title: UTF-8, no control characters, at most kMostTitleCharacters.
bool CheckTitle(const std::string& text, std::string* error);
// A card count from 1 to kBatchLimit.
bool ParseCount(const std::string& text, int32_t* count, std::string* error);

// The usage text of --help.
std::string CliUsage();
