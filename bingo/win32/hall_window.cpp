// The hall's own window on Win32: the controller's HallScreen painted with GDI through a
// memory bitmap, whole on every change, with the layout the Qt window uses. With two
// monitors or more it opens full screen on the one kept from last time, else on one that
// does not hold the caller's window; with one it is an ordinary window (F11 in it). While
// the phones' page is on, its QR code and address stand in a column at the right.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bingo/hall_screen.h"
#include "bingo/win32/bingo_window.h"
#include "bingo/win32/controls.h"
#include "bingo/win32/paint_buffered.h"
#include "text/trim.h"
#include "text/utf16_win32.h"

const wchar_t* const kHallClass = L"TessarineBingoHall";

namespace {
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kUncalledText = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kGridLine = RGB(0xB0, 0xB0, 0xB0);
constexpr int kBandMargin = 20;

HFONT BoldFont(int pixels) {
  return CreateFontW(-std::max(1, pixels), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

RECT RectOf(const BoardBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

// Text in a bold font of this size, made for it; `format` as DrawText takes it.
void Text(HDC dc, const std::string& utf8, RECT box, int pixels, COLORREF colour, UINT format) {
  const std::wstring text = WideOfUtf8(utf8);
  const HFONT font = BoldFont(pixels);
  const HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

void Fill(HDC dc, const RECT& box, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}

HallLayout LayOut(HDC dc, int width, int height, const HallScreen& hall) {
  return LayOutHall(width, height, EightsAdvancePerPixel(dc), hall.highest_ball, hall.page_qr.side > 0);
}

void PaintGrid(HDC dc, const HallLayout& layout, const HallScreen& hall) {
  const HBRUSH called = CreateSolidBrush(hall.colour);
  const HBRUSH paper = CreateSolidBrush(kPaper);
  const HBRUSH line = CreateSolidBrush(kGridLine);
  const HFONT font = BoldFont(layout.board.cell_pixels);
  const HGDIOBJ old = SelectObject(dc, font);
  for (int number = 1; number <= hall.highest_ball; ++number) {
    RECT cell = RectOf(BoardCellOf(layout.board, number));
    const bool is_called = hall.called[static_cast<size_t>(number)];
    FillRect(dc, &cell, is_called ? called : paper);
    FrameRect(dc, &cell, line);
    SetTextColor(dc, is_called ? kPaper : kUncalledText);
    const std::wstring text = std::to_wstring(number);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteObject(line);
  DeleteObject(paper);
  DeleteObject(called);
}

// The widest of these lines in a bold font of this size.
long WidestLine(HDC dc, const std::vector<std::string>& lines, int pixels) {
  long widest = 1;
  const HFONT measure = BoldFont(pixels);
  const HGDIOBJ old = SelectObject(dc, measure);
  for (const std::string& line : lines) {
    const std::wstring text = WideOfUtf8(line);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max(widest, static_cast<long>(size.cx));
  }
  SelectObject(dc, old);
  DeleteObject(measure);
  return widest;
}

// The whole commitment across the bottom, in two lines as large as the widest lets them be.
void PaintCommitment(HDC dc, const HallLayout& layout, const HallScreen& hall) {
  RECT box = RectOf(layout.commitment);
  InflateRect(&box, -kBandMargin, 0);
  const std::vector<std::string> lines = HallCommitmentLines(hall);
  int pixels = std::max(1, std::min(layout.line_pixels, static_cast<int>(box.bottom - box.top) * 2 / 5));
  const long widest = WidestLine(dc, lines, pixels), room = box.right - box.left;
  if (widest > room) pixels = std::max(1, static_cast<int>(pixels * room / widest));
  const int rows = static_cast<int>(lines.size());
  const int top = (box.top + box.bottom) / 2 - pixels * 6 / 5 * rows / 2;
  for (int row = 0; row < rows; ++row) {
    RECT one = box;
    one.top = top + row * pixels * 6 / 5;
    one.bottom = one.top + pixels * 6 / 5;
    Text(dc, lines[static_cast<size_t>(row)], one, pixels, kUncalledText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

void PaintBands(HDC dc, const HallLayout& layout, const HallScreen& hall) {
  const UINT line = DT_VCENTER | DT_SINGLELINE;
  RECT top = RectOf(layout.top);
  InflateRect(&top, -kBandMargin, 0);
  Text(dc, hall.prize, top, layout.line_pixels, kUncalledText, line | DT_LEFT);
  if (hall.has_game)
    Text(dc, hall.balls == 1 ? "1 bola" : std::to_string(hall.balls) + " bolas", top, layout.line_pixels,
         kUncalledText, line | DT_RIGHT);
  std::string recent;
  for (int ball : hall.recent) recent += (recent.empty() ? "" : "  ") + std::to_string(ball);
  RECT bottom = RectOf(layout.bottom);
  InflateRect(&bottom, -kBandMargin, 0);
  // The commitment stands where the last balls will be, until the first one.
  if (hall.last == 0 && !hall.commitment.empty()) return PaintCommitment(dc, layout, hall);
  Text(dc, recent, bottom, layout.line_pixels, kUncalledText, line | DT_LEFT);
  if (hall.given.empty()) return;
  RECT given = RectOf(layout.given);
  InflateRect(&given, -kBandMargin, 0);
  const int rows = static_cast<int>(hall.given.size());
  const int pixels = std::min(layout.line_pixels, static_cast<int>(given.bottom - given.top) / rows * 4 / 5);
  for (int row = 0; row < rows; ++row) {
    RECT one = given;
    one.top = given.top + (given.bottom - given.top) * row / rows;
    one.bottom = given.top + (given.bottom - given.top) * (row + 1) / rows;
    Text(dc, hall.given[static_cast<size_t>(row)], one, pixels, kUncalledText, line | DT_LEFT);
  }
}

// Before the first ball, where it will stand: the takings and what each prize pays, as
// large as the widest line lets them be.
void PaintMoney(HDC dc, const HallLayout& layout, const HallScreen& hall) {
  RECT box = RectOf(layout.last);
  InflateRect(&box, -kBandMargin, -kBandMargin);
  const int rows = static_cast<int>(hall.money.size()) + 1;
  int pixels = std::max(1, static_cast<int>(box.bottom - box.top) / rows);
  const long widest = WidestLine(dc, hall.money, pixels);
  const long room = box.right - box.left;
  if (widest > room) pixels = std::max(1, static_cast<int>(pixels * room / widest));
  const int top = (box.top + box.bottom) / 2 - pixels * 6 / 5 * (rows - 1) / 2;
  for (size_t row = 0; row < hall.money.size(); ++row) {
    RECT one = box;
    one.top = top + static_cast<int>(row) * pixels * 6 / 5;
    one.bottom = one.top + pixels * 6 / 5;
    Text(dc, hall.money[row], one, pixels, hall.colour, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

void PaintBanner(HDC dc, const HallLayout& layout, const HallScreen& hall) {
  RECT banner = RectOf(layout.banner);
  Fill(dc, banner, hall.colour);
  InflateRect(&banner, -(banner.right - banner.left) / 20, 0);  // nine tenths of it at most
  PaintFittedLine(dc, hall.banner, banner, layout.banner_pixels, kPaper);
}

void PaintHall(HDC dc, const HallScreen& hall, int width, int height) {
  Fill(dc, RECT{0, 0, width, height}, kPaper);
  SetBkMode(dc, TRANSPARENT);
  const HallLayout layout = LayOut(dc, width, height, hall);
  if (hall.last > 0)
    Text(dc, std::to_string(hall.last), RectOf(layout.last), layout.last_pixels, hall.colour,
         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  else if (!hall.money.empty())
    PaintMoney(dc, layout, hall);
  PaintGrid(dc, layout, hall);
  PaintBands(dc, layout, hall);
  if (hall.page_qr.side > 0) {
    PaintQr(dc, hall.page_qr, RectOf(layout.page_qr));
    RECT address = RectOf(layout.page_address);
    InflateRect(&address, -kBandMargin / 2, 0);
    PaintFittedLine(dc, hall.page_address, address, layout.line_pixels, kUncalledText);
  }
  if (!hall.banner.empty()) PaintBanner(dc, layout, hall);
}

BingoWindow* BingoOf(HWND window) {
  return reinterpret_cast<BingoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

MONITORINFOEXW InfoOf(HMONITOR monitor) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  return info;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
  return TRUE;
}

// The caller is asked, offered the one kept from last time, else one that does not hold
// the caller's window; nullptr when the caller cancels or names no screen there is.
HMONITOR AskHallMonitor(BingoWindow* bingo, const std::vector<HMONITOR>& monitors) {
  std::vector<std::string> system_names;
  for (HMONITOR monitor : monitors) system_names.push_back(Utf8OfWide(InfoOf(monitor).szDevice));
  const std::vector<std::string> names = DistinctScreenNames(system_names);
  const HMONITOR caller = MonitorFromWindow(bingo->window, MONITOR_DEFAULTTONEAREST);
  const auto place_of_caller = std::find(monitors.begin(), monitors.end(), caller);
  const std::string callers =
      place_of_caller == monitors.end() ? "" : names[size_t(place_of_caller - monitors.begin())];
  const std::vector<std::string> offered =
      HallScreensToOffer(names, ReadHallScreenChoice(bingo->bingo), callers);
  std::string listed;
  for (const std::string& name : offered) listed += (listed.empty() ? "" : ", ") + name;
  std::string answer;
  if (!bingo->front.AskText(std::string(kHallScreenQuestion) + " (" + listed + ")", offered.front(),
                            &answer))
    return nullptr;
  const auto place = std::find(names.begin(), names.end(), Trimmed(answer));
  if (place == names.end()) {
    bingo->front.Warn("No hay ninguna pantalla «" + Trimmed(answer) + "»: son " + listed);
    return nullptr;
  }
  return monitors[size_t(place - names.begin())];
}

void SetFullScreen(HallWindowState* hall, bool full_screen) {
  const HWND window = hall->window;
  if (full_screen == hall->full_screen) return;
  if (full_screen) {
    hall->placement.length = sizeof(hall->placement);
    GetWindowPlacement(window, &hall->placement);
    const RECT area = InfoOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)).rcMonitor;
    SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE);
  } else {
    SetWindowLongPtrW(window, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetWindowPlacement(window, &hall->placement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  hall->full_screen = full_screen;
}
}  // namespace

LRESULT CALLBACK HallProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  BingoWindow* bingo = BingoOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
      break;
    case WM_PAINT:
      if (bingo == nullptr) break;
      PaintBuffered(window, [&](HDC dc, int width, int height) {
        PaintHall(dc, bingo->hall.screen, width, height);
      });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_F11 && bingo != nullptr) SetFullScreen(&bingo->hall, !bingo->hall.full_screen);
      return 0;
    case WM_DESTROY:
      if (bingo == nullptr) break;
      bingo->hall = HallWindowState();
      // The caller's window says it is closed, once this one is gone.
      PostMessageW(bingo->window, WM_HALL_CLOSED, 0, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void ToggleHallWindow(BingoWindow* bingo) {
  if (bingo->hall.window != nullptr) {
    DestroyWindow(bingo->hall.window);
    return;
  }
  std::vector<HMONITOR> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  const bool full_screen = monitors.size() >= 2;
  const HMONITOR monitor = full_screen ? AskHallMonitor(bingo, monitors)
                                       : MonitorFromWindow(bingo->window, MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr) return;
  const MONITORINFOEXW info = InfoOf(monitor);
  const RECT area = info.rcMonitor;
  const int width = area.right - area.left, height = area.bottom - area.top;
  const std::wstring title = L"Pantalla de la sala";
  bingo->hall.monitor = Utf8OfWide(info.szDevice);
  bingo->hall.screen = HallScreenOf(bingo->bingo);
  bingo->hall.window = CreateWindowExW(0, kHallClass, title.c_str(), WS_OVERLAPPEDWINDOW,
                                       area.left + width / 4, area.top + height / 4, width / 2, height / 2,
                                       nullptr, nullptr, GetModuleHandleW(nullptr), bingo);
  if (bingo->hall.window == nullptr) return;
  if (full_screen) {
    const std::string failed = KeepHallScreenChoice(bingo->bingo, bingo->hall.monitor);
    if (!failed.empty()) bingo->front.Warn(failed);
    SetFullScreen(&bingo->hall, true);
  }
  ShowWindow(bingo->hall.window, SW_SHOWNOACTIVATE);  // the caller's keys stay with the caller
}

void ShowHall(BingoWindow* bingo) {
  HallWindowState& hall = bingo->hall;
  const bool open = hall.window != nullptr;
  if (open) {
    hall.screen = HallScreenOf(bingo->bingo);
    const std::wstring title = hall.screen.last > 0
                                   ? L"Pantalla de la sala: " + std::to_wstring(hall.screen.last)
                                   : std::wstring(L"Pantalla de la sala");
    SetWindowTextW(hall.window, title.c_str());
    InvalidateRect(hall.window, nullptr, FALSE);
  }
  const std::wstring item = WideOfUtf8(open ? "Cerrar la pantalla de la sala\tF5" : "Pantalla de la &sala…\tF5");
  ModifyMenuW(GetMenu(bingo->window), static_cast<UINT>(IDM_HALL_SCREEN), MF_BYCOMMAND | MF_STRING,
              static_cast<UINT_PTR>(IDM_HALL_SCREEN), item.c_str());
  const HWND label = GetDlgItem(bingo->window, IDC_HALL_STATUS);
  const std::wstring said = open ? WideOfUtf8("Pantalla de la sala: abierta en " + hall.monitor) : L"";
  SetWindowTextW(label, said.c_str());
  ShowInColumn(*bingo, IDC_HALL_STATUS, open);
}
