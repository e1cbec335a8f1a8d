// The bingo window's controls on Win32: made once, in tab order, and placed again on
// every new size, the board taking what the column on the right leaves.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "bingo/win32/bingo_window.h"

constexpr int kControlsWidth = 280;  // the column's least width

HWND Control(const BingoWindow& bingo, int id);
void SetText(HWND control, const std::string& text);
void MakeMenu(HWND window);
void MakeControls(BingoWindow* bingo);
// Each control of the column that is shown, one under the other: a hidden one leaves no gap.
void PlaceControls(const BingoWindow& bingo, int width, int height);
// Shows or hides a control of the column, which is laid out again when that changed.
void ShowInColumn(const BingoWindow& bingo, int id, bool shown);
// The voice switch's tooltip record, as comctl32 5 knows it.
TOOLINFOW VoiceTool(const BingoWindow& bingo);
