// What the hall sees on its own screen: the last ball, the board, the count, the last five
// balls, the prize in play and the prizes given. Never the caller's desk: no control, no
// claim under way, no winner the caller has not confirmed, no forecast, no question.
#pragma once
#include <array>
#include <string>
#include <vector>

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
};

HallScreen HallScreenOf(const BingoController& bingo);
// The file in the game folder that keeps the screen the hall window last opened on.
std::string HallScreenChoicePath(const BingoController& bingo);
// The screen's name kept there, "" when none is.
std::string ReadHallScreenChoice(const BingoController& bingo);
// "" when kept, else why not.
std::string KeepHallScreenChoice(const BingoController& bingo, const std::string& name);
