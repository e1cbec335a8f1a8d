// The numbers called in a game, in the order they were called, read from the text a
// user gives: numbers separated by blanks, commas or line breaks, one or more a line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "card/layout.h"

struct CalledNumbers {
  std::vector<uint8_t> order;            // 1..99, each at most once
  uint8_t place[kHighestNumber + 1] = {};  // 0 = not called, else 1-based place in `order`
};

// Where the text came from: a file's errors name the line.
enum class CalledSource { kArgument, kFile };

// The numbers, or a Spanish message naming the number (and the line of a file) for
// anything that is not a whole number from 1 to 99, a number called twice, or no number
// at all (and then no numbers).
struct CalledRead {
  CalledNumbers called;
  std::string error;
};
CalledRead ParseCalledNumbers(const std::string& text, CalledSource source);

// Calls one more number; false if it is out of range or was called already.
bool CallNumber(CalledNumbers* called, int number);
