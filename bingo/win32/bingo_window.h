// The bingo window on Win32: one top-level window holding the board for the hall and,
// in a narrow column on the right, what the organiser works with. Every command is the
// controller's (bingo/controller.h); this front end only draws what the controller
// computed and answers its questions, files and run form.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bingo/controller.h"
#include "bingo/hall_screen.h"
#include "bingo/win32/control_ids.h"

constexpr UINT WM_BOARD_CLICKED = WM_APP + 1;  // wparam: the number clicked
constexpr UINT WM_BOARD_TYPED = WM_APP + 2;    // wparam: the character typed on the board
constexpr UINT WM_HALL_CLOSED = WM_APP + 3;    // the hall's window is gone

// What the board shows; kept in the board window's user data.
struct BoardState {
  std::array<bool, 100> called{};
  int last = 0;
  int balls = 0;
  int highest = 99;  // the cage: 1 to 99, or 1 to 90
  COLORREF colour = kBingoColour;  // Colour and COLORREF share the layout 0x00BBGGRR
};

// What the claim's card view shows; kept in its window's user data.
struct CardViewState {
  bool has_card = false;
  std::vector<uint32_t> pixels;  // kClaimCardWidth x kClaimCardHeight, 0xFFRRGGBB top-down
};

// The forecast of a new game, shown until its first ball; in its chart's user data.
struct ForecastView {
  bool has_forecast = false;
  Forecast forecast;
};

// The phones' page while it is on: its address and QR code; in its view's user data.
struct PageView {
  std::string address;
  QrSquare qr;
};

struct Voice {
  void* speech = nullptr;   // the SAPI voice (ISpVoice), null when there is none
  bool recordings = false;  // else the program's own recordings, played by PlaySound
  std::string why_not;      // beside the switch: the voice in use, or why there is none
};

// The hall's window while it is open: what it shows and on which monitor.
struct HallWindowState {
  HWND window = nullptr;
  HallScreen screen;
  std::string monitor;  // the monitor's device name, "\\.\DISPLAY2"
  bool full_screen = false;
  WINDOWPLACEMENT placement{};  // where it was before full screen
};

struct BingoWindow;

// The controller's calls, answered with the system's message boxes, file dialogs and the
// run form (bingo/win32/front_end.cpp).
class WindowFrontEnd : public BingoFrontEnd {
 public:
  BingoWindow* bingo = nullptr;
  bool Ask(const std::string& question, bool default_no) override;
  bool AskText(const std::string& question, const std::string& initial,
               std::string* answer) override;
  void Warn(const std::string& text) override;
  std::string ChooseList() override;
  std::string ChooseRecordFile(const std::string& folder, const std::string& offered) override;
  bool FillRunForm(CardRunRequest* request) override;
  std::vector<std::string> MakeRun(const CardRunRequest& request) override;
  void OpenFile(const std::string& path) override;
  std::string Speak(int number) override;
};

struct BingoWindow {
  HWND window = nullptr;
  BingoController bingo;
  WindowFrontEnd front;
  Voice voice;
  BoardState board;
  CardViewState claim_card;
  ForecastView forecast;
  PageView page;
  bool verdict_valid = false;
  bool verdict_old = false;
  bool status_refusal = false;
  bool full_screen = false;
  WINDOWPLACEMENT placement{};  // where the window was before full screen
  LONG_PTR windowed_style = 0;
  HWND last_focus = nullptr;    // the control to give the focus back to
  HWND tips = nullptr;          // the tooltip that says why there is no voice
  HFONT font = nullptr;         // the controls' face
  HFONT verdict_font = nullptr;
  HFONT refusal_font = nullptr;
  HallWindowState hall;
};

// Registers the window classes (the main window, the board and the card view).
bool RegisterBingoClasses(HINSTANCE instance);
// Makes the window and its controls; null on failure. `bingo` lives as long as it.
HWND CreateBingoWindow(BingoWindow* bingo, HINSTANCE instance, const std::string& game_folder);
// Locks the game folder and offers to continue a saved game. "" when the window can be
// used, else why not (another window has this game).
std::string OpenBingo(BingoWindow* bingo);
// Space outside the edit fields and buttons, and Ctrl+Z; true when the message was one.
bool BingoKey(BingoWindow* bingo, const MSG& message);
// Draws what the controller says the window shows.
void RefreshBingo(BingoWindow* bingo);

// The board and the claim's card view: their window procedures and how they look.
LRESULT CALLBACK BoardProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK CardViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK ForecastProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
extern const wchar_t* const kBoardClass;
// The advance of "88" in the board's bold face, per pixel of its size, for the layouts.
double EightsAdvancePerPixel(HDC dc);
extern const wchar_t* const kCardViewClass;
extern const wchar_t* const kForecastClass;
// The phones' page in the caller's window: its address in large letters, its QR code under it.
LRESULT CALLBACK PageViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
extern const wchar_t* const kPageViewClass;
// A QR code black on white with its quiet zone, centred, in whole pixels a module so that
// a camera sees sharp edges; nothing for a code of no modules.
void PaintQr(HDC dc, const QrSquare& qr, const RECT& box);
// One line centred in the largest bold letters its box's width takes, up to `most_pixels`.
void PaintFittedLine(HDC dc, const std::string& text, const RECT& box, int most_pixels, COLORREF colour);

// The hall's window (bingo/win32/hall_window.cpp): opened, or closed when open, by the
// menu; ShowHall draws it again and says in the caller's window where it is.
LRESULT CALLBACK HallProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
extern const wchar_t* const kHallClass;
void ToggleHallWindow(BingoWindow* bingo);
void ShowHall(BingoWindow* bingo);

// The voice through SAPI, a Spanish voice chosen by its language; where there is none, the
// recordings embedded in the program; why not when neither.
Voice OpenVoice();
void CloseVoice(Voice* voice);
bool CanSpeak(const Voice& voice);
// The words said ("cuarenta y siete"), or "" when there is no voice.
std::string SayNumber(const Voice& voice, int number);

// The system's file dialog: a file to save (its replacement asked about) or one that
// exists to open. "" when the organiser cancels.
std::string AskFileName(HWND owner, bool saving, const std::string& caption,
                        const std::string& filter_name, const wchar_t* pattern,
                        const std::string& folder, const std::string& offered);
