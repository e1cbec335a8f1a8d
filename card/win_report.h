// The Spanish lines that tell the result of checking cards against the called numbers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "card/called_numbers.h"
#include "card/win_check.h"

// "bingo", "dos líneas", "línea", "sin premio".
const char* PrizeKindText(PrizeKind kind);

// "0017.bmp  4730F0DB  bingo  (con el último número)"; with no file name the line starts
// at the code (a card checked by its code alone).
std::string WinnerLine(const std::string& file_name, uint32_t seed_bits,
                       const WinVerdict& verdict);
// The same for a card named by its code as written ("4730F0-3" for a series cartón).
std::string WinnerLineOfCode(const std::string& file_name, const std::string& code,
                             const WinVerdict& verdict);

// The closing line: how many cards were checked against how many numbers, and the count
// of each kind of win.
std::string WinSummary(size_t cards_checked, const std::vector<CardWin>& winners,
                       const CalledNumbers& called);
