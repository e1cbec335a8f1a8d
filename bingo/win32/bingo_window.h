// The bingo window on Win32: one top-level window holding the board for the hall and,
// in a narrow column on the right, what the organiser works with. Every command goes
// through the game session (game/session.h), which saves the game before anything is
// shown or said; this front end only shows, asks and says.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bingo/win32/control_ids.h"
#include "card/layout.h"
#include "draw/draw.h"
#include "game/forecast.h"
#include "game/session.h"

constexpr UINT WM_BOARD_CLICKED = WM_APP + 1;  // wparam: the number clicked
constexpr UINT WM_BOARD_TYPED = WM_APP + 2;    // wparam: the character typed on the board

extern const char* const kBingoTitle;  // "Tessarine Bingo"
constexpr COLORREF kDefaultBoardColour = RGB(0x1F, 0x5F, 0xBF);

// What the board shows; kept in the board window's user data.
struct BoardState {
  std::array<bool, 100> called{};
  int last = 0;
  int balls = 0;
  COLORREF colour = kDefaultBoardColour;
};

// What the claim's card view shows; kept in its window's user data.
struct CardViewState {
  bool has_card = false;
  std::vector<uint32_t> pixels;  // the card, kCardImageWidth x kPictureHeight, 0xFFRRGGBB top-down
  COLORREF colour = kDefaultBoardColour;
};
// The card of the seed as the renderer draws it (kCardImageWidth x kPictureHeight),
// its called numbers filled in; empty when no bitmap could be made.
std::vector<uint32_t> ClaimCardPixels(uint32_t seed_bits, const CardLayout& layout,
                                      const bool marked[kCardRows][kCardColumns], Colour colour);

// The forecast of a new game, shown until its first ball; in its chart's user data.
struct ForecastView {
  bool has_forecast = false;
  Forecast forecast;
};

struct Voice {
  void* speech = nullptr;  // the SAPI voice (ISpVoice), null when there is none
  std::string why_not;     // "" when the voice can speak
};

struct BingoWindow {
  HWND window = nullptr;
  std::string game_folder;
  GameSession session;
  Voice voice;
  BoardState board;
  CardViewState claim_card;
  ForecastView forecast;
  bool verdict_valid = false;
  bool making_run = false;
  bool full_screen = false;
  WINDOWPLACEMENT placement{};  // where the window was before full screen
  LONG_PTR windowed_style = 0;
  HWND last_focus = nullptr;    // the control to give the focus back to
  HWND tips = nullptr;          // the tooltip that says why there is no voice
  HFONT font = nullptr;         // the controls' face
  HFONT verdict_font = nullptr;
};

// Registers the window classes (the main window, the board and the card view).
bool RegisterBingoClasses(HINSTANCE instance);
// Makes the window and its controls; null on failure. `bingo` lives as long as it.
HWND CreateBingoWindow(BingoWindow* bingo, HINSTANCE instance);
// Locks the game folder and offers to continue a saved game. "" when the window can be
// used, else why not (another window has this game).
std::string OpenBingo(BingoWindow* bingo);
// Space and Ctrl+Z outside the edit fields; true when the message was one of them.
bool BingoKey(BingoWindow* bingo, const MSG& message);

// The board and the claim's card view: their window procedures and how they look.
LRESULT CALLBACK BoardProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK CardViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK ForecastProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
extern const wchar_t* const kBoardClass;
extern const wchar_t* const kCardViewClass;
extern const wchar_t* const kForecastClass;

// The voice through SAPI, a Spanish voice chosen by its language; why not when none.
Voice OpenVoice();
void CloseVoice(Voice* voice);
// The words said ("cuarenta y siete"), or "" when there is no voice.
std::string SayNumber(const Voice& voice, int number);

// "Preparar cartones…": asks the run's settings, makes the run with its progress in the
// window, offers the sheets and then a game with the run's list (`start_game`).
void RunPreparedCards(BingoWindow* bingo, void (*start_game)(BingoWindow*, const std::string&));
