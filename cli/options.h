// The command line of tessarine-cards, checked whole before anything is made.
#pragma once
#include <cstdint>
#include <string>

#include "card/run_seeds.h"
#include "draw/draw.h"
#include "runs/card_run.h"
#include "sheets/sheet_layout.h"

struct CliOptions {
  bool help = false;
  bool layout = false;          // print the card's layout instead of writing files
  // The cards to make: --count, --out, --colour, --png, --no-files, --list, --pdf,
  // --paper, --title, and --code or --time for where the first card comes from.
  CardRunRequest run;
  bool check = false;           // check a claimed win instead of making cards
  std::string check_list;       // the list checked; "" when a --code card is
  bool has_called = false;      // --called TEXT
  std::string called;
  std::string called_file;      // --called-file F; "" for none
  std::string forecast_list;    // --forecast LISTA.csv: simulate games instead; "" for none
  std::string in_play;          // --in-play RANGOS: the cards in play; "" for all
  std::string verify_draw;      // --verify-draw ACTA.csv: check a game's draw instead; "" for none
  int32_t series = 0;           // --series N: N series of six 90-ball cartones; 0 for none
};

// The most series a run makes: 5,000 series are 30,000 cartones, a batch's most cards.
constexpr int32_t kMostSeries = 5000;

// The longest title a sheet's title line holds, in characters.
constexpr size_t kMostTitleCharacters = 80;

// The options, or a message (Spanish, naming what is wrong) for any bad input.
struct CliParse {
  CliOptions options;
  std::string error;
};
CliParse ParseCliOptions(int argc, const char* const* argv);

// "HH:MM:SS.mmm" to milliseconds since midnight.
struct ClockTimeRead {
  uint32_t milliseconds = 0;
  std::string error;
};
ClockTimeRead ParseClockTime(const std::string& text);
// "RRGGBB" (hexadecimal, as users write colours) to a colour value 0x00BBGGRR.
struct ColourRead {
  Colour colour = 0;
  std::string error;
};
ColourRead ParseColour(const std::string& text);
// Why the text cannot be a sheet title ("" when it can): a title is UTF-8, with no
// control characters, and at most kMostTitleCharacters long.
std::string CheckTitle(const std::string& text);
// A card count from 1 to kBatchLimit.
struct CountRead {
  int32_t count = 0;
  std::string error;
};
CountRead ParseCount(const std::string& text);
// A number of series from 1 to kMostSeries.
CountRead ParseSeriesCount(const std::string& text);

// The usage text of --help.
std::string CliUsage();
