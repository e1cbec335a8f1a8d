// What the hall sees on its own screen: the last ball, the board, the count, the last five
// balls, the prize in play and the prizes given. Never the caller's desk: no control, no
// claim under way, no winner the caller has not confirmed, no forecast, no question.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "bingo/board_layout.h"
#include "bingo/controller.h"

constexpr int kHallRecentBalls = 5;

struct HallScreen {
  bool has_game = false;
  std::array<bool, 100> called{};
  int last = 0;           // the last ball, 0 before the first
  int balls = 0;          // the balls that stand
  int highest_ball = 99;  // 1 to 99, or 1 to 90
  std::vector<int> recent;  // the last five balls, the newest first
  Colour colour = kBingoColour;
  std::string prize;       // "Se juega: línea"; "" without a game
  std::string banner;      // "¡LÍNEA! Cartón 0123" while no ball came after the prize
  std::vector<std::string> given;  // "Línea: cartón 0123", one line a prize given
  std::string commitment;  // the draw's commitment, shown before the first ball
  std::string page_address;  // the phones' page, while it is on: its address and QR code
  QrSquare page_qr;
};

HallScreen HallScreenOf(const BingoController& bingo);
// The file in the game folder that keeps the screen the hall window last opened on.
std::string HallScreenChoicePath(const BingoController& bingo);
// The screen's name kept there, "" when none is.
std::string ReadHallScreenChoice(const BingoController& bingo);
// "" when kept, else why not.
std::string KeepHallScreenChoice(const BingoController& bingo, const std::string& name);

extern const char* const kHallScreenQuestion;  // "¿En qué pantalla se ve la sala?"
// The screens as the caller is asked for the hall's, the likeliest first: the one kept
// from last time, then those that do not hold the caller's window, in the system's order.
std::vector<std::string> HallScreensToOffer(const std::vector<std::string>& names,
                                            const std::string& kept, const std::string& callers);
// Names that tell the screens apart where the system gives two the same name (two X
// screens are both "screen"): the second of them is "screen 2", and so on.
std::vector<std::string> DistinctScreenNames(const std::vector<std::string>& names);

// Where the hall screen's parts go in a window of a given size, for both front ends: the
// last ball's digits at least half the window high (as wide as the window allows), the
// board beside it with its numbers at least 1/25 of the height, the prize and the count
// along the top, the last five balls and the prizes given along the bottom, and the banner
// across the middle; with the phones' page on, its QR code and address in a column at the
// right. `eights_advance_per_pixel` as for LayOutBoard.
struct HallLayout {
  BoardBox top;      // the prize in play, and the count at its right
  BoardBox last;     // the last ball's digits
  BoardLayout board; // its grid and cells (BoardCellOf), over the whole window
  BoardBox bottom;   // the last five balls (or the commitment before the first)
  BoardBox given;    // the prizes given, one line each
  BoardBox banner;   // "¡LÍNEA! Cartón 0123", across the screen
  // While the phones' page is on, a column at the right: its QR code, its address under it.
  BoardBox page_qr;
  BoardBox page_address;
  int last_pixels = 1;    // font sizes in pixels; the banner's shrinks to fit its width
  int line_pixels = 1;
  int banner_pixels = 1;
};
HallLayout LayOutHall(int width, int height, double eights_advance_per_pixel, int highest,
                      bool with_page = false);
