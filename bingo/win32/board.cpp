// The board, the claim's card and the phones' page's address, painted with GDI into a memory bitmap and copied to
// the screen in one call, so the hall never sees a half-drawn board. The last number
// takes a column as high as the board, its digits at least a third of its height; the
// grid of 1 to 99 takes the rest. Fonts are made and released within each paint.
#include <windows.h>

#include <algorithm>
#include <string>

#include "bingo/board_layout.h"
#include "bingo/win32/bingo_window.h"
#include "bingo/win32/paint_buffered.h"
#include "bingo/claim_card.h"
#include "text/utf16_win32.h"

const wchar_t* const kBoardClass = L"TessarineBingoBoard";
const wchar_t* const kCardViewClass = L"TessarineBingoCard";
const wchar_t* const kForecastClass = L"TessarineBingoForecast";
const wchar_t* const kPageViewClass = L"TessarineBingoPage";

namespace {
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kUncalledText = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kGridLine = RGB(0xB0, 0xB0, 0xB0);
const wchar_t* const kFace = L"Tahoma";
constexpr int kPageAddressPixels = 26;  // the caller reads it out to whoever asks

HFONT BoldFont(int pixels) {
  return CreateFontW(-std::max(1, pixels), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, kFace);
}

RECT RectOf(const BoardBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

// The board's layout with "88" measured in the board's own bold face.
BoardLayout LayOut(HDC dc, int width, int height, int highest) {
  return LayOutBoard(width, height, EightsAdvancePerPixel(dc), highest);
}

void FillBox(HDC dc, const RECT& box, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}


// In the font already selected.
void CentredText(HDC dc, const std::wstring& text, RECT box, COLORREF colour) {
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// In a bold font of this size, made for the one text.
void CentredText(HDC dc, const std::wstring& text, RECT box, int pixels, COLORREF colour) {
  const HFONT font = BoldFont(pixels);
  const HGDIOBJ old = SelectObject(dc, font);
  CentredText(dc, text, box, colour);
  SelectObject(dc, old);
  DeleteObject(font);
}

void PaintBoard(HDC dc, const BoardState& board, int width, int height) {
  const RECT all{0, 0, width, height};
  FillBox(dc, all, kPaper);
  SetBkMode(dc, TRANSPARENT);
  const BoardLayout layout = LayOut(dc, width, height, board.highest);
  if (board.last > 0)
    CentredText(dc, std::to_wstring(board.last), RectOf(layout.last_digits), layout.last_pixels,
                board.colour);
  const std::string balls =
      board.balls == 1 ? "1 bola" : std::to_string(board.balls) + " bolas";
  CentredText(dc, WideOfUtf8(balls), RectOf(layout.count), layout.count_pixels, kUncalledText);
  // One font and two brushes for the 99 cells.
  const HFONT cell_font = BoldFont(layout.cell_pixels);
  const HBRUSH called = CreateSolidBrush(board.colour);
  const HBRUSH paper = CreateSolidBrush(kPaper);
  const HBRUSH line = CreateSolidBrush(kGridLine);
  const HGDIOBJ old = SelectObject(dc, cell_font);
  for (int number = 1; number <= layout.highest; ++number) {
    const RECT cell = RectOf(BoardCellOf(layout, number));
    const bool is_called = board.called[static_cast<size_t>(number)];
    FillRect(dc, &cell, is_called ? called : paper);
    FrameRect(dc, &cell, line);
    CentredText(dc, std::to_wstring(number), cell, is_called ? kPaper : kUncalledText);
  }
  SelectObject(dc, old);
  DeleteObject(line);
  DeleteObject(paper);
  DeleteObject(called);
  DeleteObject(cell_font);
}

// Where the keys go, seen from the caller's seat: a frame in the system's highlight.
void PaintFocusFrame(HDC dc, int width, int height) {
  const HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  for (int edge = 0; edge < 3; ++edge) {
    const RECT frame{edge, edge, width - edge, height - edge};
    FrameRect(dc, &frame, brush);
  }
}

// The number under a point of the board, 0 for none.
int NumberAt(HWND window, const BoardState& board, POINT point) {
  RECT client;
  GetClientRect(window, &client);
  const HDC dc = GetDC(window);
  const BoardLayout layout = LayOut(dc, client.right, client.bottom, board.highest);
  ReleaseDC(window, dc);
  for (int number = 1; number <= layout.highest; ++number) {
    const RECT cell = RectOf(BoardCellOf(layout, number));
    if (PtInRect(&cell, point)) return number;
  }
  return 0;
}

// The card image scaled into the view, its proportions kept.
void PaintCard(HDC dc, const CardViewState& card, int width, int height, COLORREF background) {
  FillBox(dc, RECT{0, 0, width, height}, background);
  if (!card.has_card) return;
  int shown_width = width;
  int shown_height = width * kClaimCardHeight / kClaimCardWidth;
  if (shown_height > height) {
    shown_height = height;
    shown_width = height * kClaimCardWidth / kClaimCardHeight;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kClaimCardWidth;
  info.bmiHeader.biHeight = -kClaimCardHeight;  // top-down, as the pixels come
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, 0, 0, shown_width, shown_height, 0, 0, kClaimCardWidth, kClaimCardHeight,
                card.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

constexpr int kMostBalls = 99;
constexpr int kForecastLabelWidth = 90;
constexpr COLORREF kRangeColour = RGB(0x9F, 0xBF, 0xEF);
constexpr COLORREF kMedianColour = RGB(0x1F, 0x3F, 0x8F);

void PlainText(HDC dc, const std::string& text, RECT box, UINT format) {
  const std::wstring wide = WideOfUtf8(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format | DT_NOPREFIX);
}

// One prize's bar: the 10-90 % range on the axis of balls, the median as a stroke.
void PaintSpread(HDC dc, int width, int top, const std::string& label, const BallSpread& spread) {
  const int axis = width - kForecastLabelWidth - 8;
  const auto x_of = [&](int ball) { return kForecastLabelWidth + axis * ball / kMostBalls; };
  PlainText(dc, label, RECT{0, top, kForecastLabelWidth, top + 18}, DT_VCENTER | DT_SINGLELINE);
  FillBox(dc, RECT{x_of(spread.low), top + 2, x_of(spread.high) + 1, top + 16}, kRangeColour);
  FillBox(dc, RECT{x_of(spread.median) - 1, top, x_of(spread.median) + 2, top + 18}, kMedianColour);
  PlainText(dc,
            std::to_string(spread.median) + " bolas (de " + std::to_string(spread.low) + " a " +
                std::to_string(spread.high) + ")",
            RECT{kForecastLabelWidth, top + 18, kForecastLabelWidth + axis, top + 33},
            DT_CENTER | DT_SINGLELINE);
}

void PaintForecast(HDC dc, HFONT font, const ForecastView& view, int width, int height) {
  FillBox(dc, RECT{0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
  if (!view.has_forecast) return;
  const HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  PaintSpread(dc, width, 0, "1.ª línea", view.forecast.line);
  PaintSpread(dc, width, 34, "Bingo", view.forecast.bingo);
  const auto percent = [](double share) { return std::to_string(static_cast<int>(share * 100 + 0.5)); };
  PlainText(dc,
            "Dos o más ganadores en una bola: línea " + percent(view.forecast.line_tie_share) +
                " %, bingo " + percent(view.forecast.bingo_tie_share) + " %",
            RECT{0, 68, width, height}, DT_LEFT | DT_WORDBREAK);
  SelectObject(dc, old);
}

// The height of the largest bold font, up to `most`, in which the text fits the width.
int FittedPixels(HDC dc, const std::wstring& text, int width, int most) {
  const HFONT measure = BoldFont(most);
  const HGDIOBJ old = SelectObject(dc, measure);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  DeleteObject(measure);
  return size.cx > width ? std::max(1, static_cast<int>(most * static_cast<long>(width) / size.cx)) : most;
}

// What every painted view answers alike: the paint covers every pixel, so there is
// no background to erase, and a new size is painted again whole.
LRESULT PaintedViewDefault(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_SIZE) {
    InvalidateRect(window, nullptr, FALSE);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
}  // namespace

void PaintQr(HDC dc, const QrSquare& qr, const RECT& box) {
  const int modules = qr.side + 2 * kQrQuietModules;
  const int room = static_cast<int>(std::min(box.right - box.left, box.bottom - box.top));
  const int module = room / modules;
  if (qr.side == 0 || module < 1) return;
  const int left = static_cast<int>(box.left + (box.right - box.left - module * modules) / 2) +
                   module * kQrQuietModules;
  const int top = static_cast<int>(box.top + (box.bottom - box.top - module * modules) / 2) +
                  module * kQrQuietModules;
  const int quiet = module * kQrQuietModules;
  FillBox(dc, RECT{left - quiet, top - quiet, left + module * qr.side + quiet, top + module * qr.side + quiet},
          kPaper);
  const HBRUSH dark = CreateSolidBrush(RGB(0, 0, 0));
  for (int row = 0; row < qr.side; ++row)
    for (int column = 0; column < qr.side; ++column) {
      if (!QrDark(qr, row, column)) continue;
      const RECT cell{left + column * module, top + row * module, left + (column + 1) * module,
                      top + (row + 1) * module};
      FillRect(dc, &cell, dark);
    }
  DeleteObject(dark);
}

void PaintFittedLine(HDC dc, const std::string& text, const RECT& box, int most_pixels, COLORREF colour) {
  const std::wstring wide = WideOfUtf8(text);
  CentredText(dc, wide, box, FittedPixels(dc, wide, static_cast<int>(box.right - box.left), most_pixels),
              colour);
}

double EightsAdvancePerPixel(HDC dc) {
  const HFONT measure = BoldFont(kBoardMeasuredPixels);
  const HGDIOBJ old = SelectObject(dc, measure);
  SIZE eights{};
  GetTextExtentPoint32W(dc, L"88", 2, &eights);
  SelectObject(dc, old);
  DeleteObject(measure);
  return std::max(1L, eights.cx) / double(kBoardMeasuredPixels);
}

LRESULT CALLBACK BoardProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* board = reinterpret_cast<const BoardState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (board == nullptr) break;
      PaintBuffered(window, [&](HDC dc, int width, int height) {
        PaintBoard(dc, *board, width, height);
        if (GetFocus() == window) PaintFocusFrame(dc, width, height);
      });
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      const int number = board == nullptr ? 0 : NumberAt(window, *board, point);
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
      InvalidateRect(window, nullptr, FALSE);  // its focus frame
      return 0;
    default:
      break;
  }
  return PaintedViewDefault(window, message, wparam, lparam);
}

LRESULT CALLBACK CardViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* card = reinterpret_cast<const CardViewState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_PAINT && card != nullptr) {
    PaintBuffered(window, [&](HDC dc, int width, int height) {
      PaintCard(dc, *card, width, height, GetSysColor(COLOR_BTNFACE));
    });
    return 0;
  }
  return PaintedViewDefault(window, message, wparam, lparam);
}

LRESULT CALLBACK ForecastProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* view = reinterpret_cast<const ForecastView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      if (view == nullptr) break;
      const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
      PaintBuffered(window, [&](HDC dc, int width, int height) {
        PaintForecast(dc, font, *view, width, height);
      });
      return 0;
    }
    case WM_SETFONT:
      SetPropW(window, L"font", reinterpret_cast<HANDLE>(wparam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(window, L"font"));
    case WM_NCDESTROY:
      RemovePropW(window, L"font");
      break;
    default:
      break;
  }
  return PaintedViewDefault(window, message, wparam, lparam);
}

LRESULT CALLBACK PageViewProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* page = reinterpret_cast<const PageView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_PAINT && page != nullptr) {
    PaintBuffered(window, [&](HDC dc, int width, int height) {
      FillBox(dc, RECT{0, 0, width, height}, kPaper);
      SetBkMode(dc, TRANSPARENT);
      const int line = kPageAddressPixels * 5 / 4;
      PaintFittedLine(dc, page->address, RECT{width / 40, 0, width - width / 40, line}, kPageAddressPixels,
                      kUncalledText);
      PaintQr(dc, page->qr, RECT{0, line, width, height});
    });
    return 0;
  }
  return PaintedViewDefault(window, message, wparam, lparam);
}
