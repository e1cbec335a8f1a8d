// The board and the claim's card, painted with GDI into a memory bitmap and copied to
// the screen in one call, so the hall never sees a half-drawn board. The last number
// takes a column as high as the board, its digits at least a third of its height; the
// grid of 1 to 99 takes the rest. Fonts are made and released within each paint.
#include <windows.h>

#include <algorithm>
#include <string>

#include "bingo/win32/bingo_window.h"
#include "draw/utf16_win32.h"

const wchar_t* const kBoardClass = L"TessarineBingoBoard";
const wchar_t* const kCardViewClass = L"TessarineBingoCard";

namespace {
constexpr int kGridSide = 10;                  // rows of ten: 1-9, 10-19, ... 90-99
constexpr double kLastDigitsShare = 0.40;      // of the board's height, the digits alone
constexpr double kDigitHeightOfFont = 0.72;    // a bold face's digits, of its pixel size
constexpr double kMostLastWidthShare = 0.55;   // of the board's width, the rest for the grid
constexpr double kLastMarginShare = 0.04;      // of the last number's column, each side
constexpr int kMeasuredPixels = 100;           // a font size to measure "88" at
constexpr double kCellTextShare = 0.62;        // of a cell's height
constexpr double kCellTextWidthShare = 0.45;   // of a cell's width
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kUncalledText = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kGridLine = RGB(0xB0, 0xB0, 0xB0);
const wchar_t* const kFace = L"Tahoma";

HFONT BoldFont(int pixels) {
  return CreateFontW(-std::max(1, pixels), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, kFace);
}

struct BoardParts {
  RECT last{};
  RECT grid{};
  int last_pixels = 1;
  int count_pixels = 1;
  int cell_pixels = 1;
};

// The widest two digits fill the column whatever the face: measured, then scaled.
BoardParts PlaceParts(HDC dc, int width, int height) {
  BoardParts parts;
  const HFONT measure = BoldFont(kMeasuredPixels);
  const HGDIOBJ old = SelectObject(dc, measure);
  SIZE eights{};
  GetTextExtentPoint32W(dc, L"88", 2, &eights);
  SelectObject(dc, old);
  DeleteObject(measure);
  const double advance_per_pixel = std::max(1L, eights.cx) / double(kMeasuredPixels);
  const double most_width = width * kMostLastWidthShare * (1 - 2 * kLastMarginShare);
  const double pixels =
      std::min(height * kLastDigitsShare / kDigitHeightOfFont, most_width / advance_per_pixel);
  parts.last_pixels = static_cast<int>(pixels);
  const int last_width = static_cast<int>(pixels * advance_per_pixel / (1 - 2 * kLastMarginShare));
  parts.last = RECT{0, 0, last_width, height};
  parts.grid = RECT{last_width, 0, width, height};
  parts.count_pixels = height / 14;
  const double grid_width = width - last_width;
  parts.cell_pixels = static_cast<int>(std::min(height / double(kGridSide) * kCellTextShare,
                                                grid_width / kGridSide * kCellTextWidthShare));
  return parts;
}

RECT CellOf(const RECT& grid, int number) {
  const int row = number / kGridSide;
  const int column = number % kGridSide;
  const double width = (grid.right - grid.left) / double(kGridSide);
  const double height = (grid.bottom - grid.top) / double(kGridSide);
  return RECT{grid.left + static_cast<int>(column * width), grid.top + static_cast<int>(row * height),
              grid.left + static_cast<int>((column + 1) * width),
              grid.top + static_cast<int>((row + 1) * height)};
}

void FillBox(HDC dc, const RECT& box, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}

void FrameBox(HDC dc, const RECT& box, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, &box, brush);
  DeleteObject(brush);
}

void CentredText(HDC dc, const std::wstring& text, RECT box, int pixels, COLORREF colour) {
  const HFONT font = BoldFont(pixels);
  const HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

void PaintBoard(HDC dc, const BoardState& board, int width, int height) {
  const RECT all{0, 0, width, height};
  FillBox(dc, all, kPaper);
  SetBkMode(dc, TRANSPARENT);
  const BoardParts parts = PlaceParts(dc, width, height);
  const RECT digits{parts.last.left, 0, parts.last.right, height * 3 / 4};
  if (board.last > 0)
    CentredText(dc, std::to_wstring(board.last), digits, parts.last_pixels, board.colour);
  const RECT count{parts.last.left, digits.bottom, parts.last.right, height};
  const std::string balls =
      board.balls == 1 ? "1 bola" : std::to_string(board.balls) + " bolas";
  CentredText(dc, WideOfUtf8(balls), count, parts.count_pixels, kUncalledText);
  for (int number = 1; number <= 99; ++number) {
    const RECT cell = CellOf(parts.grid, number);
    FillBox(dc, cell, board.called[static_cast<size_t>(number)] ? board.colour : kPaper);
    FrameBox(dc, cell, kGridLine);
    CentredText(dc, std::to_wstring(number), cell, parts.cell_pixels,
                board.called[static_cast<size_t>(number)] ? kPaper : kUncalledText);
  }
}

// The number under a point of the board, 0 for none.
int NumberAt(HWND window, POINT point) {
  RECT client;
  GetClientRect(window, &client);
  const HDC dc = GetDC(window);
  const BoardParts parts = PlaceParts(dc, client.right, client.bottom);
  ReleaseDC(window, dc);
  for (int number = 1; number <= 99; ++number) {
    const RECT cell = CellOf(parts.grid, number);
    if (PtInRect(&cell, point)) return number;
  }
  return 0;
}

void PaintCard(HDC dc, const CardViewState& card, int width, int height, COLORREF background) {
  const RECT all{0, 0, width, height};
  FillBox(dc, all, background);
  if (!card.has_card) return;
  SetBkMode(dc, TRANSPARENT);
  const int side = std::min(width / kCardColumns, height / kCardRows);
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const RECT cell{column * side + 1, row * side + 1, (column + 1) * side - 1,
                      (row + 1) * side - 1};
      const int number = card.layout.cell[row][column];
      const bool filled = number == 0 || card.marked[row][column];
      FillBox(dc, cell, filled ? card.colour : kPaper);
      FrameBox(dc, cell, card.colour);
      if (number == 0) continue;
      wchar_t text[3] = {static_cast<wchar_t>(L'0' + number / 10),
                         static_cast<wchar_t>(L'0' + number % 10), 0};
      CentredText(dc, text, cell, side / 2, card.marked[row][column] ? kPaper : card.colour);
    }
}

// Paints through a memory bitmap the size of the client area.
template <typename Paint>
void PaintBuffered(HWND window, Paint paint) {
  PAINTSTRUCT ps;
  const HDC screen = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  if (client.right > 0 && client.bottom > 0) {
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, client.right, client.bottom);
    BitBlt(screen, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  EndPaint(window, &ps);
}
}  // namespace

LRESULT CALLBACK BoardProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* board = reinterpret_cast<const BoardState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT:
      if (board == nullptr) break;
      PaintBuffered(window, [&](HDC dc, int width, int height) { PaintBoard(dc, *board, width, height); });
      return 0;
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      const int number = NumberAt(window, point);
      if (number != 0) SendMessageW(GetParent(window), WM_BOARD_CLICKED, static_cast<WPARAM>(number), 0);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;
    case WM_CHAR:
      // Typing on the board goes to the number field, as a cage's number does.
      if (IsCharAlphaNumericW(static_cast<wchar_t>(wparam)))
        SendMessageW(GetParent(window), WM_BOARD_TYPED, wparam, 0);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK CardViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* card = reinterpret_cast<const CardViewState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (card == nullptr) break;
      PaintBuffered(window, [&](HDC dc, int width, int height) {
        PaintCard(dc, *card, width, height, GetSysColor(COLOR_BTNFACE));
      });
      return 0;
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
