// The board takes the window; the organiser's controls stand in a column on the right, a
// fifth of the window wide. Each control's command arrives at BingoProcedure, which hands
// it to the controller; RefreshBingo then draws what the controller says the window shows.
#include "bingo/win32/bingo_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "bingo/claim_card.h"
#include "bingo/win32/controls.h"
#include "bingo/win32/form.h"
#include "text/utf16_win32.h"

namespace {
const wchar_t* const kBingoClass = L"TessarineBingo";
constexpr COLORREF kValidColour = RGB(0x1A, 0x7F, 0x1A);
constexpr COLORREF kInvalidColour = RGB(0xB0, 0x00, 0x00);
constexpr COLORREF kWhyNotColour = RGB(0x80, 0x80, 0x80);

BingoWindow* BingoOf(HWND window) {
  return reinterpret_cast<BingoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void SetEnabled(const BingoWindow& bingo, int id, bool enabled) {
  EnableWindow(Control(bingo, id), enabled);
}

void ShowWinners(const BingoWindow& bingo, const std::vector<std::string>& winners) {
  const HWND list = Control(bingo, IDC_WINNERS);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& winner : winners) {
    const std::wstring line = WideOfUtf8(winner);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

void ShowVoice(const BingoWindow& bingo) {
  EnableWindow(Control(bingo, IDC_VOICE), CanSpeak(bingo.voice));
  SetText(Control(bingo, IDC_VOICE_WHY_NOT), bingo.voice.why_not);
  std::wstring tip = WideOfUtf8(bingo.voice.why_not);
  TOOLINFOW tool = VoiceTool(bingo);
  tool.lpszText = &tip[0];
  if (!tip.empty()) SendMessageW(bingo.tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(bingo.tips, TTM_ACTIVATE, !tip.empty(), 0);
  ShowInColumn(bingo, IDC_VOICE_WHY_NOT, !bingo.voice.why_not.empty());
}

// The night's game and its money, a line each; the column is laid out again when the
// lines come or go.
void ShowMoney(const BingoWindow& bingo, const BingoScreen& screen) {
  std::string lines = screen.night;
  for (const std::string& line : screen.money) lines += (lines.empty() ? "" : "\n") + line;
  for (const std::string& line : screen.forecast_money) lines += "\n" + line;
  const HWND money = Control(bingo, IDC_MONEY);
  SetText(money, lines);
  SetText(Control(bingo, IDC_NUMBER_LABEL),
          screen.selling ? "Código del cartón vendido y Intro" : "Número de la jaula y Intro");
  ShowInColumn(bingo, IDC_MONEY, !lines.empty());
}

void ShowClaim(BingoWindow* bingo, const ClaimView& claim) {
  bingo->claim_card.has_card = claim.has_card && !claim.pixels.empty();
  bingo->claim_card.pixels = claim.pixels;
  InvalidateRect(Control(*bingo, IDC_CLAIM_CARD), nullptr, FALSE);
  SetText(Control(*bingo, IDC_CLAIM_HEADING), claim.heading);
  bingo->verdict_valid = claim.valid;
  bingo->verdict_old = claim.old;
  SetText(Control(*bingo, IDC_VERDICT), claim.verdict);
}

// The switch as the controller has it (it stays off when the server could not start); the
// address and QR code under it while on.
void ShowPage(BingoWindow* bingo, const BingoScreen& screen) {
  SendMessageW(Control(*bingo, IDC_PAGE), BM_SETCHECK, screen.page_on ? BST_CHECKED : BST_UNCHECKED, 0);
  const HWND view = Control(*bingo, IDC_PAGE_VIEW);
  bingo->page.address = screen.page_address;
  bingo->page.qr = screen.page_qr;
  SetText(view, screen.page_address);
  InvalidateRect(view, nullptr, FALSE);
  ShowInColumn(*bingo, IDC_PAGE_VIEW, screen.page_on);
}

void Show(BingoWindow* bingo, const BingoScreen& screen) {
  bingo->board.called = screen.called;
  bingo->board.last = screen.last;
  bingo->board.balls = screen.balls;
  bingo->board.highest = screen.highest_ball;
  bingo->board.colour = screen.colour;
  InvalidateRect(Control(*bingo, IDC_BOARD), nullptr, FALSE);
  SetEnabled(*bingo, IDC_DRAW, screen.can_draw);
  // While the next game is sold, a cartón scanned at the door goes into the ball field.
  SetEnabled(*bingo, IDC_NUMBER, screen.can_mark || screen.can_sell);
  SetEnabled(*bingo, IDC_UNDO, screen.can_undo);
  SetEnabled(*bingo, IDC_CONFIRM, screen.can_confirm);
  SetText(Control(*bingo, IDC_PRIZE),
          screen.commitment.empty() ? screen.prize : screen.prize + "\n" + screen.commitment);
  bingo->status_refusal = screen.status_is_refusal;
  const HWND status = Control(*bingo, IDC_STATUS);
  SendMessageW(status, WM_SETFONT,
               reinterpret_cast<WPARAM>(screen.status_is_refusal ? bingo->refusal_font : bingo->font), FALSE);
  SetText(status, screen.status);
  ShowMoney(*bingo, screen);
  ShowWinners(*bingo, screen.winners);
  ShowClaim(bingo, screen.claim);
  // The forecast is for before the game: it goes with the first ball.
  bingo->forecast.has_forecast = screen.shows_forecast;
  if (screen.shows_forecast) bingo->forecast.forecast = *screen.forecast;
  ShowInColumn(*bingo, IDC_FORECAST, screen.shows_forecast);
  InvalidateRect(Control(*bingo, IDC_FORECAST), nullptr, FALSE);
  ShowVoice(*bingo);
  ShowPage(bingo, screen);
}

void ToggleFullScreen(BingoWindow* bingo) {
  const HWND window = bingo->window;
  if (!bingo->full_screen) {
    bingo->placement.length = sizeof(bingo->placement);
    GetWindowPlacement(window, &bingo->placement);
    bingo->windowed_style = GetWindowLongPtrW(window, GWL_STYLE);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    SetWindowLongPtrW(window, GWL_STYLE, bingo->windowed_style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW));
    SetWindowPos(window, HWND_TOP, monitor.rcMonitor.left, monitor.rcMonitor.top,
                 monitor.rcMonitor.right - monitor.rcMonitor.left,
                 monitor.rcMonitor.bottom - monitor.rcMonitor.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    bingo->full_screen = true;
  } else {
    SetWindowLongPtrW(window, GWL_STYLE, bingo->windowed_style);
    SetWindowPlacement(window, &bingo->placement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    bingo->full_screen = false;
  }
}

// The text of an entry field, which is emptied for the next one.
std::string TakeText(const BingoWindow& bingo, int id) {
  const HWND field = Control(bingo, id);
  const std::string typed = TextOf(field);
  SetWindowTextW(field, L"");
  return typed;
}

void Run(BingoWindow* bingo, int command) {
  BingoController* game = &bingo->bingo;
  // While a run of cards works, the window's loop runs too: no other command starts.
  if (game->making_run) {
    // One stop a run: a second click, after the run has taken the first and goes on to
    // write its list and sheets, would stop those instead.
    if (command == IDC_RUN_CANCEL && IsWindowEnabled(Control(*bingo, IDC_RUN_CANCEL))) {
      EnableWindow(Control(*bingo, IDC_RUN_CANCEL), FALSE);
      AbandonSaves();
    }
    return;
  }
  switch (command) {
    case IDM_NEW_GAME: BingoNewGame(game); break;
    case IDM_PREPARE_CARDS: BingoPrepareCards(game); break;
    case IDM_SAVE_RECORD: BingoSaveRecord(game); break;
    case IDM_FULL_SCREEN: ToggleFullScreen(bingo); break;
    case IDM_HALL_SCREEN: ToggleHallWindow(bingo); break;
    case IDM_NEXT_GAME: BingoNextGame(game); break;
    case IDM_SELL_CARDS: BingoSellCards(game); break;
    case IDM_START_SOLD_GAME: BingoStartSoldGame(game); break;
    case IDM_SAVE_NIGHT_RECORD: BingoSaveNightRecord(game); break;
    case IDC_PAGE:
      BingoSwitchPage(game, SendMessageW(Control(*bingo, IDC_PAGE), BM_GETCHECK, 0, 0) == BST_CHECKED);
      break;
    case IDM_QUIT: DestroyWindow(bingo->window); return;
    case IDC_DRAW: BingoDraw(game); break;
    case IDM_ENTER_NUMBER:
      BingoEnterNumber(game, TakeText(*bingo, IDC_NUMBER));
      SetFocus(Control(*bingo, IDC_BOARD));
      break;
    case IDC_UNDO: BingoUndo(game); break;
    case IDC_CONFIRM:
      BingoConfirm(game);
      SetFocus(Control(*bingo, IDC_BOARD));  // the button just went grey: Space draws again
      break;
    // The focus stays in the claim field: the next claim's digits are never called as a ball.
    case IDM_ENTER_CLAIM: BingoClaim(game, TakeText(*bingo, IDC_CLAIM)); break;
    default: return;
  }
  RefreshBingo(bingo);
}

// A key typed on the board goes on into the number field, which takes the focus.
void TypeIntoNumberField(const BingoWindow& bingo, wchar_t key) {
  const HWND field = Control(bingo, IDC_NUMBER);
  if (!IsWindowEnabled(field)) return;
  SetFocus(field);
  const wchar_t typed[2] = {key, 0};
  SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
}

// The verdict in green or red, the quiet labels in grey, all on the window's face.
LRESULT LabelColours(const BingoWindow& bingo, HWND control, HDC dc) {
  const int id = GetDlgCtrlID(control);
  if (id == IDC_VERDICT)
    SetTextColor(dc, bingo.verdict_old ? kWhyNotColour : bingo.verdict_valid ? kValidColour : kInvalidColour);
  if (id == IDC_STATUS && bingo.status_refusal) SetTextColor(dc, kInvalidColour);
  if (id == IDC_VOICE_WHY_NOT || id == IDC_NUMBER_LABEL || id == IDC_CLAIM_HINT)
    SetTextColor(dc, kWhyNotColour);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The focus goes back to the control that had it when the window was left (for a
// message box, another program), else to the board: never to the bare window.
void Activated(BingoWindow* bingo, bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == bingo->window) bingo->last_focus = focus;
    return;
  }
  SetFocus(bingo->last_focus != nullptr && IsWindowEnabled(bingo->last_focus)
               ? bingo->last_focus
               : Control(*bingo, IDC_BOARD));
}

// The window's record comes with its creation and is found by the window from then on.
void Attach(HWND window, const CREATESTRUCTW* creation) {
  auto* bingo = static_cast<BingoWindow*>(creation->lpCreateParams);
  bingo->window = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bingo));
}

void ReleaseFonts(BingoWindow* bingo) {
  DeleteObject(bingo->font);
  DeleteObject(bingo->verdict_font);
  DeleteObject(bingo->refusal_font);
}

// A number clicked on the board: the controller asks first, and refuses it in a run.
void ClickedOnBoard(BingoWindow* bingo, int number) {
  BingoClickNumber(&bingo->bingo, number);
  RefreshBingo(bingo);
}

// The window goes, and the hall's with it.
void Destroyed(BingoWindow* bingo) {
  if (bingo != nullptr && bingo->hall.window != nullptr) DestroyWindow(bingo->hall.window);
  if (bingo != nullptr) ReleaseFonts(bingo);
  PostQuitMessage(0);
}

LRESULT CALLBACK BingoProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  BingoWindow* bingo = BingoOf(window);
  switch (message) {
    case WM_NCCREATE:
      Attach(window, reinterpret_cast<CREATESTRUCTW*>(lparam));
      break;
    case WM_CREATE:
      MakeMenu(window);
      MakeControls(bingo);
      RefreshBingo(bingo);
      return 0;
    case WM_SIZE:
      if (bingo != nullptr) PlaceControls(*bingo, LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{kControlsWidth + 400, 560};
      return 0;
    case WM_COMMAND:
      if (bingo != nullptr && (lparam == 0 || HIWORD(wparam) == BN_CLICKED))
        Run(bingo, LOWORD(wparam));
      return 0;
    case WM_BOARD_CLICKED:
      if (bingo != nullptr) ClickedOnBoard(bingo, static_cast<int>(wparam));
      return 0;
    case WM_HALL_CLOSED:
      if (bingo != nullptr) ShowHall(bingo);
      return 0;
    case WM_BOARD_TYPED:
      TypeIntoNumberField(*bingo, static_cast<wchar_t>(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return LabelColours(*bingo, reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
      if (bingo == nullptr) break;
      Activated(bingo, LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      if (bingo != nullptr) SetFocus(Control(*bingo, IDC_BOARD));
      return 0;
    case WM_CLOSE:
      if (bingo != nullptr && bingo->bingo.making_run) return 0;  // Cancel ends the run first
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Destroyed(bingo);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
}  // namespace

bool RegisterBingoClasses(HINSTANCE instance) {
  WNDCLASSEXW main_class{};
  main_class.cbSize = sizeof(main_class);
  main_class.lpfnWndProc = BingoProcedure;
  main_class.hInstance = instance;
  main_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  main_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  main_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  main_class.lpszClassName = kBingoClass;
  WNDCLASSEXW board_class = main_class;
  board_class.lpfnWndProc = BoardProcedure;
  board_class.hbrBackground = nullptr;
  board_class.lpszClassName = kBoardClass;
  WNDCLASSEXW card_class = board_class;
  card_class.lpfnWndProc = CardViewProcedure;
  card_class.lpszClassName = kCardViewClass;
  WNDCLASSEXW forecast_class = board_class;
  forecast_class.lpfnWndProc = ForecastProcedure;
  forecast_class.lpszClassName = kForecastClass;
  WNDCLASSEXW hall_class = board_class;
  hall_class.lpfnWndProc = HallProcedure;
  hall_class.lpszClassName = kHallClass;
  WNDCLASSEXW page_class = board_class;
  page_class.lpfnWndProc = PageViewProcedure;
  page_class.lpszClassName = kPageViewClass;
  return RegisterClassExW(&main_class) != 0 && RegisterClassExW(&board_class) != 0 &&
         RegisterClassExW(&card_class) != 0 && RegisterClassExW(&forecast_class) != 0 &&
         RegisterClassExW(&hall_class) != 0 && RegisterClassExW(&page_class) != 0;
}

void RefreshBingo(BingoWindow* bingo) {
  BingoPublishPage(&bingo->bingo);  // hands the phones a snapshot; never waits on them
  Show(bingo, BingoScreenOf(bingo->bingo));
  ShowHall(bingo);
  // The focus must not be left on a control just disabled, or the keys go nowhere.
  const HWND focus = GetFocus();
  if (focus == nullptr || (GetParent(focus) == bingo->window && !IsWindowEnabled(focus)))
    SetFocus(Control(*bingo, IDC_BOARD));
}

HWND CreateBingoWindow(BingoWindow* bingo, HINSTANCE instance, const std::string& game_folder) {
  bingo->front.bingo = bingo;
  InitBingo(&bingo->bingo, &bingo->front, game_folder);
  const std::wstring title = WideOfUtf8(kBingoTitle);
  // 1280 x 800 as on Linux, where the screen has room for it; else the whole work area.
  RECT frame{0, 0, 1280, 800};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  RECT work{0, 0, frame.right - frame.left, frame.bottom - frame.top};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = static_cast<int>(std::min(frame.right - frame.left, work.right - work.left));
  const int height = static_cast<int>(std::min(frame.bottom - frame.top, work.bottom - work.top));
  return CreateWindowExW(0, kBingoClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         work.left + (work.right - work.left - width) / 2,
                         work.top + (work.bottom - work.top - height) / 2, width, height, nullptr,
                         nullptr, instance, bingo);
}

std::string OpenBingo(BingoWindow* bingo) {
  const std::string refused = BingoOpen(&bingo->bingo);
  RefreshBingo(bingo);
  return refused;
}

bool BingoKey(BingoWindow* bingo, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == 'Z' && GetKeyState(VK_CONTROL) < 0) {
    wchar_t focus_class[16] = {};
    if (GetFocus() != nullptr) GetClassNameW(GetFocus(), focus_class, 15);
    if (lstrcmpiW(focus_class, L"Edit") == 0) return false;  // the field's own undo
    Run(bingo, IDC_UNDO);
    return true;
  }
  // Space draws only from the board or the bare window: on a button it presses it, in
  // a field or the list it is theirs.
  const HWND focus = GetFocus();
  if (message.wParam == VK_SPACE && GetKeyState(VK_CONTROL) >= 0 &&
      (focus == nullptr || focus == bingo->window || focus == Control(*bingo, IDC_BOARD))) {
    Run(bingo, IDC_DRAW);
    return true;
  }
  return false;
}
