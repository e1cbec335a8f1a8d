#include "bingo/win32/controls.h"

#include <algorithm>

#include "bingo/claim_card.h"
#include "bingo/win32/form.h"
#include "text/utf16_win32.h"

namespace {
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kButtonHeight = 28;
constexpr int kEditHeight = 24;
constexpr int kLabelHeight = 18;
constexpr int kWinnersHeight = 70;
constexpr int kForecastHeight = 100;
constexpr int kMoneyLines = 9;
// The address, and under it a QR code of two pixels a module that a phone reads at the desk
// (a version 3 code, for the longest addresses, with its quiet zone: 37 modules).
constexpr int kPageViewHeight = 106;

// Shown by its own flag, not by IsWindowVisible, which is false for all of them until the
// window itself is shown.
bool Shown(const BingoWindow& bingo, int id) {
  return (GetWindowLongPtrW(Control(bingo, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// The column: a fifth of the window, never narrower than the controls need.
int ColumnWidth(int window_width) { return std::max(kControlsWidth, window_width / 5); }

// An edit field that acts on Enter, as a barcode scanner ends a code: the dialog manager
// is told the field wants the key, and the field tells its window.
LRESULT CALLBACK EnterFieldProcedure(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_USERDATA));
  if (message == WM_GETDLGCODE && lparam != 0 &&
      reinterpret_cast<const MSG*>(lparam)->message == WM_KEYDOWN &&
      reinterpret_cast<const MSG*>(lparam)->wParam == VK_RETURN)
    return DLGC_WANTALLKEYS;
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    const int command =
        GetDlgCtrlID(field) == IDC_NUMBER ? IDM_ENTER_NUMBER : IDM_ENTER_CLAIM;
    PostMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return 0;
  }
  if (message == WM_CHAR && (wparam == L'\r' || wparam == L'\n')) return 0;  // no beep
  return CallWindowProcW(previous, field, message, wparam, lparam);
}

HWND MakeControl(BingoWindow* bingo, const wchar_t* window_class, const std::string& text,
                 DWORD style, int id, DWORD extended_style = 0) {
  const std::wstring wide = WideOfUtf8(text);
  const HWND control = CreateWindowExW(
      extended_style, window_class, wide.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
      bingo->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(bingo->font), FALSE);
  return control;
}

void MakeEnterField(BingoWindow* bingo, int id) {
  const HWND field = MakeControl(bingo, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, id, WS_EX_CLIENTEDGE);
  const LONG_PTR previous =
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EnterFieldProcedure));
  SetWindowLongPtrW(field, GWLP_USERDATA, previous);
}

// The switch is greyed out when there is no voice; its tooltip says why, as its label does.
void MakeVoiceTip(BingoWindow* bingo) {
  bingo->tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                bingo->window, nullptr, GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool = VoiceTool(*bingo);
  wchar_t empty[] = L"";
  tool.lpszText = empty;
  SendMessageW(bingo->tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(bingo->tips, TTM_SETMAXTIPWIDTH, 0, kControlsWidth);
}
}  // namespace

HWND Control(const BingoWindow& bingo, int id) { return GetDlgItem(bingo.window, id); }

void SetText(HWND control, const std::string& text) {
  const std::wstring wide = WideOfUtf8(text);
  SetWindowTextW(control, wide.c_str());
}

namespace {
struct MenuItem {
  const char* text;
  int id;
};

template <size_t kItems>
void AddMenu(HMENU bar, const wchar_t* title, const MenuItem (&items)[kItems]) {
  const HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : items) {
    const std::wstring text = WideOfUtf8(item.text);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
  }
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), title);
}
}  // namespace

void MakeMenu(HWND window) {
  const HMENU bar = CreateMenu();
  const MenuItem game[] = {
      {"&Nueva partida…\tCtrl+N", IDM_NEW_GAME},
      {"&Preparar cartones…\tCtrl+P", IDM_PREPARE_CARDS},
      {"&Guardar el acta…\tCtrl+S", IDM_SAVE_RECORD},
      {"Pantalla &completa\tF11", IDM_FULL_SCREEN},
      {"Pantalla de la &sala…\tF5", IDM_HALL_SCREEN},
      {"&Salir\tCtrl+Q", IDM_QUIT},
  };
  const MenuItem night[] = {
      {"&Siguiente partida…\tCtrl+Mayús+N", IDM_NEXT_GAME},
      {"&Vender cartones…\tCtrl+Mayús+V", IDM_SELL_CARDS},
      {"&Empezar la partida\tCtrl+Mayús+E", IDM_START_SOLD_GAME},
      {"Guardar el acta de la &noche…\tCtrl+Mayús+S", IDM_SAVE_NIGHT_RECORD},
  };
  AddMenu(bar, L"&Partida", game);
  AddMenu(bar, L"&Noche", night);
  SetMenu(window, bar);
}

// The record as comctl32 5 knows it (no lpReserved): without a manifest asking for
// version 6, that is the library every Windows loads for the program.
TOOLINFOW VoiceTool(const BingoWindow& bingo) {
  TOOLINFOW tool{};
  tool.cbSize = static_cast<UINT>(offsetof(TOOLINFOW, lpReserved));
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = bingo.window;  // the window, not the switch: a disabled switch gets no mouse
  tool.uId = IDC_VOICE;
  return tool;
}

// The controls in tab order: the board first, so Space draws and typing goes to the
// number field at once.
void MakeControls(BingoWindow* bingo) {
  const LOGFONTW face = MessageFont();
  bingo->font = CreateFontIndirectW(&face);
  LOGFONTW large = face;
  large.lfWeight = FW_BOLD;
  large.lfHeight = large.lfHeight * 6 / 5;
  bingo->verdict_font = CreateFontIndirectW(&large);
  large.lfHeight = face.lfHeight * 3 / 2;  // a refusal, read where the caller looks
  bingo->refusal_font = CreateFontIndirectW(&large);

  const HWND board = MakeControl(bingo, kBoardClass, "", WS_TABSTOP, IDC_BOARD);
  SetWindowLongPtrW(board, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->board));
  MakeControl(bingo, L"BUTTON", "Sacar bola (Espacio)", WS_TABSTOP | BS_PUSHBUTTON, IDC_DRAW);
  MakeControl(bingo, L"STATIC", "Número de la jaula y Intro", SS_LEFT, IDC_NUMBER_LABEL);
  MakeEnterField(bingo, IDC_NUMBER);
  MakeControl(bingo, L"BUTTON", "Deshacer (Ctrl+Z)", WS_TABSTOP | BS_PUSHBUTTON, IDC_UNDO);
  MakeControl(bingo, L"BUTTON", "Voz", WS_TABSTOP | BS_AUTOCHECKBOX, IDC_VOICE);
  MakeControl(bingo, L"STATIC", "", SS_LEFT, IDC_VOICE_WHY_NOT);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_STATUS);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_PRIZE);
  ShowWindow(MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_MONEY), SW_HIDE);
  MakeControl(bingo, L"LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
              IDC_WINNERS, WS_EX_CLIENTEDGE);
  MakeControl(bingo, L"BUTTON", "Confirmar premio (Ctrl+Intro)", WS_TABSTOP | BS_PUSHBUTTON,
              IDC_CONFIRM);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_HALL_STATUS);
  MakeControl(bingo, L"BUTTON", kPageSwitchText, WS_TABSTOP | BS_AUTOCHECKBOX, IDC_PAGE);
  const HWND page = MakeControl(bingo, kPageViewClass, "", 0, IDC_PAGE_VIEW);
  SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->page));
  ShowWindow(page, SW_HIDE);
  const HWND progress = MakeControl(bingo, PROGRESS_CLASSW, "", 0, IDC_PROGRESS);
  const HWND cancel = MakeControl(bingo, L"BUTTON", "Cancelar la tanda", WS_TABSTOP | BS_PUSHBUTTON,
                                  IDC_RUN_CANCEL);
  ShowWindow(progress, SW_HIDE);
  ShowWindow(cancel, SW_HIDE);
  MakeControl(bingo, L"STATIC", "Comprobar un cartón (número o código):", SS_LEFT, IDC_CLAIM_LABEL);
  MakeEnterField(bingo, IDC_CLAIM);
  MakeControl(bingo, L"STATIC", "0300 o 4730F0CA y Intro", SS_LEFT, IDC_CLAIM_HINT);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_CLAIM_HEADING);
  const HWND card = MakeControl(bingo, kCardViewClass, "", 0, IDC_CLAIM_CARD);
  SetWindowLongPtrW(card, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->claim_card));
  const HWND verdict = MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_VERDICT);
  SendMessageW(verdict, WM_SETFONT, reinterpret_cast<WPARAM>(bingo->verdict_font), FALSE);
  const HWND forecast = MakeControl(bingo, kForecastClass, "", 0, IDC_FORECAST);
  SetWindowLongPtrW(forecast, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->forecast));
  MakeVoiceTip(bingo);
  SetFocus(board);
}

void ShowInColumn(const BingoWindow& bingo, int id, bool shown) {
  if (Shown(bingo, id) == shown) return;
  ShowWindow(Control(bingo, id), shown ? SW_SHOW : SW_HIDE);
  RECT client;
  GetClientRect(bingo.window, &client);
  PlaceControls(bingo, client.right, client.bottom);
}

void PlaceControls(const BingoWindow& bingo, int width, int height) {
  const int controls_width = ColumnWidth(width);
  const int board_width = width > controls_width ? width - controls_width : 0;
  MoveWindow(Control(bingo, IDC_BOARD), 0, 0, board_width, height, TRUE);
  const int x = board_width + kMargin;
  const int column = controls_width - 2 * kMargin;
  int y = kMargin;
  const auto place = [&](int id, int control_height) {
    if (!Shown(bingo, id)) return;
    // Painted anew where it lands: bits copied from its old place would bring what a
    // control moved before it had just drawn there.
    SetWindowPos(Control(bingo, id), nullptr, x, y, column, control_height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    y += control_height + kGap;
  };
  place(IDC_DRAW, kButtonHeight);
  place(IDC_NUMBER_LABEL, kLabelHeight);
  place(IDC_NUMBER, kEditHeight);
  place(IDC_UNDO, kButtonHeight);
  TOOLINFOW tool = VoiceTool(bingo);
  tool.rect = RECT{x, y, x + column, y + kLabelHeight};
  SendMessageW(bingo.tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  place(IDC_VOICE, kLabelHeight);
  place(IDC_VOICE_WHY_NOT, 2 * kLabelHeight);
  place(IDC_STATUS, 3 * kLabelHeight);
  place(IDC_PRIZE, kLabelHeight);
  // The night's money, from the sale to the first ball: its lines wrap in the column.
  place(IDC_MONEY, kMoneyLines * kLabelHeight);
  place(IDC_WINNERS, kWinnersHeight);
  place(IDC_CONFIRM, kButtonHeight);
  place(IDC_HALL_STATUS, 2 * kLabelHeight);
  place(IDC_PAGE, kLabelHeight);
  place(IDC_PAGE_VIEW, kPageViewHeight);
  place(IDC_PROGRESS, kLabelHeight);
  place(IDC_RUN_CANCEL, kButtonHeight);
  y += kGap;
  place(IDC_CLAIM_LABEL, kLabelHeight);
  place(IDC_CLAIM, kEditHeight);
  place(IDC_CLAIM_HINT, kLabelHeight);
  place(IDC_CLAIM_HEADING, kLabelHeight);
  place(IDC_CLAIM_CARD, column * kClaimCardHeight / kClaimCardWidth);
  place(IDC_VERDICT, 2 * kLabelHeight + 4);
  place(IDC_FORECAST, kForecastHeight);
}
